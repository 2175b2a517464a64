// The runs for the system operator: usage, CONFIG and MAINT.
#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "team/tests/game_fixture.hpp"

using namespace kelvane;
using namespace kelvane::testing;

namespace {

int run_with(kit::testing::ScriptedCaller& caller, const Game& game, std::vector<std::string> args) {
    return caller.run([&] {
        std::string prog = game.prog() + "kelvane";
        std::vector<char*> argv{prog.data()};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        kelvane_main(static_cast<int>(argv.size() - 1), argv.data());
    });
}

std::vector<std::string> listing(const Game& game) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(game.dir.path()))
        names.push_back(e.path().string() + ":" + std::to_string(e.is_regular_file() ? e.file_size() : 0));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(KelvaneOperatorRuns, NoArgumentWritesTheUsageTextOnly) {
    Game game;
    game.players({{"Ann"}});
    std::vector<std::string> before = listing(game);
    kit::testing::ScriptedCaller caller(no_session());
    EXPECT_EQ(run_with(caller, game, {}), 0);
    EXPECT_EQ(caller.screen_row(2), "    KELVANE Commandline Options");
    EXPECT_EQ(caller.screen_row(4), "    CONFIG   -  Run Kelvane Configuration");
    EXPECT_EQ(caller.screen_row(5), "    MAINT    -  Run Kelvane Maintenance");
    EXPECT_EQ(caller.transcript(), "");
    EXPECT_EQ(listing(game), before);
}

TEST(KelvaneOperatorRuns, ConfigFirstTimeInstallsThenASecondRunGoesStraightToItsMenu) {
    Game game;
    std::filesystem::remove(game.dir / "prog/kelvane.cfg");
    game.dir.write("3rdparty.dat", crlf({"/bbs/other * ", "`0Other"}));
    game.dir.write("maint.bat", crlf({"nightly"}));
    {
        kit::testing::ScriptedCaller caller(no_session());
        caller.local_keys(game.host() + "\r" + " " + "q");
        EXPECT_EQ(run_with(caller, game, {"config"}), 0);
    }
    EXPECT_EQ(plat::read_lines(game.dir / "prog/kelvane.cfg"), (std::vector<std::string>{game.host(), ""}));
    std::vector<std::string> list = plat::read_lines(game.dir / "3rdparty.dat");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2], game.prog() + "kelvane * -Dinfo.*");
    EXPECT_EQ(plat::read_lines(game.dir / "maint.bat")[1], game.prog() + "kelvane MAINT");

    std::string registry = game.dir.read("3rdparty.dat");
    kit::testing::ScriptedCaller caller(no_session());
    caller.local_keys("xQ");
    EXPECT_EQ(run_with(caller, game, {"CONFIG"}), 0);
    EXPECT_TRUE(caller.screen_contains("  (U)ninstall Kelvane"));
    EXPECT_FALSE(caller.screen_contains("DRAKMOOR path"));
    EXPECT_EQ(game.dir.read("3rdparty.dat"), registry);
}

TEST(KelvaneOperatorRuns, ConfigOnAHostListingTheModuleSaysSoAndStillWritesTheConfiguration) {
    Game game;
    std::filesystem::remove(game.dir / "prog/kelvane.cfg");
    std::string registry = crlf({"/elsewhere/KelVane 1", "`0Team Options"});
    game.dir.write("3rdparty.dat", registry);
    kit::testing::ScriptedCaller caller(no_session());
    caller.local_keys(game.host() + "\r" + " " + "q");
    EXPECT_EQ(run_with(caller, game, {"Config"}), 0);
    EXPECT_EQ(game.dir.read("3rdparty.dat"), registry);
    EXPECT_EQ(plat::read_lines(game.dir / "prog/kelvane.cfg")[0], game.host());
}

TEST(KelvaneOperatorRuns, UninstallRemovesTheEntryAndTheConfiguration) {
    Game game;
    game.dir.write("3rdparty.dat", crlf({game.prog() + "kelvane * -Dinfo.*", "`0Team Options", "x", "y"}));
    kit::testing::ScriptedCaller caller(no_session());
    caller.local_keys("u q");
    EXPECT_EQ(run_with(caller, game, {"CONFIG"}), 0);
    EXPECT_EQ(plat::read_lines(game.dir / "3rdparty.dat"), (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(game.dir.exists("prog/kelvane.cfg"));
}

TEST(KelvaneOperatorRuns, MaintTakesDeletedPlayersOffTheirTeamsAndTheNextStartPurges) {
    Game game;
    game.players({{"X"}, {"Bob"}, {"X"}, {"Ann"}});
    game.teams({make_team("Left", {0, 1}), make_team("Gone", {2}), make_team("Kept", {3})});
    kit::testing::ScriptedCaller caller(no_session());
    EXPECT_EQ(run_with(caller, game, {"maint"}), 0);
    std::vector<TeamRecord> teams = game.teams();
    ASSERT_EQ(teams.size(), 3u);
    EXPECT_FALSE(teams[0].is_member(0));
    EXPECT_TRUE(teams[0].is_member(1));
    EXPECT_FALSE(teams[1].has_members());
    EXPECT_TRUE(teams[2].is_member(3));

    KelvaneState s = game.state(1, 3);
    teams = game.teams();
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(teams[1].name, "Kept");
    EXPECT_EQ(s.team_no, 1);
}

TEST(KelvaneOperatorRuns, MaintWithoutConfigurationSaysSo) {
    Game game;
    std::filesystem::remove(game.dir / "prog/kelvane.cfg");
    kit::testing::ScriptedCaller caller(no_session());
    EXPECT_EQ(run_with(caller, game, {"MAINT"}), 0);
    EXPECT_TRUE(caller.screen_contains("KELVANE.CFG does not exist!"));
}
