#include <gtest/gtest.h>

#include "cave/guessing_game.hpp"
#include "cave_fixture.hpp"

using namespace cave;
using cave::testing::TimetableClock;
using kit::testing::ScriptedCaller;
using kit::testing::count_of;

namespace {

// Plays one game of Orvald's for a caller with 100 gold and a wager of 10,
// his secret number 500, starting at start_ms; the caller's keys come on
// the timetable the test fills in.
struct TimedGame {
    explicit TimedGame(int32_t start_ms) : caller(options(start_ms)), timetable(caller) {}

    static ScriptedCaller::Options options(int32_t start_ms) {
        ScriptedCaller::Options o;
        o.start_ms = start_ms;
        o.hang_up_when_done = false;
        return o;
    }

    void play() {
        state.player.set_gold(100);
        state.wager = 10;
        plat::ScriptedRandom secret{499};
        plat::ScopedRandom use(secret);
        caller.run([&] {
            timetable.install();
            PlayGame(state);
        });
    }

    ScriptedCaller caller;
    TimetableClock timetable;
    CaveState state;
};

constexpr int32_t hms(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 1000; }

}  // namespace

TEST(CaveTimedGame, TheDeadlineIsTwentySecondsAfterTheFirstGuess) {
    TimedGame game(hms(10, 15, 45));
    game.timetable.at(0, "100\r");      // 10:15:45, the first guess
    game.timetable.at(15000, "900\r");  // 10:16:00
    game.timetable.at(5000, "600\r");   // 10:16:05, the deadline itself
    game.timetable.at(1000, "400\r");   // 10:16:06, too late
    game.timetable.at(0, "x");
    game.play();

    EXPECT_TRUE(game.caller.screen_contains("Too Low\nYou have 20 seconds left!"));
    EXPECT_TRUE(game.caller.screen_contains("Too High\nYou have 5 seconds left!"));
    EXPECT_TRUE(game.caller.screen_contains("Too High\nYou have 0 seconds left!"));
    EXPECT_TRUE(game.caller.screen_contains("Time's Up!"));
    EXPECT_EQ(game.state.guesses, 4);
    EXPECT_EQ(game.state.player.gold(), 90);
    EXPECT_TRUE(game.caller.screen_contains("Orvald smiles softly to himself, and deposits your 10\n"
                                            "into his pocket.  He then sits down, and waves you away."));
}

TEST(CaveTimedGame, ARightGuessAfterTheDeadlineStillWins) {
    TimedGame game(hms(10, 15, 45));
    game.timetable.at(0, "100\r");
    game.timetable.at(30000, "500\r");
    game.timetable.at(0, "x");
    game.play();
    EXPECT_FALSE(game.caller.screen_contains("Time's Up!"));
    EXPECT_TRUE(game.caller.screen_contains(" so here is the 5 gold I owe you."));
    EXPECT_EQ(game.state.player.gold(), 105);
}

TEST(CaveTimedGame, TheDeadlineRunsAcrossMidnight) {
    TimedGame game(hms(23, 59, 50));
    game.timetable.at(0, "100\r");      // 23:59:50
    game.timetable.at(15000, "200\r");  // 00:00:05
    game.timetable.at(6000, "300\r");   // 00:00:11
    game.timetable.at(0, "x");
    game.play();
    EXPECT_TRUE(game.caller.screen_contains("You have 5 seconds left!"));
    EXPECT_TRUE(game.caller.screen_contains("Time's Up!"));
    EXPECT_EQ(game.state.player.gold(), 90);
}

TEST(CaveTimedGame, TheFifteenthWrongGuessLoses) {
    TimedGame game(hms(10, 0, 0));
    // Fifteen quick guesses, text among them (a guess of 0: too low).
    for (int i = 0; i < 14; ++i) game.timetable.at(100, i == 3 ? "five\r" : "501\r");
    game.timetable.at(100, "499\r");
    game.timetable.at(0, "x");
    game.play();
    std::string seen = game.caller.transcript();
    EXPECT_EQ(count_of(seen, "Guess?"), 15u);
    EXPECT_EQ(count_of(seen, "seconds left!"), 14u);
    EXPECT_EQ(count_of(seen, "Too Low"), 1u);
    EXPECT_TRUE(game.caller.screen_contains("Guess Limit Exceeded!"));
    EXPECT_FALSE(game.caller.screen_contains("Time's Up!"));
    EXPECT_EQ(game.state.player.gold(), 90);
}
