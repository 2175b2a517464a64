#include "cave/visit.hpp"

#include <string>

#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "host/player_record.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/val.hpp"

namespace cave {

namespace {

constexpr int kAnswerMax = 255;

// Reads one key and writes the answer on its own line: other_key when that
// letter was typed (in either case), default_key for any other key.
char ask_key(char default_key, char other_key) {
    char key = static_cast<char>(common::upper_case(std::string(1, kit::door_read_key()))[0]);
    char answer = key == other_key ? other_key : default_key;
    common::write_line_codes(std::string(1, answer));
    return answer;
}

}  // namespace

void ShowDarkerCave() {
    kit::door_clear_screen();
    common::write_line_codes("`0Orvald`2's Cave looks darker than it usually does.");
    common::write_line_codes("`2Maybe he's not home...");
    common::more_prompt();
}

bool EnterCave(const CaveState& state) {
    kit::door_clear_screen();
    common::write_line_codes("`2You make your way along the rocky path to the mouth of `0Orvald`2's cave.");
    common::write_line_codes("`2They say his little games have made some men rich, and left others");
    common::write_line_codes("`2so broke that they stayed level five warriors forever.  You stop at");
    common::write_line_codes("`2the dark entrance, your hand on your money pouch.");
    common::write_line_codes("");
    common::write_codes("`2Shall you enter? [`5N`2]:`% ");
    if (ask_key('N', 'Y') == 'N') {
        common::write_line_codes("");
        common::write_line_codes("`2You turn, and run back to the realm.");
        common::more_prompt();
        return false;
    }

    kit::door_clear_screen();
    common::write_line_codes("`0Orvald `2looks up from his table and smiles a toothless smile.  He");
    common::write_line_codes("`2waves you to a stool, and you sit down opposite him, between");
    common::write_line_codes("`2great piles of glittering gold.");
    common::write_line_codes("");
    std::string child = state.player.sex() == host::kSexFemale ? "daughter" : "son";
    common::write_line_codes("`%\"`0My " + child + ", I play a very simple game.  You have 20");
    common::write_line_codes("seconds and 15 tries to guess my number, from 1 to 1000.  If");
    common::write_line_codes("you get it right, then I will give you your money, and half");
    common::write_line_codes("again.  If you do not, then you lose all.");
    common::write_line_codes("");

    if (state.player.gold() < 1) {
        common::write_line_codes("`0Orvald `2suddenly stands up.");
        common::write_line_codes("`%\"`0You have no money!  Why don't you get some, and come back later!");
        common::more_prompt();
        return false;
    }
    common::write_line_codes("`%\"`0Good.  Now, do you wish to play?`%\"");
    common::write_line_codes("");
    common::write_codes("`2[`5Y`2]:`% ");
    if (ask_key('Y', 'N') == 'N') {
        common::write_line_codes("");
        common::write_line_codes("`0Orvald `2dismisses you with a wave of his hand.");
        common::more_prompt();
        return false;
    }
    return true;
}

int32_t wager_value(std::string_view answer, int32_t gold) {
    plat::ValResult v = plat::val(answer);
    if (!v.ok || v.value <= 0 || v.value > gold) return 0;
    return v.value;
}

void AskWager(CaveState& state) {
    state.set_played();
    kit::door_clear_screen();
    int32_t gold = state.player.gold();
    do {
        common::write_codes("`2How much of your `$" + std::to_string(gold) + " `2will you wager?`% ");
        state.wager = wager_value(kit::door_input_line(kAnswerMax), gold);
    } while (state.wager == 0);
    common::write_line_codes("");
    common::write_line_codes("`0Orvald `2smiles.  He turns over his timeglass.");
    common::write_line_codes("");
}

}  // namespace cave
