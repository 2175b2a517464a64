// Whole visits of a caller, the program run in-process against a scripted
// caller: start-up failures, the menus, the treasury and the bank.
#include <gtest/gtest.h>

#include "common/text_helpers.hpp"
#include "kit/door_output.hpp"
#include "platform/files.hpp"
#include "team/tests/game_fixture.hpp"

using namespace kelvane;
using namespace kelvane::testing;
using kit::testing::count_of;

namespace {

// The transcript without its ANSI sequences: the text the caller read.
std::string plain(const std::string& transcript) {
    std::string text;
    for (size_t i = 0; i < transcript.size(); ++i) {
        if (transcript[i] != '\x1b') {
            text += transcript[i];
            continue;
        }
        if (i + 1 < transcript.size() && transcript[i + 1] == '[') {
            i += 2;
            while (i < transcript.size() && !(transcript[i] >= '@' && transcript[i] <= '~')) ++i;
        }
    }
    return text;
}

}  // namespace

TEST(KelvaneVisit, StartThatFailsEarlyWritesNothing) {
    Game game;
    game.players({{"Ann", 3, 500}});
    game.teams({make_team("Crew", {0})});
    game.info(1, 0);
    std::string players = game.dir.read("player.dat");
    std::string teams = game.dir.read("prog/teamfile.dat");

    // Without the configuration file.
    std::filesystem::remove(game.dir / "prog/kelvane.cfg");
    {
        kit::testing::ScriptedCaller caller(no_session());
        EXPECT_EQ(visit(caller, game, 1, "Q"), 0);
        EXPECT_TRUE(caller.screen_contains("KELVANE.CFG does not exist!"));
    }
    // With a record number that is no player's.
    game.dir.write("prog/kelvane.cfg", crlf({game.host(), ""}));
    game.dir.write("info.1", crlf({"150", "3", "", "", "30", "Ann", "A", "B", "7", "", "", "telnet", "", ""}));
    {
        kit::testing::ScriptedCaller caller(no_session());
        EXPECT_EQ(visit(caller, game, 1, "Q"), 201);
    }
    EXPECT_EQ(game.dir.read("player.dat"), players);
    EXPECT_EQ(game.dir.read("prog/teamfile.dat"), teams);
    EXPECT_FALSE(game.dir.exists("teamdraw.dat"));
    EXPECT_FALSE(game.dir.exists("kvtime.dat"));
}

TEST(KelvaneVisit, MenusRedrawForKeysTheyDoNotOfferAndQuitSaves) {
    Game game;
    game.players({{"Ann", 3, 500}});
    game.info(1, 0, "`%Ann");
    kit::testing::ScriptedCaller caller(no_session());
    // Team options: an unknown key; the management and action menus and back.
    EXPECT_EQ(visit(caller, game, 1, "zmxqaqQ"), 0);
    std::string seen = plain(caller.transcript());
    EXPECT_EQ(count_of(seen, "Team Options"), 4u);
    EXPECT_EQ(count_of(seen, "Management Options"), 2u);
    EXPECT_EQ(count_of(seen, "Action Options"), 1u);
    EXPECT_NE(seen.find("(J)oin/Create Teams"), std::string::npos);
    EXPECT_NE(seen.find("  Your command, Ann? Z\r\n"), std::string::npos);
    EXPECT_EQ(caller.session().real_name, "Ann");
    EXPECT_TRUE(game.dir.exists("teamdraw.dat"));
}

