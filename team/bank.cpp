// "B": the bank, the caller's own `bank` field.
#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "team/screens.hpp"

namespace kelvane {

namespace {

constexpr int64_t kInt32Max = 2147483647;

void amount_screen_head(const host::PlayerRecord& me, std::string_view rule_start) {
    kit::door_clear_screen();
    kit::door_write_line();
    kit::door_write_line();
    common::write_line_codes("`%  Ye Olde Bank");
    std::string rule(rule_start);
    for (int i = 0; i < 31; ++i) rule += "-=";
    common::write_line_codes(rule);
    common::write_line_codes("`2  Gold In Hand: `0" + common::format_commas(me.gold()) + "   `2Gold In Bank: `0" +
                             common::format_commas(me.bank()));
    kit::door_write_line();
}

void not_proper() {
    kit::door_write_line();
    common::write_line_codes("`2  That's not a proper amount, you fool!");
    common::more_prompt();
}

void bank_deposit(host::PlayerRecord& me) {
    amount_screen_head(me, "`0");
    common::write_line_codes("`2  `0\"`2How much gold would you like to deposit?`0\"`2 (`01 for ALL of it`2)");
    common::write_codes("`2  AMOUNT:`% ");
    int64_t amount = read_amount();
    if (amount > me.gold() || amount + me.bank() < 1) amount = 0;
    if (amount == 1) amount = me.gold();
    // A deposit the bank's 32-bit sum cannot hold is no proper amount.
    if (amount + me.bank() > kInt32Max) amount = 0;
    if (amount == 0) {
        not_proper();
        return;
    }
    me.set_bank(static_cast<int32_t>(me.bank() + amount));
    me.set_gold(static_cast<int32_t>(me.gold() - amount));
}

void bank_withdraw(host::PlayerRecord& me) {
    amount_screen_head(me, "  `0");
    common::write_line_codes("`2  `0\"`2How much gold would you like to withdraw?`0\"`2 (`01 for ALL of it`2)");
    common::write_codes("`2  AMOUNT:`% ");
    int64_t amount = read_amount();
    if (amount > me.bank()) amount = 0;
    if (amount == 1) amount = me.bank();
    // Gold in hand is a 32-bit sum too.
    if (amount + me.gold() > kInt32Max) amount = 0;
    if (amount == 0) {
        not_proper();
        return;
    }
    me.set_gold(static_cast<int32_t>(me.gold() + amount));
    me.set_bank(static_cast<int32_t>(me.bank() - amount));
    kit::door_write_line();
    common::write_line_codes("  `0Done!");
    kit::door_write_line();
    kit::door_write_line();
    kit::door_write_line();
}

}  // namespace

void Bank(KelvaneState& s) {
    host::PlayerRecord& me = s.caller();
    for (;;) {
        kit::door_clear_screen();
        kit::door_write_line();
        kit::door_write_line();
        common::write_line_codes("   `%Drakmoor - `2Bank");
        std::string rule = "`0";
        for (int i = 0; i < 26; ++i) rule += "-=";
        common::write_line_codes(rule + "-");
        common::write_line_codes(" `2 A polite clerk approaches.  `5\"Can I help you sir?\"");
        kit::door_write_line();
        common::write_line_codes("  `2(`5D`2)eposit Gold");
        common::write_line_codes("  (`5W`2)ithdraw Gold");
        common::write_line_codes("  (`5R`2)eturn to Main");
        kit::door_write_line();
        kit::door_write_line();
        common::write_line_codes("  `2Gold In Hand: `0" + common::format_commas(me.gold()) + "  `2Gold In Bank: `0" +
                                 common::format_commas(me.bank()));
        kit::door_write_line();
        common::write_codes("  `2Your command, `0" + me.name() + "`2?`% ");
        char key = upper_key(kit::door_read_key());
        if (key == '\r') key = 'R';
        echo_key_line(key, "`%");
        switch (key) {
            case 'R':
            case 'Q': return;
            case 'D': bank_deposit(me); break;
            case 'W': bank_withdraw(me); break;
            default: break;
        }
    }
}

}  // namespace kelvane
