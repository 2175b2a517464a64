// The ticket booth as a caller meets it: start-up, the day's turn-away list,
// the price, the menu and the number entry, and the files left behind.
#include <gtest/gtest.h>

#include "kit/door_output.hpp"
#include "lottery/tests/lottery_fixture.hpp"
#include "platform/files.hpp"

using kit::testing::ScriptedCaller;
using lottery::testing::Booth;
using lottery::testing::crlf;
using lottery::testing::no_session;

namespace {

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Keys of a whole visit that buys a Pick 1 ticket with the number 7: the
// title's key, "Y", game 1, the number, then the two pauses.
constexpr char kBuyPick1[] = " Y17\r  ";

}  // namespace

TEST(LotteryPrice, HundredGoldBuysAndLeavesNothingNinetyNineDoesNot) {
    struct Case {
        int32_t gold;
        const char* keys;
        int32_t gold_after;
        bool ticket;
    } cases[] = {
        {100, kBuyPick1, 0, true},
        {99, " Y  ", 99, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gold);
        Booth booth(2, c.gold);
        host::PlayerRecord before = booth.caller_record();
        ScriptedCaller caller(no_session());
        caller.keys(c.keys);
        EXPECT_EQ(booth.run(caller), 0);
        host::PlayerRecord after = booth.caller_record();
        EXPECT_EQ(after.gold(), c.gold_after);
        // Everything but the gold comes back byte for byte.
        before.set_gold(c.gold_after);
        EXPECT_EQ(after.bytes, before.bytes);
        EXPECT_EQ(booth.dir.exists("lottery1.dat"), c.ticket);
        EXPECT_EQ(caller.transcript().find("You don't have the money, pal. Go check your Bank!") != std::string::npos,
                  !c.ticket);
        EXPECT_TRUE(caller.screen_contains("Returning you to the realm of the Dragon..."));
    }
}

TEST(LotteryPrice, EnterOrNAtTheCounterLeavesWithoutCharge) {
    for (const char* keys : {" \r ", " xN ", " n "}) {
        SCOPED_TRACE(keys);
        Booth booth(2, 500);
        std::string players = booth.dir.read("PLAYER.DAT");
        ScriptedCaller caller(no_session());
        caller.keys(keys);
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(booth.dir.read("PLAYER.DAT"), players);
        EXPECT_TRUE(caller.screen_contains("Returning you to the realm of the Dragon..."));
        EXPECT_EQ(caller.transcript().find("Which ticket do you want?"), std::string::npos);
    }
}

