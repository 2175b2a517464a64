// What orvtime keeps in memory for its one caller, passed to every screen.
#pragma once

#include <cstdint>
#include <string>

#include "cave/cave_config.hpp"
#include "host/player_record.hpp"

namespace cave {

struct CaveState {
    std::string program_dir;     // ends in a separator
    std::string node;            // the first command-line parameter
    int32_t record = 0;          // the caller's record number in player.dat
    host::PlayerRecord player;   // the caller's record
    bool player_loaded = false;  // only a record read at start is written back
    CaveConfig config;           // orvtime.dat as read at start
    int32_t wager = 0;           // whole gold, 1 .. gold
    int32_t number = 0;          // the secret number, 1 .. 1000
    int guesses = 0;             // guesses made so far
    int32_t first_guess_time = 0;  // seconds since midnight of guess 1

    // The caller's played-today flag.
    bool played() const { return config.played[static_cast<size_t>(record)] == 1; }
    void set_played() { config.played[static_cast<size_t>(record)] = 1; }
};

}  // namespace cave