TEST(KelvaneVisit, StatisticsOfACallerOnNoTeamSayNone) {
    Game game;
    game.players({{"Ann", 3, 1234567, 89}});
    game.info(1, 0);
    kit::testing::ScriptedCaller caller(no_session());
    caller.keys("v");
    caller.run([&] {
        std::string prog = game.prog() + "kelvane";
        std::vector<char*> argv{prog.data(), const_cast<char*>("1"), const_cast<char*>("-Dinfo.1"), nullptr};
        kelvane_main(3, argv.data());
    });
    std::string seen = plain(caller.transcript());
    EXPECT_NE(seen.find("  Ann's stats...\r\n\r\n"), std::string::npos) << seen;
    EXPECT_NE(seen.find("     Strength  : 0                                  Gold : 1,234,567           \r\n"),
              std::string::npos);
    EXPECT_NE(seen.find("                         On Team: None\r\n"), std::string::npos);
    // "None" in white: its own colour code follows the team line's yellow.
    std::string sent = caller.transcript();
    size_t at = sent.find("On Team: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(plain(sent.substr(at, 30)).substr(0, 13), "On Team: None");
    EXPECT_EQ(sent.substr(at + 9, sent.find("None", at) - at - 9), kit::fg_sequence(14) + kit::fg_sequence(15));
}

TEST(KelvaneVisit, TreasuryWithdrawalsFollowTheDailyAllowance) {
    struct Case {
        const char* what;
        int16_t level;
        bool leader;
        int32_t gold;
        double treasury;
        const char* keys;  // in the treasury screen
        std::vector<const char*> replies;
        int32_t gold_after;
        double treasury_after;
        int32_t allowance_after;
    } cases[] = {
        {"level 3: 600 then 500", 3, false, 0, 5000, "W600\r.W500\r.", {"Done!", "only take 400 gold today!"},
         600, 4400, 400},
        {"level 3 leader", 3, true, 0, 5000, "W2000\r.", {"Done!"}, 2000, 3000, 0},
        {"gold in hand capped", 14, false, 1999999999, 5000, "W2\r.",
         {"Too much!  At your level, you can only take 2,000,000,000 gold today!", "Team Regulations 3:4"},
         1999999999, 5000, 2000000000},
        {"more than the safe holds", 3, false, 10, 100, "W150\r.", {"Done!"}, 10, 100, 1000},
        {"deposit 1 is all", 3, false, 777, 100, "D1\r", {}, 0, 877, 1000},
        {"deposit more than in hand", 3, false, 50, 100, "D51\r", {}, 50, 100, 1000},
        {"deposit", 3, false, 50, 100, "D20\r", {}, 30, 120, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game game;
        game.players({{"Other"}, {"Ann", c.level, c.gold}});
        game.teams({make_team("Crew", {0, 1}, c.leader ? 1 : 0, c.treasury)});
        game.info(1, 1);
        kit::testing::ScriptedCaller caller(no_session());
        EXPECT_EQ(visit(caller, game, 1, std::string("MY") + c.keys + "R.QQ"), 0);
        std::string seen = plain(caller.transcript());
        size_t at = 0;
        for (const char* reply : c.replies) {
            at = seen.find(reply, at);
            ASSERT_NE(at, std::string::npos) << reply << "\n" << seen;
        }
        EXPECT_NE(seen.find("You close the safe, and leave the house."), std::string::npos);
        EXPECT_EQ(game.player(1).gold(), c.gold_after);
        EXPECT_EQ(game.teams()[0].treasury, c.treasury_after);
        EXPECT_EQ(game.draw().withdraw_left[1], c.allowance_after);
    }
}

TEST(KelvaneVisit, TreasuryNeedsATeam) {
    Game game;
    game.players({{"Ann", 3, 50}});
    game.info(1, 0);
    kit::testing::ScriptedCaller caller(no_session());
    EXPECT_EQ(visit(caller, game, 1, "MY.QQ"), 0);
    EXPECT_NE(plain(caller.transcript()).find("You're not _on_ a team!"), std::string::npos);
}

TEST(KelvaneVisit, BankRefusesImproperAmounts) {
    struct Case {
        const char* what;
        int32_t gold;
        int32_t bank;
        const char* keys;  // in the bank screen
        bool refused;
        int32_t gold_after;
        int32_t bank_after;
    } cases[] = {
        {"deposit more than in hand", 100, 0, "D101\r.", true, 100, 0},
        {"deposit nothing", 100, 0, "D\r.", true, 100, 0},
        {"deposit text", 100, 0, "Dabc\r.", true, 100, 0},
        {"deposit with a bank in debt", 100, -500, "D100\r.", true, 100, -500},
        {"deposit beyond the bank's range", 1000, 2147483000, "D1\r.", true, 1000, 2147483000},
        {"withdraw more than banked", 0, 100, "W101\r.", true, 0, 100},
        {"withdraw beyond gold's range", 2147483000, 1000, "W1000\r.", true, 2147483000, 1000},
        {"deposit all", 100, 5, "D1\r", false, 0, 105},
        {"deposit some", 100, 5, "D40\r", false, 60, 45},
        {"withdraw all", 7, 100, "W1\r", false, 107, 0},
        {"withdraw some", 7, 100, "W30\r", false, 37, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game game;
        game.players({{"Ann", 3, c.gold, c.bank}});
        game.info(1, 0);
        kit::testing::ScriptedCaller caller(no_session());
        EXPECT_EQ(visit(caller, game, 1, std::string("B") + c.keys + "\rQ"), 0);
        std::string seen = plain(caller.transcript());
        EXPECT_EQ(seen.find("That's not a proper amount, you fool!") != std::string::npos, c.refused) << seen;
        EXPECT_EQ(game.player(0).gold(), c.gold_after);
        EXPECT_EQ(game.player(0).bank(), c.bank_after);
    }
}