TEST(LotteryPrice, IsSavedTheMomentItIsPaidAndNotRefunded) {
    // The caller pays, then asks for the menu again with Enter and leaves
    // through "4", or drops at the menu.
    struct Case {
        const char* keys;
        size_t menus;
    } cases[] = {{" Y\r4 ", 2}, {" Y", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        Booth booth(2, 500);
        ScriptedCaller caller(no_session());
        caller.keys(c.keys);
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(count(caller.transcript(), "Which ticket do you want?"), c.menus);
        EXPECT_EQ(booth.gold(), 400);
        EXPECT_FALSE(booth.dir.exists("lottery1.dat"));
        EXPECT_FALSE(booth.dir.exists("USERS.DAT"));
    }
}

TEST(LotteryPrice, ALockedPlayerFileLeavesTheCallerUnableToPay) {
    Booth booth(2, 500);
    plat::FileHandle host_holds;
    ASSERT_EQ(host_holds.try_open(booth.dir / "PLAYER.DAT", plat::Access::read_write, plat::Share::exclusive), 0);
    ScriptedCaller caller(no_session());
    caller.keys(" Y  ");
    EXPECT_EQ(booth.run(caller), 0);
    host_holds.close();
    EXPECT_NE(caller.transcript().find("You don't have the money, pal."), std::string::npos);
    EXPECT_EQ(booth.gold(), 500);
}

TEST(LotteryCounter, ShowsTheChosenClerkAndThePrice) {
    Booth booth;
    ScriptedCaller caller(no_session());
    caller.keys(" N ");
    booth.run(caller, {}, 3);
    std::string t = caller.transcript();
    EXPECT_NE(t.find("Deyn"), std::string::npos);
    EXPECT_NE(t.find(" glances at you and asks:"), std::string::npos);
    EXPECT_NE(t.find("\"Would you like a lottey ticket, it will only cost ya "), std::string::npos);
    EXPECT_NE(t.find("100"), std::string::npos);
    EXPECT_NE(t.find("Gold Coins.\" "), std::string::npos);
}

TEST(LotteryNumberEntry, ANumberNotAcceptedStartsTheWholeEntryOver) {
    struct Case {
        const char* game_key;
        const char* numbers;  // keys typed at the prompts
        const char* first_prompt;
        size_t prompts_shown;
        std::vector<std::string> stored;  // lines after the record line
        const char* file;
    } cases[] = {
        {"3", "1\r2\r3\r21\r1\r2\r3\r4\r5\r6\r", "What is the first number? ", 2, {"1", "2", "3", "4", "5", "6"},
         "lottery3.dat"},
        {"1", "0\r10\r", "What number do you want? ", 2, {"10"}, "lottery1.dat"},
        {"1", "5837\r", "What number do you want? ", 1, {"5837"}, "lottery1.dat"},
        {"2", "5\r5\r5\r", "What is the first Number? ", 1, {"5", "5", "5"}, "lottery2.dat"},
        {"2", "5\r5837\r1\r2\r3\r", "What is the first Number? ", 2, {"1", "2", "3"}, "lottery2.dat"},
        {"3", "5837\r20\r1\r1\r1\r1\r", "What is the first number? ", 1, {"5837", "20", "1", "1", "1", "1"},
         "lottery3.dat"},
        {"3", "0\r11\r11\r11\r11\r11\r11\r", "What is the first number? ", 2, {"11", "11", "11", "11", "11", "11"},
         "lottery3.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.game_key) + ": " + c.numbers);
        Booth booth(2, 500);
        ScriptedCaller caller(no_session());
        caller.keys(std::string(" Y") + c.game_key + c.numbers + "  ");
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(count(caller.transcript(), c.first_prompt), c.prompts_shown);
        std::vector<std::string> lines{"2"};
        lines.insert(lines.end(), c.stored.begin(), c.stored.end());
        EXPECT_EQ(booth.dir.read(c.file), crlf(lines));
        EXPECT_NE(caller.transcript().find("Thanks!  The drawing will take place tomorrow."), std::string::npos);
    }
}

TEST(LotteryTicketFile, TicketsAreAppendedAndTheBuyerIsListedForTheDay) {
    Booth booth(2, 500);
    booth.dir.write("lottery2.dat", crlf({"1", "4", "5", "6"}));
    ScriptedCaller caller(no_session());
    caller.keys(" Y28\r9\r10\r  ");
    EXPECT_EQ(booth.run(caller), 0);
    EXPECT_EQ(booth.dir.read("lottery2.dat"), crlf({"1", "4", "5", "6", "2", "8", "9", "10"}));
    EXPECT_EQ(booth.dir.read("USERS.DAT"), crlf({"2"}));
    EXPECT_EQ(booth.dir.read("MAINT.DAT"), crlf({"20261211"}));
}

TEST(LotteryTurnAway, AListedCallerIsTurnedAwayUntilTheDateChanges) {
    Booth booth(2, 500);
    {
        ScriptedCaller caller(no_session({2026, 12, 11}));
        caller.keys(kBuyPick1);
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(booth.gold(), 400);
    }
    {
        ScriptedCaller caller(no_session({2026, 12, 11}));
        caller.keys(" ");
        EXPECT_EQ(booth.run(caller), 0);
        std::string t = caller.transcript();
        EXPECT_NE(t.find(" " + kit::attr_sequence(0x0A) + "Orvald" + kit::attr_sequence(0x02) +
                         "'s cave looks darker than it usually does.\r\n"),
                  std::string::npos);
        EXPECT_TRUE(caller.screen_contains(" Maybe he's not home..."));
        EXPECT_EQ(t.find("Version 2.01"), std::string::npos);
        EXPECT_EQ(booth.gold(), 400);
    }
    {
        ScriptedCaller caller(no_session({2026, 12, 12}));
        caller.keys(kBuyPick1);
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(booth.gold(), 300);
        EXPECT_EQ(booth.dir.read("MAINT.DAT"), crlf({"20261212"}));
        EXPECT_EQ(booth.dir.read("USERS.DAT"), crlf({"2"}));
        EXPECT_EQ(booth.dir.read("lottery1.dat"), crlf({"2", "7", "2", "7"}));
    }
}

TEST(LotteryTurnAway, OnlyAWholeNumberLineMatchesAndANewDayEmptiesTheList) {
    struct Case {
        const char* maint;
        const char* users;
        bool turned_away;
        bool users_kept;
    } cases[] = {
        {"20261211", "1\r\n2\r\n", true, true},
        {"20261211", "2 x\r\nabc\r\n 3\r\n", false, true},
        {"20261210", "2\r\n", false, false},
        {"garbage", "2\r\n", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.maint) + " / " + c.users);
        Booth booth(2, 500);
        booth.dir.write("MAINT.DAT", std::string(c.maint) + "\r\n");
        booth.dir.write("USERS.DAT", c.users);
        ScriptedCaller caller(no_session());
        caller.keys(" N ");
        EXPECT_EQ(booth.run(caller), 0);
        EXPECT_EQ(caller.transcript().find("Orvald") != std::string::npos, c.turned_away);
        EXPECT_EQ(booth.dir.exists("USERS.DAT"), c.users_kept);
        EXPECT_EQ(booth.dir.read("MAINT.DAT"), crlf({c.turned_away || c.users_kept ? c.maint : "20261211"}));
    }
}

TEST(LotteryTurnAway, ANewDateWithoutAListOnlyRewritesTheDate) {
    Booth booth(2, 500);
    ScriptedCaller caller(no_session());
    caller.keys(" N ");
    EXPECT_EQ(booth.run(caller), 0);
    EXPECT_EQ(booth.dir.read("MAINT.DAT"), crlf({"20261211"}));
    EXPECT_FALSE(booth.dir.exists("USERS.DAT"));
}

TEST(LotteryStartUp, LocalModeIsRefusedBeforeAnythingHappens) {
    Booth booth(2, 500);
    ScriptedCaller caller(no_session());
    EXPECT_EQ(booth.run(caller, {"-L"}), 0);
    EXPECT_TRUE(caller.screen_contains("IGM's Cannot Be Run In Local Mode"));
    EXPECT_FALSE(booth.dir.exists("MAINT.DAT"));
}

TEST(LotteryStartUp, UsageScreenComesAfterTheStartUpOnTheConsoleOnly) {
    Booth booth(2, 500);
    ScriptedCaller caller(no_session());
    caller.keys(" ");  // a caller on the line, who never sees the screen
    plat::ScriptedRandom random;
    EXPECT_EQ(booth.run_with(caller, {"/?", "-D" + (booth.dir / "DOOR32.SYS")}, random), 0);
    EXPECT_EQ(caller.screen_row(1), "DRAKMOOR IGM: The Lottery 2.0");
    EXPECT_EQ(caller.screen_row(3), "   LOTTERY USAGE:");
    EXPECT_EQ(caller.screen_row(6), "   /M          Runs daily maintenance procedures");
    EXPECT_EQ(caller.screen_row(7), "   /?          Displays this help screen.");
    EXPECT_EQ(caller.transcript().find("LOTTERY USAGE"), std::string::npos);
    EXPECT_TRUE(booth.dir.exists("MAINT.DAT"));
}

TEST(LotteryStartUp, HostDirectoryComesFromTheConfiguration) {
    Booth booth(2, 500);
    plat::testing::TempDir host_dir;
    host_dir.write("player.dat", booth.dir.read("PLAYER.DAT"));
    booth.dir.write("PLAYER.DAT", "");
    // Without a final separator, as a sysop may write it.
    booth.dir.write("lottery.CFG", crlf({host_dir.path(), "ignored"}));
    ScriptedCaller caller(no_session());
    caller.keys(kBuyPick1);
    EXPECT_EQ(booth.run(caller), 0);
    EXPECT_EQ(host::read_player(host_dir / "player.dat", 2).gold(), 400);
    EXPECT_EQ(booth.dir.read("lottery1.dat"), crlf({"2", "7"}));
}
