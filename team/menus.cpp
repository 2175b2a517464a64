// The three menus through which the caller reaches every team feature.
#include "common/colour_writers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/halt.hpp"
#include "team/screens.hpp"
#include "team/team_files.hpp"

namespace kelvane {

namespace {

// Writes the common head of a menu: a clear screen, two blank lines, the
// title and the separator.
void menu_head(std::string_view title) {
    kit::door_clear_screen();
    kit::door_write_line();
    kit::door_write_line();
    common::write_line_codes(title);
    common::write_line_codes(menu_separator());
}

// The prompt, one key, the other nodes' notices, the key echoed; returns
// the key in upper case.
char menu_key(KelvaneState& s) {
    kit::door_write_line();
    common::write_codes("  `2Your command, `0" + s.caller().name() + "`2?`% ");
    char key = kit::door_read_key();
    ApplyUpdates(s);
    echo_key_line(key);
    return upper_key(key);
}

}  // namespace

void TeamOptionsMenu(KelvaneState& s) {
    for (;;) {
        menu_head("                             `%Team Options");
        common::write_line_codes("  `2Weary of roaming the forest alone, you long for comrades at your side,");
        common::write_line_codes("  brave souls to share the glory of battle - and its spoils - with you.");
        kit::door_write_line();
        common::write_line_codes("  `2(`5A`2)ction Options");
        common::write_line_codes("  `2(`5M`2)anagement Options");
        if (!s.on_team) common::write_line_codes("  `2(`5J`2)oin/Create Teams");
        common::write_line_codes("  `2(`5H`2)ealers");
        common::write_line_codes("  `2(`5B`2)anking");
        common::write_line_codes("  `2(`5V`2)iew Your Stats");
        common::write_line_codes("  `2(`%Q`2)uit to the Realm");
        switch (menu_key(s)) {
            case 'A': ActionMenu(s); break;
            case 'M':
            case 'J': ManagementMenu(s); break;
            case 'B': Bank(s); break;
            case 'V': ViewOwnStats(s); break;
            case 'Q': plat::halt(0);
            default: break;
        }
    }
}

void ManagementMenu(KelvaneState& s) {
    for (;;) {
        menu_head("                          `%Management Options");
        kit::door_write_line();
        common::write_line_codes("         `2(`5J`2)oin Team                            `2(`5C`2)reate Team");
        common::write_line_codes("         `2(`5E`2)xit Team                            `2(`5K`2)ick Off Team");
        common::write_line_codes("         `2(`5D`2)isplay Teams                        `2(`5L`2)ist Team Mates");
        common::write_line_codes("         `2(`5A`2)ttack Team                          `2(`5Y`2)e Team Treasury");
        common::write_line_codes("         `2(`5R`2)evive Team Mate                     `2(`5S`2)end Team Message");
        common::write_line_codes("         `2(`5P`2)assword Change                      `2(`%Q`2)uit to the Realm");
        switch (menu_key(s)) {
            case 'Y': TeamTreasury(s); break;
            case 'Q': return;
            default: break;
        }
    }
}

void ActionMenu(KelvaneState& s) {
    for (;;) {
        menu_head("                             `%Action Options");
        kit::door_write_line();
        common::write_line_codes("         `2(`5T`2)rain Door Guard                     `2(`5G`2)et A Room");
        common::write_line_codes("         `2(`5P`2)arty                                `2(`5I`2)nvade a House");
        common::write_line_codes("         `2(`5A`2)ttack Team                          `2(`%Q`2)uit");
        switch (menu_key(s)) {
            case 'Q': return;
            default: break;
        }
    }
}

}  // namespace kelvane
