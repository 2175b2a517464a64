#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "lottery/lottery.hpp"
#include "platform/halt.hpp"

namespace lottery {

void Farewell() {
    SayLine("`.");
    SayLine(" `0Thanks for using `2T`0he `2L`0ottery.");
    SayLine();
    SayLine(" `3Wistan`2, looks up at you as you are leaving, and says:");
    SayLine(" `2  \"Questions about the booth, or ideas to make it better? Send them");
    SayLine(" `2   by mail in the game, and they will reach the ones who run it.\"");
    SayLine();
    SayLine(" `3The Lottery `2- the Drakmoor modules team `0- `2support through your sysop");
    SayLine();
    SayLine();
    SayLine();
    Say(" `2Press any key to continue..");
    kit::door_more_prompt();
    kit::door_clear_screen();
    kit::door_write_line();
    SayLine("  `2Returning you to the realm of the `4Dragon...");
    kit::door_write_line();
    plat::halt(0);
}

}  // namespace lottery
