// runelot, the tribute lotto: a once-a-day code machine on a hill whose fee
// and prizes grow with the caller's level, and its install dialogue.
//
// One normal run: the module's own files and the host's day counter, the
// daily reset, the caller's played-today flag, then one game; the caller's
// player record and flag are written when the game is over. Started with
// "CONFIG" it runs the install dialogue on the local console instead.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/player_record.hpp"

namespace runelot {

// One played-today byte per record number 0..149.
inline constexpr int kFlagCount = 150;

// Everything one run knows about its caller and its files.
struct LottoRun {
    std::string program_dir;  // ends in a separator
    std::string host_dir;     // line 1 of runelot.dat
    int16_t stored_day = 0;   // line 2 of runelot.dat
    int16_t today = 0;        // the host's day from time.dat
    std::array<uint8_t, kFlagCount> flags{};
    int32_t record = 0;       // the caller's record number in player.dat
    host::PlayerRecord player;

    // The game.
    int32_t fee = 0;
    std::string player_code;
    std::string machine_code;
    int matches = 0;
    int32_t prize = 0;
    // Set once the machine has drawn its code: from then on the game counts
    // as played and its result is saved even if the caller drops.
    bool game_decided = false;
};

// The program: "CONFIG" as the first parameter runs the install dialogue,
// anything else a normal run for the caller of the kit's session.
int runelot_main(int argc, char** argv);

// The normal run after door_start: files, daily reset, shield or game, and
// the closing line.
void RunLotto(LottoRun& run);

// The game for a caller who has not played today. Returns when the caller
// declined or the game is over; ends the program itself when the caller
// cannot pay or enters an empty code.
void PlayGame(LottoRun& run);

// Writes the caller's record, then the caller's flag, once per decided
// game; does nothing when no game was decided or it was saved already.
void SaveGame(LottoRun& run);

// The install dialogue on the local console.
void RunConfig(const std::string& program_dir, const std::string& program_file);
void Install(const std::string& host_dir, const std::string& program_dir, const std::string& program_file);
void Uninstall(const std::string& host_dir, const std::string& program_dir, const std::string& program_file);

// Output helpers of the screens.
// A text with the game's back-tick colour codes.
void WriteCodes(const std::string& text);
// The same, followed by a line end.
void WriteCodesLine(const std::string& text);
// "  <MORE>", one key, and the prompt erased.
void ShowMore();

// Words for a run-time error code ("Range check error" for 201).
std::string RunErrorWords(int code);

}  // namespace runelot
