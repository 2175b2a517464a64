// The module's own files in its program directory and the host files it
// reads:
// - "runelot.dat": two text lines, the host's directory and the host day
//   for which the flags hold;
// - "runeplay.dat": 150 bytes, byte r set (1) when the player of record r
//   has played on that day;
// - the host's "time.dat" (day counter) and "player.dat" (player records).
// No guard against other nodes: each node writes only its own caller's flag
// byte and player record.
#pragma once

#include <string>
#include <string_view>

#include "tribute/runelot.hpp"

namespace runelot {

inline constexpr char kConfigFile[] = "runelot.dat";
inline constexpr char kFlagsFile[] = "runeplay.dat";

// Reads host_dir and stored_day from runelot.dat; false when the file
// cannot be opened. A day line outside the 16-bit range is run-time error
// 201, one that is no number run-time error 106.
bool LoadConfig(LottoRun& run);

// Reads today from the host's time.dat; false when it cannot be opened.
bool ReadToday(LottoRun& run);

// True when runeplay.dat can be opened for reading.
bool FlagsFileOpens(const LottoRun& run);

// The first run of a new host day: all 150 flags cleared in runeplay.dat,
// and runelot.dat rewritten with today's day.
void DailyReset(LottoRun& run);

// Reads the flags. Bytes missing from a short file read as "not played".
void LoadFlags(LottoRun& run);

// Writes the caller's own flag byte (and nothing else of the file), so two
// callers finishing on two nodes at once keep both flags.
void SaveFlag(const LottoRun& run);

// runelot.dat with the two lines (a new file, or the old one replaced in
// one step).
void WriteConfig(std::string_view program_dir, std::string_view host_dir, int day);

// runeplay.dat with 150 zero bytes, created or cut to that.
void CreateFlags(std::string_view program_dir);

}  // namespace runelot
