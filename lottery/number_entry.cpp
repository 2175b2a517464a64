#include <vector>

#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "lottery/lottery.hpp"
#include "platform/val.hpp"

namespace lottery {

namespace {

// The number field: digits only, four wide, white on blue.
constexpr char kDigits[] = "1234567890";
constexpr int kFieldWidth = 4;
constexpr uint8_t kFieldAttr = 31;

struct EntryScreen {
    std::vector<const char*> lines;    // shown after "`c"
    std::vector<const char*> prompts;  // one per number, in order
};

EntryScreen entry_screen(const Game& game) {
    switch (game.number) {
        case 1:
            return {{"`0  You can choose only `@1 `0number.  The winning number will be a random",
                     "number between 1-10"},
                    {"What number do you want? "}};
        case 2:
            return {{"`0  You can pick any 3 numbers between 1-10."},
                    {"What is the first Number? ", "What is the second Number? ",
                     "What is the last number Number? "}};
        default:
            return {{"`0  You can pick any 6 numbers between 1-20."},
                    {"What is the first number? ", "What is the second number? ",
                     "What is the third number? ", "What is the fourth number? ",
                     "What is the fifth number? ", "What is the sixth and last number? "}};
    }
}

// Asks for every number of the ticket; a number that is not accepted starts
// the whole entry over. Returns the accepted numbers.
std::vector<int32_t> ask_numbers(const Game& game) {
    EntryScreen screen = entry_screen(game);
    for (;;) {
        SayLine("`c");
        for (const char* line : screen.lines) SayLine(line);
        SayLine();
        SayLine();
        std::vector<int32_t> numbers;
        for (size_t place = 0; place < screen.prompts.size(); ++place) {
            Say(screen.prompts[place]);
            std::string text = kit::door_edit_field("", kDigits, 0, kFieldWidth, kFieldWidth, kFieldAttr);
            int32_t number = plat::val_or(text, 0);
            if (!NumberAccepted(game, place, number)) break;
            numbers.push_back(number);
            if (place + 1 < screen.prompts.size()) kit::door_newline();
        }
        if (numbers.size() == screen.prompts.size()) return numbers;
    }
}

[[noreturn]] void ThankYou() {
    SayLine("`c");
    SayLine(" `%Thanks!  The drawing will take place tomorrow.");
    SayLine();
    SayLine();
    kit::door_more_prompt();
    SayLine("`c");
    Farewell();
}

}  // namespace

void EnterNumbers(Lottery& lot, const Game& game) {
    std::vector<int32_t> numbers = ask_numbers(game);
    StoreTicket(lot.program_dir, game, lot.record, numbers);
    RecordVisitor(lot.program_dir, lot.record);
    ThankYou();
}

}  // namespace lottery
