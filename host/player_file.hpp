// Reading and writing records of the host's player file, and each module's
// rule for guarding that access against the other nodes.
//
// Record n lies at byte n * 236. Failures that a rule does not handle are
// run-time errors (a record beyond the end of the file is error 100).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "host/player_record.hpp"

namespace host {

inline constexpr char kPlayerFile[] = "player.dat";

// Plain access: open, seek to the record, read or write it, close.
PlayerRecord read_player(std::string_view path, int32_t record);
void write_player(std::string_view path, int32_t record, const PlayerRecord& player);

// ---- kelvane: opens retried up to 1000 times in a row without delay; after
// the last failure the code goes on and the first read or write reports the
// file as not open (run-time error 103).

inline constexpr int kKelvaneOpenAttempts = 1000;

// The start-up load: under the must-exist lock of path, reads records 0, 1,
// 2 ... until the end of the file or until 150 are read. The table holds
// the records present (a trailing partial record is not one).
std::vector<PlayerRecord> kelvane_load_players(std::string_view path);
// Writes another player's record under the must-exist lock (after a fight,
// an invasion or a revival).
void kelvane_write_other_player(std::string_view path, int32_t record, const PlayerRecord& player);
// The exit write of the caller's own record: no lock.
void kelvane_write_caller(std::string_view path, int32_t record, const PlayerRecord& player);

// ---- orvtime: every read and write holds the must-exist lock of path.

PlayerRecord orvtime_read_player(std::string_view path, int32_t record);
void orvtime_write_player(std::string_view path, int32_t record, const PlayerRecord& player);

// ---- grumbold: sharing modes. A read opens read/write denying nothing, a
// write opens read/write denying writes to others. An open denied (code 5)
// waits 500 ms and tries again, up to 1000 attempts; any other failure (or
// the last denial) writes a line end and the error line
// "  `b** `%ERROR!  Can't open player.dat file, man. `b**" to the caller
// and ends the program with the failure code.

inline constexpr int kGrumboldOpenAttempts = 1000;
inline constexpr int kGrumboldRetryMs = 500;
// Records above this number are never read, and so never written back.
inline constexpr int32_t kGrumboldRecordLimit = 154;

// False (and player untouched) when the record number is above the limit.
bool grumbold_read_player(std::string_view path, int32_t record, PlayerRecord& player);
// False (nothing written) when the record number is above the limit.
bool grumbold_write_player(std::string_view path, int32_t record, const PlayerRecord& player);

// ---- lottery: the read opens read/write with exclusive sharing, tried
// again every 50 ms while it fails for up to 5 seconds; when it never
// succeeds the read is skipped (false) and player stays as it was. Seek and
// read failures are run-time errors. The write opens read/write denying
// writes to others, with the same 5-second retry; a write that still cannot
// open is a run-time error, since the caller has already paid.

inline constexpr int kLotteryRetryLimitMs = 5000;
inline constexpr int kLotteryRetryStepMs = 50;

bool lottery_read_player(std::string_view path, int32_t record, PlayerRecord& player);
void lottery_write_player(std::string_view path, int32_t record, const PlayerRecord& player);

// ---- runelot: no guard at all; plain read and write.

PlayerRecord runelot_read_player(std::string_view path, int32_t record);
void runelot_write_player(std::string_view path, int32_t record, const PlayerRecord& player);

}  // namespace host
