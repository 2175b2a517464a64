// The team module's files shared between nodes: the daily reset, purging
// and deleting teams while other nodes hold team numbers, the notices, and
// what the exit routine writes back.
#include <gtest/gtest.h>

#include "common/lock_file.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "team/tests/game_fixture.hpp"

using namespace kelvane;
using namespace kelvane::testing;

namespace {

TeamUpdate notice(const Game& game, const std::string& name) {
    std::string bytes = game.dir.read(name);
    std::array<uint8_t, kTeamUpdateSize> b{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kTeamUpdateSize), b.begin());
    return decode_update(b);
}

}  // namespace

TEST(KelvaneLimits, FollowsTheLevelRuleAndIsCappedAboveLevel13) {
    struct {
        int level;
        int32_t limit;
    } cases[] = {{0, 300},           {1, 100},           {2, 3000},          {3, 1000},
                 {4, 30000},         {5, 10000},         {6, 300000},        {7, 100000},
                 {8, 3000000},       {9, 1000000},       {10, 30000000},     {11, 10000000},
                 {12, 300000000},    {13, 100000000},    {14, 2000000000},   {15, 1000000000},
                 {16, 2000000000},   {32767, 2000000000}, {-1, 100},         {-7, 0}};
    for (const auto& c : cases) EXPECT_EQ(BaseLimit(c.level), c.limit) << "level " << c.level;
}

TEST(KelvaneLimits, DayKeyIsYearPlusMonthPlusDay) {
    EXPECT_EQ(DayKey({2005, 3, 13, 0}), "2021");
    EXPECT_EQ(DayKey({2005, 12, 31, 0}), "2048");
    EXPECT_EQ(DayKey({2005, 1, 1, 0}), "2007");
    EXPECT_EQ(DayKey({2005, 3, 13, 0}), DayKey({2005, 4, 12, 0}));
}

TEST(KelvaneFiles, DailyResetRunsOncePerDayKeyForEveryPlayer) {
    Game game;
    game.players({{"Ann", 3}, {"", 0}, {"Max", 14}});
    plat::FakeClock clock({2026, 12, 11, 5}, 0);
    plat::ScopedClock use(clock);

    KelvaneState s = game.state(1, 0);
    EXPECT_EQ(game.dir.read("kvtime.dat"), "2049\r\n");
    DrawTable d = game.draw();
    EXPECT_EQ(d.withdraw_left[0], 1000);
    EXPECT_EQ(d.withdraw_left[1], 300);         // level 0
    EXPECT_EQ(d.withdraw_left[2], 2000000000);  // capped
    EXPECT_EQ(d.withdraw_left[149], 300);       // no record: level 0
    EXPECT_EQ(d.invasions_left[77], 1);
    EXPECT_EQ(d.party_points[77], 100);

    // A second start on the same day keeps what was drawn.
    d.withdraw_left[0] = 5;
    d.withdraw_left[2] = 6;  // a player who is not in the module
    auto bytes = encode_draw(d);
    game.dir.write("teamdraw.dat", std::string(bytes.begin(), bytes.end()));
    s = game.state(1, 0);
    EXPECT_EQ(s.draw.withdraw_left[0], 5);

    // A new day resets everyone, offline players too.
    clock.set({2026, 12, 12, 6}, 0);
    s = game.state(1, 0);
    EXPECT_EQ(game.dir.read("kvtime.dat"), "2050\r\n");
    EXPECT_EQ(game.draw().withdraw_left[0], 1000);
    EXPECT_EQ(game.draw().withdraw_left[2], 2000000000);

    // A damaged table is rebuilt rather than read short.
    game.dir.write("teamdraw.dat", "short");
    s = game.state(1, 0);
    EXPECT_EQ(s.draw.withdraw_left[0], 1000);
}

TEST(KelvaneFiles, PurgeAndDeleteKeepEveryNodesTeamNumberRight) {
    Game game;
    game.players({{"Ann"}, {"Bob"}, {"Cid"}, {"Dee"}});
    game.teams({make_team("Gone", {0}), make_team("Alpha", {1}), make_team("Beta", {2, 3}, 2, 100)});

    // Node 2 is in the module: Beta is its team number 2.
    KelvaneState s2 = game.state(2, 2);
    ASSERT_EQ(s2.team_no, 2);

    // The first team loses its last member (as the nightly run does it).
    game.teams({make_team("Gone", {}), make_team("Alpha", {1}), make_team("Beta", {2, 3}, 2, 100)});

    // Node 1 starts: the empty team goes before its own team is looked up.
    KelvaneState s1 = game.state(1, 1);
    EXPECT_EQ(s1.team_no, 0);
    ASSERT_EQ(game.teams().size(), 2u);

    // Node 2's deposit reaches Beta where it is now, not record 2.
    EXPECT_EQ(MoveTreasury(s2, kUpdateDeposit, 50), 50);
    EXPECT_EQ(s2.team_no, 1);
    EXPECT_EQ(game.teams()[1].treasury, 150);
    EXPECT_EQ(game.teams()[0].treasury, 0);

    // Node 3 enters; then Alpha's last member leaves and Alpha is deleted.
    KelvaneState s3 = game.state(3, 3);
    EXPECT_EQ(s3.team_no, 1);
    {
        common::FileLock lock(s1.team_file(), true);
        DeleteTeam(s1, 0);
    }
    ASSERT_EQ(game.teams().size(), 1u);
    EXPECT_EQ(game.teams()[0].name, "Beta");

    // Both Beta nodes follow the renumbering: node 2's withdrawal is
    // written to record 0, and node 3 applies its notice.
    EXPECT_EQ(MoveTreasury(s2, kUpdateWithdrawal, 30), 30);
    EXPECT_EQ(s2.team_no, 0);
    ApplyUpdates(s3);
    EXPECT_EQ(s3.team_no, 0);
    EXPECT_EQ(s3.team.treasury, 120);
    EXPECT_EQ(game.teams()[0].treasury, 120);

    // A withdrawal larger than the safe in the file holds moves nothing.
    EXPECT_EQ(MoveTreasury(s2, kUpdateWithdrawal, 121), 0);
    EXPECT_EQ(game.teams()[0].treasury, 120);

    // The last team deleted takes the team file with it.
    {
        common::FileLock lock(s1.team_file(), true);
        DeleteTeam(s1, 0);
    }
    EXPECT_FALSE(game.dir.exists("prog/teamfile.dat"));
}

