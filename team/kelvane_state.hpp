// The state of one caller's visit to the team module, passed to every
// screen. One process serves one caller on one node; other nodes share
// nothing with it but files.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/player_record.hpp"
#include "team/team_records.hpp"

namespace kelvane {

// File names as the module writes them; directories are in the state.
inline constexpr char kConfigFile[] = "kelvane.cfg";   // program_dir
inline constexpr char kTeamFile[] = "teamfile.dat";    // program_dir
inline constexpr char kDrawFile[] = "teamdraw.dat";    // working directory
inline constexpr char kDayFile[] = "kvtime.dat";       // working directory
inline constexpr char kDeleteScratch[] = "temp.$$$";   // working directory

struct KelvaneState {
    // Where the files are: the program's directory and the host game's,
    // both ending in a separator.
    std::string program_dir;
    std::string host_dir;
    // The configuration's second line: kept, not used.
    std::string config_extra;
    // Argument 1 exactly as the host passes it (the node number), and
    // whether its info file was read (only then is it rewritten at exit).
    std::string node;
    bool info_loaded = false;

    // The caller's record number and the whole player file. Only the
    // caller's record is written back, and only when it was loaded.
    uint8_t p = 0;
    std::array<host::PlayerRecord, kPlayerSlots> players{};
    int player_count = 0;
    bool players_loaded = false;

    // The caller's team: a copy of its record and where it was last found
    // in the team file. Other nodes may renumber the teams, so every write
    // finds the record again by name first.
    TeamRecord team;
    int team_no = 0;
    bool on_team = false;
    bool is_leader = false;

    // Today's allowances, and the day key they belong to.
    DrawTable draw;
    bool draw_loaded = false;
    std::string day_key;

    // Notices written by this process so far.
    int update_count = 0;

    std::string config_path() const { return program_dir + kConfigFile; }
    std::string team_file() const { return program_dir + kTeamFile; }
    std::string player_file() const { return host_dir + "player.dat"; }
    std::string info_path() const { return "info." + node; }

    host::PlayerRecord& caller() { return players[p]; }
    const host::PlayerRecord& caller() const { return players[p]; }
};

}  // namespace kelvane
