#include "host/player_file.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "lottery/lottery.hpp"

namespace lottery {

namespace {

constexpr char kEnter = '\r';

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Waits for one of the keys (compared in upper case) and returns it; other
// keys are ignored and not shown.
char read_choice(std::string_view keys) {
    for (;;) {
        char key = upper(kit::door_read_key());
        if (keys.find(key) != std::string_view::npos) return key;
    }
}

// Takes the price and writes the caller's record back at once, so what was
// paid stays paid whatever happens next.
void Pay(Lottery& lot) {
    lot.player.set_gold(lot.player.gold() - lot.price);
    host::lottery_write_player(lot.host_dir + kPlayerFile, lot.record, lot.player);
}

}  // namespace

void TicketBooth(Lottery& lot) {
    SayLine("`c");
    SayLine();
    SayLine();
    SayLine();
    SayLine(" `0You approach the counter of this wonderful ticket booth.");
    SayLine();
    Say(" `$");
    Say(lot.clerk);
    SayLine("`0 glances at you and asks:");
    Say("`% \"Would you like a lottey ticket, it will only cost ya `#");
    Say(lot.price_text);
    SayLine(" `%Gold Coins.\" ");
    SayLine();
    Say(" `2Buy one?  [`5N`2]: `0");
    if (read_choice(std::string_view("\rNY", 3)) != 'Y') Farewell();
    if (lot.player.gold() < lot.price) {
        SayLine("`.");
        SayLine(" `%You don't have the money, pal. Go check your Bank!`0");
        kit::door_more_prompt();
        Farewell();
    }
    Pay(lot);
    TicketMenu(lot);
}

void TicketMenu(Lottery& lot) {
    for (;;) {
        SayLine("`c");
        SayLine("`0Which ticket do you want?");
        SayLine();
        SayLine("`#            (1) `0Pick 1       `8-Jackpot = $10,000");
        SayLine("`#            (2) `0Pick 3       `8-Jackpot = $100,000");
        SayLine("`#            (3) `0Pick 6       `8-Jackpot = $10,000,000");
        SayLine("`#            (4) `@Leave this place");
        SayLine();
        Say("`0Which one? ");
        switch (read_choice(std::string_view("\r1234", 5))) {
            case '1': EnterNumbers(lot, kPick1);
            case '2': EnterNumbers(lot, kPick3);
            case '3': EnterNumbers(lot, kPick6);
            case '4': Farewell();
            case kEnter: break;  // the whole menu again
        }
    }
}

}  // namespace lottery
