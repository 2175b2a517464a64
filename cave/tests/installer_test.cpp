#include <gtest/gtest.h>

#include "cave_fixture.hpp"

using namespace cave;
using cave::testing::CaveGame;
using cave::testing::crlf_lines;

namespace {

struct CaveInstaller : ::testing::Test {
    CaveInstaller() {
        std::filesystem::create_directory(game.dir / "host");
        host_dir = game.dir / "host/";
    }
    CaveGame game;
    std::string host_dir;
};

}  // namespace

TEST_F(CaveInstaller, UninstallRemovesTheEntryAndTheDataFile) {
    CaveConfig known;
    known.host_path = host_dir;
    known.played[4] = 1;
    game.write_config(known);

    game.caller.local_keys("x" "u" "x" "Q");
    EXPECT_EQ(game.run_program({"config"}), 0);
    EXPECT_TRUE(game.dir.exists("host/3rdparty.dat"));
    EXPECT_EQ(game.dir.read("host/3rdparty.dat"), "");
    EXPECT_FALSE(game.dir.exists("door/orvtime.dat"));
    EXPECT_TRUE(game.caller.screen_contains("(U)ninstall OrvTime\n(Q)uit CONFIG"));
}

TEST_F(CaveInstaller, InstallingIntoAHostWithoutAListCreatesItWithExactlyTheEntry) {
    CaveConfig known;
    known.host_path = host_dir;
    known.played[4] = 1;
    game.write_config(known);

    game.caller.local_keys("x" "Q");
    game.run_program({"CONFIG"});
    EXPECT_EQ(game.dir.read("host/3rdparty.dat"),
              crlf_lines({game.dir / "door/orvtime * -Dinfo.*", "`%Orvald`2's Timer"}));
    CaveConfig after = game.config();
    EXPECT_EQ(after.host_path, host_dir);
    EXPECT_EQ(after.played[4], 0);  // a fresh install clears the day's flags
}

TEST_F(CaveInstaller, AsksForTheHostDirectoryUntilItHoldsTheList) {
    game.dir.write("host/3rdparty.dat", crlf_lines({"/bbs/other * -Dinfo.*", "`0Other"}));
    std::string typed = game.dir / "host";  // no final separator
    game.caller.local_keys(game.dir / "nowhere" + "\r" + typed + "\r" + "x" + "\xff");
    EXPECT_EQ(game.run_program({"Config"}), 0);
    EXPECT_EQ(game.dir.read("host/3rdparty.dat"),
              crlf_lines({"/bbs/other * -Dinfo.*", "`0Other", game.dir / "door/orvtime * -Dinfo.*",
                          "`%Orvald`2's Timer"}));
    EXPECT_EQ(game.config().host_path, host_dir);
}
