// The start of a normal run: the module's files, the host's day counter,
// the daily reset, and callers without a flag of their own.
#include <gtest/gtest.h>

#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"
#include "platform/random.hpp"
#include "tribute/tests/lotto_game.hpp"

using kit::testing::ScriptedCaller;
using runelot::testing::LottoGame;

TEST(RunelotStart, MissingFilesShowTheirMessageWaitForAKeyAndWriteNothing) {
    struct Case {
        const char* missing;
        const char* day;  // runelot.dat's day; time.dat holds 1
        const char* message;
    } cases[] = {
        {"doors/runelot/runelot.dat", "1", "Cant open runelot.dat! Did you install the igm?"},
        {"time.dat", "1", "Cant open time.dat. Did you run the igm from drakmoor?"},
        {"doors/runelot/runeplay.dat", "1", "Cant open runeplay.dat! Did you install the igm?"},
        // The first run of a new day reports it too, and creates nothing.
        {"doors/runelot/runeplay.dat", "-1", "Cant open runeplay.dat! Did you install the igm?"},
    };
    for (const Case& c : cases) {
        LottoGame game;
        int me = game.add_player(3, 100);
        game.write_config(c.day);
        std::filesystem::remove(game.dir / c.missing);
        auto files = game.snapshot();
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys("k");
        EXPECT_EQ(game.play(caller, me), 0) << c.missing;
        EXPECT_TRUE(caller.screen_contains(c.message)) << c.missing;
        EXPECT_TRUE(caller.screen_contains("Halting!\n(hit a key)")) << c.missing;
        EXPECT_FALSE(caller.screen_contains("Returning to Drakmoor..")) << c.missing;
        EXPECT_EQ(game.snapshot(), files) << c.missing;
    }
}

TEST(RunelotStart, FirstRunOfADayClearsEveryFlagOnceAndStoresTheDay) {
    LottoGame game;
    int me = game.add_player(3, 100);
    int other = game.add_player(5, 100);
    game.write_config("-1");  // as install leaves it
    game.set_flag(me, 1);
    game.set_flag(other, 1);
    game.set_flag(149, 1);

    ScriptedCaller first(LottoGame::no_session());
    first.keys("n ");
    EXPECT_EQ(game.play(first, me), 0);
    EXPECT_TRUE(first.screen_contains("Try it out?"));  // yesterday's flag is gone
    EXPECT_EQ(game.flags(), std::string(150, '\0'));
    EXPECT_EQ(game.config(), game.host_dir() + "\r\n1\r\n");

    // Same day: no second reset, so a flag set since then stays.
    game.set_flag(other, 1);
    ScriptedCaller second(LottoGame::no_session());
    second.keys("n ");
    EXPECT_EQ(game.play(second, me), 0);
    EXPECT_EQ(game.flags()[static_cast<size_t>(other)], 1);
    EXPECT_EQ(game.config(), game.host_dir() + "\r\n1\r\n");

    // The host's next day.
    game.dir.write("time.dat", "2\r\nrest of the file\r\n");
    ScriptedCaller third(LottoGame::no_session());
    third.keys("n ");
    EXPECT_EQ(game.play(third, me), 0);
    EXPECT_EQ(game.flags(), std::string(150, '\0'));
    EXPECT_EQ(game.config(), game.host_dir() + "\r\n2\r\n");
}

TEST(RunelotStart, DaysOutsideSixteenBitsEndWithARangeErrorInWords) {
    struct Case {
        const char* stored;
        const char* host;
        int code;
        const char* words;
    } cases[] = {
        {"40000", "1", 201, "Runtime error 201: Range check error"},
        {"1", "70000", 201, "Runtime error 201: Range check error"},
        {"-32769", "1", 201, "Runtime error 201: Range check error"},
        {"one", "1", 106, "Runtime error 106: Invalid numeric format"},
    };
    for (const Case& c : cases) {
        LottoGame game;
        int me = game.add_player(3, 100);
        game.write_config(c.stored);
        game.dir.write("time.dat", std::string(c.host) + "\r\n");
        auto files = game.snapshot();
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys("y1234\r ");
        EXPECT_EQ(game.play(caller, me), c.code) << c.stored << " / " << c.host;
        EXPECT_TRUE(caller.screen_contains(c.words)) << caller.screen_text();
        EXPECT_FALSE(caller.screen_contains("Lottery Machine"));
        EXPECT_EQ(game.snapshot(), files);
    }
}

TEST(RunelotStart, RecordsWithoutAFlagByteMeetTheShieldAndNothingIsWritten) {
    for (int record : {150, 151, 999, -1}) {
        LottoGame game;
        game.add_player(3, 100);
        auto files = game.snapshot();
        ScriptedCaller caller(LottoGame::no_session());
        caller.keys("y1234\r ");
        EXPECT_EQ(game.play(caller, record), 0) << record;
        EXPECT_TRUE(caller.screen_contains("  There appears to be an invisible shield, keeping you from")) << record;
        EXPECT_TRUE(caller.screen_contains("Returning to Drakmoor..")) << record;
        EXPECT_EQ(game.snapshot(), files) << record;
    }
}

TEST(RunelotStart, LastRecordUsesTheLastFlagByte) {
    LottoGame game;
    for (int i = 0; i < 150; ++i) game.add_player(1, 10 + i);
    plat::ScriptedRandom machine{5, 5, 5, 5};
    plat::ScopedRandom use(machine);
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("y1234\r ");
    EXPECT_EQ(game.play(caller, 149), 0);
    std::string expected(150, '\0');
    expected[149] = 1;
    EXPECT_EQ(game.flags(), expected);
    EXPECT_EQ(game.player(149).gold(), 10 + 149 - 10);
    EXPECT_EQ(game.player(148).gold(), 10 + 148);
}

TEST(RunelotStart, ShortFlagsFileReadsMissingBytesAsNotPlayed) {
    LottoGame game;
    game.add_player(3, 100);
    int me = game.add_player(3, 100);
    game.dir.write("doors/runelot/runeplay.dat", std::string(1, '\1'));  // damaged: one byte left
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("n ");
    EXPECT_EQ(game.play(caller, me), 0);
    EXPECT_TRUE(caller.screen_contains("Try it out?"));
}

TEST(RunelotStart, PlayerRecordBeyondTheEndOfPlayerDatIsARunTimeError) {
    LottoGame game;
    game.add_player(3, 100);
    auto files = game.snapshot();
    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("y1234\r ");
    EXPECT_EQ(game.play(caller, 5), plat::rte::read_past_end);
    EXPECT_TRUE(caller.screen_contains("Runtime error 100: Disk read error"));
    EXPECT_EQ(game.snapshot(), files);
}
