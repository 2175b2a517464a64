// The game as the caller plays it, run as the whole program on a scripted
// line, with the machine's digits scripted.
#include <gtest/gtest.h>

#include <algorithm>

#include "kit/testing/scripted_caller.hpp"
#include "platform/random.hpp"
#include "tribute/lotto_files.hpp"
#include "tribute/tests/lotto_game.hpp"

using kit::testing::ScriptedCaller;
using runelot::testing::LottoGame;

namespace {

constexpr char kClosing[] = "Returning to Drakmoor..";

bool seen(const ScriptedCaller& caller, const std::string& text) {
    return LottoGame::seen(caller).find(text) != std::string::npos;
}

}  // namespace

TEST(RunelotGame, JackpotAtLevelTwelveIsSavedAndASecondGameMeetsTheShield) {
    LottoGame game;
    game.add_player(3, 1000);
    int me = game.add_player(12, 500);
    game.add_player(5, 70);
    game.set_flag(0, 1);  // another caller played today
    host::PlayerRecord before = game.player(me);

    {
        plat::ScriptedRandom machine{1, 2, 3, 4};
        plat::ScopedRandom use(machine);
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys("y1234\r ");
        EXPECT_EQ(game.play(caller, me), 0);
        EXPECT_TRUE(seen(caller, "This appears to be some kind of Lottery Machine..."));
        EXPECT_TRUE(seen(caller, "  Try it out? [Y]: Y"));
        EXPECT_TRUE(seen(caller, "  You deposit 120 gold into the box, and read"));
        std::string text = LottoGame::seen(caller);
        EXPECT_EQ(text.substr(text.find("Enter Your Code:")),
                  "Enter Your Code: 1234\n\n"
                  "Machine's Code : 1234\n\n"
                  "  You matched 4 numbers!\n\n"
                  "  You hit the jackpot!\n\n"
                  "  You win 2000000000 gold!\n"
                  "  <MORE>\b\b\b\b\b\b      \b\b\b\b\b\b\b\b"
                  "Returning to Drakmoor..\n\n");
        EXPECT_EQ(machine.draws, 4);
    }
    host::PlayerRecord after = game.player(me);
    EXPECT_EQ(after.gold(), 500 - 120 + 2'000'000'000);
    after.set_gold(before.gold());
    EXPECT_EQ(after.bytes, before.bytes);  // nothing else of the record changed
    std::string flags = game.flags();
    ASSERT_EQ(flags.size(), 150u);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[static_cast<size_t>(me)], 1);
    EXPECT_EQ(flags.find('\1', 2), std::string::npos);

    auto files = game.snapshot();
    ScriptedCaller again(LottoGame::no_session());
    again.keys("y1234\r ");
    EXPECT_EQ(game.play(again, me), 0);
    EXPECT_TRUE(seen(again, "  There appears to be an invisible shield, keeping you from"));
    EXPECT_TRUE(seen(again, "  advancing on the hill!  (Try again tomorrow!)"));
    EXPECT_TRUE(seen(again, kClosing));
    EXPECT_FALSE(seen(again, "Lottery Machine"));
    EXPECT_EQ(game.snapshot(), files);
}

TEST(RunelotGame, MoneyTestAtOneBelowTheFeeAndAtTheFee) {
    struct Case {
        int32_t gold;
        bool offered;
    } cases[] = {{49, false}, {50, true}};
    for (const Case& c : cases) {
        LottoGame game;
        int me = game.add_player(5, c.gold);
        auto files = game.snapshot();
        plat::ScriptedRandom machine{9, 9, 9, 9};
        plat::ScopedRandom use(machine);
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys("y1234\r ");
        EXPECT_EQ(game.play(caller, me), 0);
        bool refused = seen(caller, "  However, you don't seem to have the kind of money you") &&
                       seen(caller, "  need to use the machine!");
        EXPECT_EQ(refused, !c.offered) << c.gold;
        EXPECT_EQ(seen(caller, "Try it out?"), c.offered) << c.gold;
        EXPECT_EQ(seen(caller, kClosing), c.offered) << c.gold;
        if (c.offered) {
            EXPECT_TRUE(seen(caller, "  You didn't match any numbers!"));
            EXPECT_EQ(game.player(me).gold(), 0);
            EXPECT_EQ(game.flags()[static_cast<size_t>(me)], 1);
        } else {
            EXPECT_EQ(game.snapshot(), files);
        }
    }
}

TEST(RunelotGame, EmptyCodeEndsWithNothingWritten) {
    LottoGame game;
    int me = game.add_player(4, 1000);
    auto files = game.snapshot();
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("Y\r ");
    EXPECT_EQ(game.play(caller, me), 0);
    EXPECT_TRUE(seen(caller, "Enter Your Code:"));
    EXPECT_FALSE(seen(caller, "Machine's Code"));
    EXPECT_FALSE(seen(caller, kClosing));
    EXPECT_EQ(game.snapshot(), files);
}

