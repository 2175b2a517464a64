// The caller's screens of the team module and the helpers they share.
// Each screen is a plain procedure over the visit's state that returns to
// the menu that called it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/player_record.hpp"
#include "team/kelvane_state.hpp"

namespace kelvane {

// ---- menus (menus.cpp)

// The first screen; it ends only by ending the program.
[[noreturn]] void TeamOptionsMenu(KelvaneState& s);
void ManagementMenu(KelvaneState& s);
void ActionMenu(KelvaneState& s);

// ---- screens

// The statistics screen of a player; team_name as the team line shows it.
void ShowStats(const host::PlayerRecord& player, std::string_view team_name);
// "V": the caller's own statistics.
void ViewOwnStats(KelvaneState& s);
// "Y": the team treasury.
void TeamTreasury(KelvaneState& s);
// "B": the bank.
void Bank(KelvaneState& s);

// ---- helpers (screen_helpers.cpp)

// The menus' separator: "`0" + "-=" 38 times + "-".
std::string menu_separator();
// A key echoed as a line of its own, upper-cased; a control key is echoed
// as an empty line, so nothing a caller types reaches a terminal as a
// control sequence.
void echo_key_line(char key, std::string_view colour = {});
char upper_key(char key);
// An amount typed by the caller (at most 255 characters): a decimal whole
// number; anything below 1 or not a number counts as 0.
int32_t read_amount();
// A blank line, "  `2You're not _on_ a team!" and the more prompt.
void not_on_team();

}  // namespace kelvane
