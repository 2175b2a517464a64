#include "cave/guessing_game.hpp"

#include <limits>
#include <string>

#include "common/colour_writers.hpp"
#include "kit/door_input.hpp"
#include "platform/clock.hpp"
#include "platform/random.hpp"
#include "platform/val.hpp"

namespace cave {

namespace {

constexpr int kAnswerMax = 255;

enum class Outcome { right, time_up, limit, too_high, too_low };

// What a guess made at `now` means. A right guess wins even after the
// deadline; a guess that is not a number counts as 0.
Outcome judge(const CaveState& state, int32_t guess, int32_t now) {
    if (guess == state.number) return Outcome::right;
    if (seconds_left(state.first_guess_time, now) < 0) return Outcome::time_up;
    if (state.guesses >= kGuessLimit) return Outcome::limit;
    return guess > state.number ? Outcome::too_high : Outcome::too_low;
}

void lose(CaveState& state, const char* reason) {
    common::write_line_codes("");
    common::write_line_codes(reason);
    common::write_line_codes("");
    common::write_line_codes("`0Orvald `2smiles softly to himself, and deposits your `$" + std::to_string(state.wager));
    common::write_line_codes("`2into his pocket.  He then sits down, and waves you away.");
    common::write_line_codes("");
    common::write_line_codes("`2You trudge out of the cave, very disappointed.  Maybe tomorrow.");
    state.player.set_gold(state.player.gold() - state.wager);
    common::more_prompt();
}

void win(CaveState& state) {
    common::write_line_codes("");
    common::write_line_codes("`0Orvald `2stares at the timeglass, then at you, his eyes wide with");
    common::write_line_codes("`2surprise.  You do your best to hide the smug look on your face.");
    common::write_line_codes("");
    int32_t prize = prize_for(state.wager);
    state.player.set_gold(gold_after_win(state.player.gold(), prize));
    common::write_line_codes("`%\"`0So you beat me once... Beginner's luck.  Anyway, I do play fair,");
    common::write_line_codes(" so here is the `$" + std::to_string(prize) + " `0gold I owe you.");
    common::write_line_codes("");
    common::write_line_codes("`2You think that this would be a good time to depart, before `0Orvald");
    common::write_line_codes("`2grabs his money back.  You skip home, delighted!");
    common::more_prompt();
}

}  // namespace

// Division truncates toward zero and the remainder keeps the sign, so an odd
// wager's half gains the half step away from zero.
int32_t prize_for(int32_t wager) { return wager / 2 + wager % 2; }

int32_t gold_after_win(int32_t gold, int32_t prize) {
    int64_t sum = static_cast<int64_t>(gold) + prize;
    return sum > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : static_cast<int32_t>(sum);
}

int32_t seconds_left(int32_t first_time, int32_t now) {
    return kGuessSeconds - plat::elapsed_seconds(first_time, now);
}

void PlayGame(CaveState& state) {
    // The process-wide generator is seeded from the clock's tick count at
    // its first draw, which is this one.
    state.number = plat::random(kHighestNumber) + 1;
    state.guesses = 0;
    for (;;) {
        common::write_codes("`2Guess?`% ");
        plat::ValResult answer = plat::val(kit::door_input_line(kAnswerMax));
        int32_t now = plat::seconds_since_midnight();
        if (++state.guesses == 1) state.first_guess_time = now;
        switch (judge(state, answer.ok ? answer.value : 0, now)) {
            case Outcome::right:
                win(state);
                return;
            case Outcome::time_up:
                lose(state, "`2Time's Up!");
                return;
            case Outcome::limit:
                lose(state, "`2Guess Limit Exceeded!");
                return;
            case Outcome::too_high:
                common::write_line_codes("`0Too High");
                break;
            case Outcome::too_low:
                common::write_line_codes("`0Too Low");
                break;
        }
        common::write_line_codes("`2You have `$" + std::to_string(seconds_left(state.first_guess_time, now)) +
                                 " `2seconds left!");
        common::write_line_codes("");
    }
}

}  // namespace cave
