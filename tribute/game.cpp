// The game on the hill: the passage and plaque, the fee, the caller's code,
// the machine's code and what the matches pay.
#include <cctype>

#include "host/player_file.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/halt.hpp"
#include "platform/random.hpp"
#include "tribute/lotto_files.hpp"
#include "tribute/lotto_rules.hpp"
#include "tribute/runelot.hpp"

namespace runelot {

namespace {

constexpr int kCodeInputMax = 255;

void ShowHill() {
    kit::door_set_fg(2);
    kit::door_write_line("  You follow a narrow path until it ends at the foot of a large hill.");
    kit::door_write_line("  A warm pulling force takes hold of you, and step by step it draws");
    kit::door_write_line("  you all the way up to the top.");
    kit::door_write_line("");
    kit::door_write_line("  At the top stands an oddly shaped box, with a button next to each of");
    kit::door_write_line("  the numbers 1 through 9, and a small plaque set in below them.");
    kit::door_write_line("");
    kit::door_write_line("");
    WriteCodesLine("`0  This lottery is placed here in honour of `%Edric Wynn Halloway`0,");
    WriteCodesLine("`0  for his great wisdom and advice.");
    WriteCodesLine("`0  Dedicated by `%Hollis Brand`0, the 9th day of Harvestmoon, 1163`2");
    kit::door_write_line("");
    kit::door_write_line("");
    kit::door_write_line("  This appears to be some kind of Lottery Machine...");
}

// "Y" unless the caller answers "N".
bool AcceptsOffer() {
    WriteCodes("`2  Try it out? [`5Y`2]:`% ");
    char key = static_cast<char>(std::toupper(static_cast<unsigned char>(kit::door_read_key())));
    bool yes = key != 'N';
    kit::door_write_line(yes ? "Y" : "N");
    kit::door_write_line("");
    return yes;
}

void PayFee(LottoRun& run) {
    run.flags[static_cast<size_t>(run.record)] = 1;
    run.fee = FeeFor(run.player.level());
    run.player.set_gold(GoldAfterFee(run.player.gold(), run.fee));
    WriteCodesLine("`2  You deposit `$" + std::to_string(run.fee) + "`2 gold into the box, and read");
    WriteCodesLine("`2  the directions.");
    kit::door_write_line("");
    kit::door_write_line("");
    WriteCodesLine("`0  Press four of the numbers to make your code.");
    WriteCodesLine("`0  Then wait for the machine to make a code of its own.");
    WriteCodesLine("`0  Match one or more of its numbers, and some of your gold comes back!");
}

// Asks until a code is accepted. An empty entry ends the program: nothing
// has been written, so the fee and the day's play are not recorded.
void EnterCode(LottoRun& run) {
    for (;;) {
        kit::door_write_line("");
        WriteCodes("`2Enter Your Code:`% ");
        std::string code = kit::door_input_line(kCodeInputMax);
        kit::door_newline();
        switch (CheckCode(code)) {
            case CodeCheck::empty: plat::halt(0);
            case CodeCheck::too_short: WriteCodesLine("`2  Too short!"); break;
            case CodeCheck::too_long: WriteCodesLine("`2  Too long!"); break;
            case CodeCheck::not_a_number: WriteCodesLine("`2  Not a number!"); break;
            case CodeCheck::accepted: run.player_code = code; return;
        }
    }
}

void DrawMachineCode(LottoRun& run) {
    run.machine_code.clear();
    for (size_t i = 0; i < kCodeLength; ++i)
        run.machine_code += static_cast<char>('0' + plat::random(10));
    run.matches = CountMatches(run.player_code, run.machine_code);
    run.prize = PrizeFor(run.player.level(), run.matches);
    run.game_decided = true;
}

void ShowResult(LottoRun& run) {
    WriteCodesLine("`2Machine's Code :`% " + run.machine_code);
    kit::door_write_line("");
    if (run.matches == 0) {
        WriteCodesLine("`2  You didn't match any numbers!");
        kit::door_write_line("");
        WriteCodesLine("`2  Try again tomorrow!");
        ShowMore();
        return;
    }
    WriteCodesLine("`2  You matched " + std::to_string(run.matches) + "`2 numbers!");
    kit::door_write_line("");
    WriteCodesLine(run.matches == 4 ? "`2  You hit the jackpot!" : "`2  You almost hit the jackpot!");
    kit::door_write_line("");
    WriteCodesLine("`2  You win `$" + std::to_string(run.prize) + " `2gold!");
    run.player.set_gold(GoldAfterPrize(run.player.gold(), run.prize));
    ShowMore();
}

}  // namespace

void PlayGame(LottoRun& run) {
    ShowHill();
    if (FeeFor(run.player.level()) > run.player.gold()) {
        kit::door_write_line("  However, you don't seem to have the kind of money you");
        kit::door_write_line("  need to use the machine!");
        ShowMore();
        plat::halt(0);
    }
    if (!AcceptsOffer()) {
        kit::door_set_fg(2);
        kit::door_write_line("  You trudge home, unaware of what you've missed.");
        ShowMore();
        return;
    }
    PayFee(run);
    EnterCode(run);
    DrawMachineCode(run);
    ShowResult(run);
}

void SaveGame(LottoRun& run) {
    if (!run.game_decided) return;
    run.game_decided = false;
    host::runelot_write_player(run.host_dir + host::kPlayerFile, run.record, run.player);
    SaveFlag(run);
}

}  // namespace runelot
