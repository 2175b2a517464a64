#include <gtest/gtest.h>

#include "cave/daily_reset.hpp"
#include "cave_fixture.hpp"

using namespace cave;
using cave::testing::CaveGame;
using cave::testing::make_player;
using kit::testing::ScriptedCaller;
using kit::testing::count_of;

namespace {

// A game of three players; the caller is record 1 (Ann, 100 gold).
struct CaveVisit : ::testing::Test {
    CaveVisit() {
        game.players({make_player("Bo", 10), make_player("Ann", 100, host::kSexFemale), make_player("Cy", 5)});
        game.info("1");
    }
    // The record as the file holds it, with gold set to `gold`.
    host::PlayerRecord with_gold(int32_t record, int32_t gold) {
        host::PlayerRecord p = game.player(record);
        p.set_gold(gold);
        return p;
    }
    void on_date(plat::LocalDate date) { game.caller.clock().set(date, 10 * 3600 * 1000); }

    CaveGame game;
    plat::ScriptedRandom secret{499};  // the number is 500
    plat::ScopedRandom use{secret};
};

}  // namespace

TEST_F(CaveVisit, AWinPaysHalfTheWagerRoundedAwayFromZero) {
    struct {
        const char* wager;
        int32_t prize;
    } cases[] = {{"3", 2}, {"5", 3}};
    for (const auto& c : cases) {
        game.players({make_player("Bo", 10), make_player("Ann", 100, host::kSexFemale), make_player("Cy", 5)});
        std::filesystem::remove(game.dir / "orvatime.dat");
        secret.push(499);
        game.caller.keys(std::string("YY") + c.wager + "\r500\rx");
        EXPECT_EQ(game.run_visit(), 0);
        EXPECT_TRUE(game.caller.screen_contains(" so here is the " + std::to_string(c.prize) + " gold I owe you."))
            << game.caller.screen_text();
        EXPECT_EQ(game.player(1).bytes, with_gold(1, 100 + c.prize).bytes);  // every other byte as it was
        EXPECT_EQ(game.player(0).bytes, make_player("Bo", 10).bytes);
        EXPECT_EQ(game.config().played[1], 1);
    }
    EXPECT_NE(game.caller.transcript().find("My daughter, I play a very simple game.  You have 20"), std::string::npos);
    EXPECT_FALSE(game.dir.exists("player.daX"));
    EXPECT_FALSE(game.dir.exists("door/orvtime.daX"));
}

TEST_F(CaveVisit, TheWagerIsAskedAgainUntilItIsWholeGoldTheCallerHas) {
    game.caller.keys("YY101\rplenty\r0\r100\r500\rx");
    game.run_visit();
    EXPECT_EQ(count_of(game.caller.transcript(), "will you wager?"), 4u);
    EXPECT_TRUE(game.caller.screen_contains("How much of your 100 will you wager? 100"));
    EXPECT_EQ(game.player(1).gold(), 150);
}

TEST_F(CaveVisit, NoGoldOrANoLeavesTheDayUnused) {
    struct {
        int32_t gold;
        const char* keys;
        const char* last_line;
    } cases[] = {
        {0, "Y", "You have no money!  Why don't you get some, and come back later!"},
        {-5, "Y", "You have no money!  Why don't you get some, and come back later!"},
        {100, "yn", "Orvald dismisses you with a wave of his hand."},
        {100, "N", "You turn, and run back to the realm."},
        {100, "q", "You turn, and run back to the realm."},
    };
    for (const auto& c : cases) {
        game.players({make_player("Bo", 10), make_player("Ann", c.gold), make_player("Cy", 5)});
        game.caller.keys(std::string(c.keys) + "x");
        game.run_visit();
        EXPECT_TRUE(game.caller.screen_contains(c.last_line)) << c.keys << "\n" << game.caller.screen_text();
        EXPECT_EQ(game.config().played[1], 0) << c.keys;
        EXPECT_EQ(game.player(1).gold(), c.gold);
    }
}