TEST(KelvaneFiles, NoticesAreAppliedOncePerNodeAndMarkedSeen) {
    Game game;
    game.players({{"P0"}, {"P1"}, {"P2"}, {"Poster"}, {"P4"}, {"Mate"}, {"Other"}});
    game.teams({make_team("Blue", {6}), make_team("Red", {3, 5}, 3, 1000)});
    KelvaneState s3 = game.state(3, 3);
    KelvaneState s5 = game.state(5, 5);
    KelvaneState s6 = game.state(6, 6);

    PostUpdate(s3, kUpdateDeposit, 40);
    PostUpdate(s3, kUpdateJoined, 0);  // as if player 3 joined: a member flag
    ASSERT_TRUE(game.dir.exists("tup1.3"));
    ASSERT_TRUE(game.dir.exists("tup2.3"));
    EXPECT_EQ(notice(game, "tup1.3").seen[3], 1);

    for (int pass = 0; pass < 3; ++pass) ApplyUpdates(s5);
    EXPECT_EQ(s5.team.treasury, 1040);
    EXPECT_EQ(notice(game, "tup1.3").seen[5], 1);

    // A node on another team marks the notices without taking them.
    TeamRecord blue = s6.team;
    ApplyUpdates(s6);
    EXPECT_EQ(s6.team.treasury, blue.treasury);
    EXPECT_EQ(s6.team.members, blue.members);
    EXPECT_EQ(notice(game, "tup1.3").seen[6], 1);
    EXPECT_EQ(notice(game, "tup1.3").seen[5], 1);

    // Node 3 leaves: its own notices go, node 5's stay.
    PostUpdate(s5, kUpdateWithdrawal, 1);
    game.info(3, 3);
    kit::testing::ScriptedCaller caller;
    caller.run([&] { SaveOnExit(s3); });
    EXPECT_FALSE(game.dir.exists("tup1.3"));
    EXPECT_FALSE(game.dir.exists("tup2.3"));
    EXPECT_TRUE(game.dir.exists("tup1.5"));
}

TEST(KelvaneFiles, ExitWritesTheCallersRecordsOnlyAndKeepsTheFilesTreasury) {
    Game game;
    game.players({{"Ann", 2, 10}, {"Bob", 2, 20}});
    game.teams({make_team("Crew", {0, 1}, 0, 500)});
    game.info(1, 0, "Ann", 42);
    KelvaneState s = game.state(1, 0);

    // Meanwhile another node changed its own caller's allowance, and a team
    // mate's deposit reached the team file.
    DrawTable d = game.draw();
    d.withdraw_left[1] = 17;
    auto bytes = encode_draw(d);
    game.dir.write("teamdraw.dat", std::string(bytes.begin(), bytes.end()));
    std::vector<TeamRecord> teams = game.teams();
    teams[0].treasury = 800;
    game.teams(teams);

    s.caller().set_gold(11);
    s.team.password = "newpw";
    s.team.treasury = 123;  // this copy never saw the deposit
    s.draw.withdraw_left[0] = 7;
    s.draw.withdraw_left[1] = 99;  // not the caller's: never written
    s.info_loaded = true;

    kit::testing::ScriptedCaller caller;
    caller.run([&] { SaveOnExit(s); });
    EXPECT_EQ(game.player(0).gold(), 11);
    EXPECT_EQ(game.player(1).gold(), 20);
    EXPECT_EQ(game.teams()[0].password, "newpw");
    EXPECT_EQ(game.teams()[0].treasury, 800);
    EXPECT_EQ(game.draw().withdraw_left[0], 7);
    EXPECT_EQ(game.draw().withdraw_left[1], 17);
    std::vector<std::string> info = plat::read_lines(game.dir / "info.1");
    ASSERT_EQ(info.size(), 14u);
    EXPECT_EQ(info[4], "60");  // the scripted session's hour, in minutes
}

TEST(KelvaneFiles, DamagedTeamAndNoticeFilesAreSurvived) {
    Game game;
    game.players({{"Ann"}, {"Bob"}});
    game.teams({make_team("Crew", {0, 1}, 0, 10)});
    // A half-written record after the last team, a notice cut short and a
    // notice of a player number no record has.
    game.dir.write("prog/teamfile.dat", game.dir.read("prog/teamfile.dat") + std::string(100, '\x01'));
    game.dir.write("tup1.7", "\x03\x01");
    TeamUpdate odd;
    odd.kind = kUpdateJoined;
    odd.player = 200;
    auto bytes = encode_update(odd);
    game.dir.write("tup2.7", std::string(bytes.begin(), bytes.end()));

    KelvaneState s = game.state(1, 1);
    ASSERT_TRUE(s.on_team);
    EXPECT_EQ(s.team_no, 0);
    ApplyUpdates(s);
    EXPECT_EQ(s.team.member_count(), 2);
    EXPECT_EQ(notice(game, "tup2.7").seen[1], 1);
    EXPECT_EQ(MoveTreasury(s, kUpdateDeposit, 5), 5);
    EXPECT_EQ(game.teams()[0].treasury, 15);
}
