// The statistics screen of a player ("V" shows the caller's own).
#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "kit/door_output.hpp"
#include "team/screens.hpp"

namespace kelvane {

namespace {

constexpr int kNumberWidth = 20;

std::string number(int64_t n) { return common::pad_right(common::format_commas(n), kNumberWidth); }

void stats_row(std::string_view left, int64_t left_value, std::string_view right, int64_t right_value) {
    common::write_line_codes(std::string(left) + number(left_value) + std::string(right) + number(right_value));
}

}  // namespace

void ShowStats(const host::PlayerRecord& player, std::string_view team_name) {
    kit::door_clear_screen();
    common::write_line_codes("  `%" + player.name() + "`0's stats...");
    kit::door_write_line();
    stats_row("     `2Experience: `%", player.experience(), "               `2Charm: `%", player.charm());
    stats_row("     `2Level     : `%", player.level(), "               `2Gems : `%", player.gems());
    stats_row("     `2Strength  : `%", player.strength(), "               `2Gold : `%", player.gold());
    stats_row("     `2Defense   : `%", player.defense(), "               `2Bank : `%", player.bank());
    stats_row("     `2Hit Pt Max: `%", player.hit_max(), "               `2Lays : `%", player.lays());
    stats_row("     `2Won Game  : `%", player.wins(), "               `2Kills: `%", player.kills());
    kit::door_write_line();
    common::write_line_codes("          `2Armor: `%" + player.armor_name() + "    `2Weapon : `%" + player.weapon_name());
    kit::door_write_line();
    common::write_line_codes("                         `0On Team: `$" + std::string(team_name));
    common::more_prompt();
}

void ViewOwnStats(KelvaneState& s) {
    // A caller on no team sees "None"; the text only fills the unsaved
    // in-memory team name.
    if (!s.on_team) s.team.name = "`%None";
    ShowStats(s.caller(), s.team.name);
}

}  // namespace kelvane
