// The sample game: a host directory laid out as Drakmoor leaves it, with
// every program installed in its own folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/player_record.hpp"

namespace sandbox {

// The programs a sample game installs, in the order of its module list.
inline constexpr const char* kPrograms[] = {"kelvane", "orvtime", "runelot", "lottery", "grumbold"};

// The sample characters, in record order (record 4 is a deleted slot).
std::vector<host::PlayerRecord> sample_players();

enum class InitResult {
    created,
    exists,        // a game is there and force was not given
    not_a_game,    // the directory holds something else: never touched
    failed,        // a file or folder could not be made
};

// Lays out a sample game in dir (created if missing). bin_dir (ending in
// "/") holds the built programs the folders link to. An existing game is
// only replaced when force is set; a directory holding anything else is
// never touched.
InitResult init_game(std::string_view dir, std::string_view bin_dir, bool force, std::string& message);

// Advances the game's day counter by one; false (with a message) when the
// game has none.
bool advance_day(std::string_view dir, std::string& message);

// The game's directory as an absolute path ending in "/".
std::string game_path(std::string_view dir);

}  // namespace sandbox