TEST(RunelotGame, DecliningKeepsTheDayOpen) {
    LottoGame game;
    int me = game.add_player(4, 1000);
    auto files = game.snapshot();
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("n ");
    EXPECT_EQ(game.play(caller, me), 0);
    EXPECT_TRUE(seen(caller, "  Try it out? [Y]: N"));
    EXPECT_TRUE(seen(caller, "  You trudge home, unaware of what you've missed."));
    EXPECT_TRUE(seen(caller, kClosing));
    EXPECT_EQ(game.snapshot(), files);
}

TEST(RunelotGame, WrongCodesAreAskedAgainAndTheSignNeverMatches) {
    LottoGame game;
    int me = game.add_player(2, 100);
    plat::ScriptedRandom machine{0, 1, 2, 3};
    plat::ScopedRandom use(machine);
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("y123\r12345\r12a4\r-123\r ");
    EXPECT_EQ(game.play(caller, me), 0);
    std::string screen = LottoGame::seen(caller);
    size_t short_at = screen.find("  Too short!");
    size_t long_at = screen.find("  Too long!");
    size_t nan_at = screen.find("  Not a number!");
    ASSERT_NE(short_at, std::string::npos);
    ASSERT_NE(long_at, std::string::npos);
    ASSERT_NE(nan_at, std::string::npos);
    EXPECT_LT(short_at, long_at);
    EXPECT_LT(long_at, nan_at);
    EXPECT_TRUE(seen(caller, "Machine's Code : 0123"));
    EXPECT_TRUE(seen(caller, "  You matched 3 numbers!"));
    EXPECT_TRUE(seen(caller, "  You almost hit the jackpot!"));
    EXPECT_TRUE(seen(caller, "  You win 3000 gold!"));
    EXPECT_EQ(game.player(me).gold(), 100 - 20 + 3000);
}

TEST(RunelotGame, PrizeBeyondTheGoldLimitIsShownButNotAdded) {
    LottoGame game;
    int me = game.add_player(12, 500'000'000);
    plat::ScriptedRandom machine{7, 0, 0, 0};
    plat::ScopedRandom use(machine);
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("y0007\r ");
    EXPECT_EQ(game.play(caller, me), 0);
    EXPECT_TRUE(seen(caller, "Machine's Code : 7000"));
    EXPECT_TRUE(seen(caller, "  You hit the jackpot!"));
    EXPECT_TRUE(seen(caller, "  You win 2000000000 gold!"));
    EXPECT_EQ(game.player(me).gold(), 500'000'000 - 120);
    EXPECT_EQ(game.flags()[static_cast<size_t>(me)], 1);
}

TEST(RunelotGame, ShowMoreErasesItsPrompt) {
    LottoGame game;
    int me = game.add_player(1, 5);  // cannot pay: the only prompt is the more prompt
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys(" ");
    EXPECT_EQ(game.play(caller, me), 0);
    const std::string& sent = caller.transcript();
    EXPECT_NE(sent.find("MORE"), std::string::npos);
    EXPECT_NE(sent.find("\b\b\b\b\b\b      \b\b\b\b\b\b\b\b"), std::string::npos);
    EXPECT_FALSE(caller.screen_contains("MORE"));
}

TEST(RunelotGame, CallerWhoDropsBeforeTheDrawLosesNothingAndAfterItKeepsTheResult) {
    struct Case {
        const char* keys;
        bool saved;
    } cases[] = {
        {"y", false},       // at the code prompt
        {"y12", false},     // half a code typed
        {"y1234\r", true},  // at the more prompt after the result
    };
    for (const Case& c : cases) {
        LottoGame game;
        int me = game.add_player(3, 100);
        auto files = game.snapshot();
        plat::ScriptedRandom machine{1, 5, 5, 5};
        plat::ScopedRandom use(machine);
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys(c.keys);  // then the caller hangs up
        EXPECT_EQ(game.play(caller, me), 0);
        EXPECT_FALSE(seen(caller, kClosing));
        if (c.saved) {
            EXPECT_EQ(game.player(me).gold(), 100 - 30 + 10) << c.keys;
            EXPECT_EQ(game.flags()[static_cast<size_t>(me)], 1) << c.keys;
        } else {
            EXPECT_EQ(game.snapshot(), files) << c.keys;
        }
    }
}

TEST(RunelotFlags, TwoCallersFinishingTogetherKeepBothFlags) {
    LottoGame game;
    runelot::LottoRun first, second;
    for (runelot::LottoRun* run : {&first, &second}) {
        run->program_dir = game.program_dir();
        runelot::LoadFlags(*run);  // both read the flags before either writes
    }
    first.record = 3;
    first.flags[3] = 1;
    second.record = 149;
    second.flags[149] = 1;
    runelot::SaveFlag(first);
    runelot::SaveFlag(second);
    std::string flags = game.flags();
    ASSERT_EQ(flags.size(), 150u);
    EXPECT_EQ(flags[3], 1);
    EXPECT_EQ(flags[149], 1);
    EXPECT_EQ(std::count(flags.begin(), flags.end(), '\1'), 2);
}
