// The short screens that end a run before the booth opens: the local-mode
// refusal, the turn-away screen and the usage screen.
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "lottery/lottery.hpp"
#include "platform/halt.hpp"
#include "platform/terminal.hpp"

namespace lottery {

void Say(std::string_view text) { kit::door_write_backtick(text, kit::BacktickSet::lottery); }

void SayLine(std::string_view text) {
    Say(text);
    kit::door_newline();
}

void RefuseLocalMode() {
    kit::local_write_line("IGM's Cannot Be Run In Local Mode");
    // Started without a terminal nobody sees the local screen: tell the
    // sysop's log on standard error.
    if (!plat::stdout_is_terminal()) plat::write_stderr_line("lottery: IGM's Cannot Be Run In Local Mode");
    plat::halt(0);
}

void TurnAwayScreen() {
    kit::door_clear_screen();
    kit::door_newline();
    kit::door_write_line(" |0AOrvald|02's cave looks darker than it usually does.");
    SayLine(" Maybe he's not home...");
    kit::door_newline();
    kit::door_more_prompt();
    plat::halt(0);
}

void ShowUsage() {
    kit::local_write_line("DRAKMOOR IGM: The Lottery 2.0");
    kit::local_write_line("");
    kit::local_write_line("   LOTTERY USAGE:");
    kit::local_write_line("");
    kit::local_write_line("");
    kit::local_write_line("   /M          Runs daily maintenance procedures");
    kit::local_write_line("   /?          Displays this help screen.");
    kit::local_write_line("");
    kit::local_write_line("");
    plat::halt(0);
}

}  // namespace lottery
