#include "kit/door_output.hpp"
#include "lottery/lottery.hpp"

namespace lottery {

void TitleScreen() {
    SayLine("`c");
    SayLine("`2                  \xDB\xDB\xDB\xDB\xDB \xDB   \xDB \xDB\xDB\xDB\xDB\xDB");
    SayLine("`2                    \xDB   \xDB   \xDB \xDB");
    SayLine("`2                    \xDB   \xDB\xDB\xDB\xDB\xDB \xDB\xDB\xDB\xDB");
    SayLine("`2                    \xDB   \xDB   \xDB \xDB                    `5Version 2.01");
    SayLine("`2                    \xDB   \xDB   \xDB \xDB\xDB\xDB\xDB\xDB");
    SayLine();
    SayLine("`0                  \xDB      \xDB\xDB\xDB  \xDB\xDB\xDB\xDB\xDB \xDB\xDB\xDB\xDB\xDB \xDB\xDB\xDB\xDB\xDB \xDB\xDB\xDB\xDB  \xDB   \xDB");
    SayLine("`0                  \xDB     \xDB   \xDB   \xDB     \xDB   \xDB     \xDB   \xDB  \xDB \xDB");
    SayLine("`0                  \xDB     \xDB   \xDB   \xDB     \xDB   \xDB\xDB\xDB\xDB  \xDB\xDB\xDB\xDB    \xDB");
    SayLine("`0                  \xDB     \xDB   \xDB   \xDB     \xDB   \xDB     \xDB  \xDB    \xDB");
    SayLine("`0                  \xDB\xDB\xDB\xDB\xDB  \xDB\xDB\xDB    \xDB     \xDB   \xDB\xDB\xDB\xDB\xDB \xDB   \xDB   \xDB");
    SayLine(" ");
    SayLine("`3             Support: the Drakmoor modules team, through your sysop");
    SayLine();
    SayLine("`$Press any key to continue..");
    kit::door_more_prompt();
}

}  // namespace lottery
