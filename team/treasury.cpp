// "Y": the team treasury, shared by all members, with a daily withdrawal
// allowance. Every move reaches the team file at once and is posted as a
// notice for team mates on other nodes.
#include <cmath>

#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "team/screens.hpp"
#include "team/team_files.hpp"

namespace kelvane {

namespace {

// Most gold a caller may hold after taking some from the treasury.
constexpr int64_t kGoldInHandCap = 2000000000;

// The treasury as a whole number for the screen (a damaged value shows as 0).
int64_t whole_gold(double treasury) {
    if (!std::isfinite(treasury)) return 0;
    constexpr double kShowMax = 9.0e18;
    if (treasury > kShowMax) return static_cast<int64_t>(kShowMax);
    if (treasury < -kShowMax) return -static_cast<int64_t>(kShowMax);
    return std::llround(treasury);
}

void deposit(KelvaneState& s) {
    kit::door_write_line();
    common::write_line_codes("`2  `2How much gold would you like to deposit?`2 (`01 for ALL of it`2)");
    common::write_codes("`2  AMOUNT:`% ");
    int32_t amount = read_amount();
    ApplyUpdates(s);
    host::PlayerRecord& me = s.caller();
    if (amount > me.gold()) amount = 0;
    // 1 means all gold in hand.
    if (amount == 1) amount = me.gold();
    int32_t moved = MoveTreasury(s, kUpdateDeposit, amount);
    s.team.treasury += moved;
    me.set_gold(me.gold() - moved);
}

void withdraw(KelvaneState& s) {
    host::PlayerRecord& me = s.caller();
    int32_t& left = s.draw.withdraw_left[s.p];
    int32_t base = BaseLimit(me.level());
    // A leader whose allowance is still the day's base gets twice the base
    // for this withdrawal; an allowance above base is cut back to base.
    if (s.is_leader && left == base)
        left = static_cast<int32_t>(std::min<int64_t>(2 * static_cast<int64_t>(base), kLimitCap));
    else if (left > base)
        left = base;

    kit::door_write_line();
    common::write_line_codes("`2  `2How much gold would you like to withdraw?");
    common::write_codes("`2  AMOUNT:`% ");
    int32_t amount = read_amount();
    ApplyUpdates(s);
    if (amount > s.team.treasury) amount = 0;
    if (static_cast<int64_t>(me.gold()) + amount > kGoldInHandCap || amount > left) {
        kit::door_write_line();
        common::write_line_codes("  `2Too much!  At your level, you can only take `$" + common::format_commas(left) +
                                 "`2 gold today!");
        common::write_line_codes("                          `5- `0Team Regulations 3:4");
    } else {
        // What the safe in the file cannot cover is not taken.
        int32_t moved = MoveTreasury(s, kUpdateWithdrawal, amount);
        me.set_gold(me.gold() + moved);
        s.team.treasury -= moved;
        kit::door_write_line();
        common::write_line_codes("  `0Done!");
        left -= moved;
    }
    common::more_prompt();
}

}  // namespace

void TeamTreasury(KelvaneState& s) {
    if (!s.on_team) {
        not_on_team();
        return;
    }
    for (;;) {
        ApplyUpdates(s);
        kit::door_clear_screen();
        kit::door_write_line();
        kit::door_write_line();
        common::write_line_codes("`%  Treasury");
        std::string rule = "`0";
        for (int i = 0; i < 28; ++i) rule += "-=";
        common::write_line_codes(rule + "-");
        common::write_line_codes("  `2You walk to the back of the team house, where the old iron safe stands,");
        common::write_line_codes("  `2and turn its heavy dial until the door swings open.");
        kit::door_write_line();
        common::write_line_codes("  `2(`5D`2)eposit Gold");
        common::write_line_codes("  (`5W`2)ithdraw Gold");
        common::write_line_codes("  (`5R`2)eturn");
        kit::door_write_line();
        kit::door_write_line();
        common::write_line_codes("  `2Gold In Hand: `0" + common::format_commas(s.caller().gold()) +
                                 "  `2Gold In Safe: `0" + common::format_commas(whole_gold(s.team.treasury)));
        kit::door_write_line();
        common::write_codes("`2Your choice, `0" + s.caller().name() + "`2?`% ");
        char key = upper_key(kit::door_read_key());
        if (key == '\r') key = 'R';
        echo_key_line(key);
        switch (key) {
            case 'R':
            case 'Q':
                kit::door_write_line();
                common::write_line_codes("  `2You close the safe, and leave the house.");
                common::more_prompt();
                return;
            case 'D': deposit(s); break;
            case 'W': withdraw(s); break;
            default: break;
        }
    }
}

}  // namespace kelvane