TEST_F(CaveVisit, ACallerWhoPlayedFindsTheCaveDarker) {
    game.caller.keys("YY10\r1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12\r13\r14\r15\rx");
    game.run_visit();
    EXPECT_EQ(game.player(1).gold(), 90);

    game.caller.keys("x");
    game.run_visit();
    EXPECT_EQ(game.caller.screen_row(1), "Orvald's Cave looks darker than it usually does.");
    EXPECT_EQ(game.caller.screen_row(2), "Maybe he's not home...");
    EXPECT_EQ(game.caller.screen_row(3), "<MORE>");
    EXPECT_FALSE(game.caller.screen_contains("Shall you enter?"));
    EXPECT_EQ(game.player(1).gold(), 90);
    EXPECT_EQ(game.config().played[1], 1);
}

TEST_F(CaveVisit, DatesWithOneStampShareADay) {
    on_date({2026, 1, 31});
    game.caller.keys("YY10\r500\rx");
    game.run_visit();
    EXPECT_EQ(game.dir.read("orvatime.dat"), "2058\r\n");
    EXPECT_EQ(game.player(1).gold(), 105);

    on_date({2026, 3, 29});  // the same stamp: still yesterday's play
    game.caller.keys("x");
    game.run_visit();
    EXPECT_TRUE(game.caller.screen_contains("looks darker than it usually does."));

    on_date({2026, 3, 30});  // a new day: the flags are cleared
    game.caller.keys("Nx");
    game.run_visit();
    EXPECT_EQ(game.dir.read("orvatime.dat"), "2059\r\n");
    EXPECT_TRUE(game.caller.screen_contains("Shall you enter? [N]: N"));
    EXPECT_EQ(game.config().played[1], 0);
    EXPECT_EQ(game.config().host_path, game.dir.path() + "/");
}

TEST_F(CaveVisit, ATruncatedDataFileKeepsWhatItHoldsAndIsWrittenWhole) {
    game.dir.write("orvatime.dat", day_stamp({2026, 12, 11}) + "\r\n");  // today: no reset
    CaveConfig played;
    played.played[1] = 1;
    auto bytes = encode_config(played);

    game.dir.write("door/orvtime.dat", std::string(reinterpret_cast<const char*>(bytes.data()), 300));
    game.caller.keys("x");
    game.run_visit();
    EXPECT_TRUE(game.caller.screen_contains("looks darker than it usually does."));

    game.dir.write("door/orvtime.dat", std::string(reinterpret_cast<const char*>(bytes.data()), 200));
    game.caller.keys("YY10\r500\rx");
    game.run_visit();
    EXPECT_EQ(game.player(1).gold(), 105);
    EXPECT_EQ(game.dir.read("door/orvtime.dat").size(), kCaveConfigSize);
    EXPECT_EQ(game.config().played[1], 1);
}

TEST_F(CaveVisit, ACallerWhoDropsAfterAgreeingHasUsedHisDay) {
    game.caller.keys("YY5");  // hangs up while typing the wager
    EXPECT_EQ(game.run_visit(), 0);
    EXPECT_EQ(game.config().played[1], 1);
    EXPECT_EQ(game.player(1).bytes, with_gold(1, 100).bytes);
}

TEST_F(CaveVisit, ARecordNumberWithoutAFlagEndsBeforeAnythingIsWritten) {
    struct {
        const char* line1;
        int code;
    } cases[] = {{"150", 201}, {"-1", 201}, {"one", 106}};
    std::string players = game.dir.read("player.dat");
    for (const auto& c : cases) {
        game.info(c.line1);
        game.caller.keys("x");
        EXPECT_EQ(game.run_visit(), c.code) << c.line1;
        EXPECT_EQ(game.dir.read("player.dat"), players);
        EXPECT_FALSE(game.dir.exists("door/orvtime.dat"));
    }
    EXPECT_NE(game.dir.read("ERROR.LOG").find("Run-time error occurred"), std::string::npos);
}

TEST_F(CaveVisit, WithoutParametersItPointsTheSysopToConfig) {
    EXPECT_EQ(game.run_program({}), 0);
    EXPECT_TRUE(game.caller.screen_contains("Orvald's Timer!\n\nYou must run this with the CONFIG parameter to configure.\n"
                                            "Otherwise just run it through DRAKMOOR."));
    EXPECT_FALSE(game.dir.exists("door/orvtime.dat"));
}
