// The install dialogue at the local console: the host directory, install
// and uninstall against a module list with several entries.
#include <gtest/gtest.h>

#include "kit/testing/scripted_caller.hpp"
#include "tribute/tests/lotto_game.hpp"

using kit::testing::ScriptedCaller;
using runelot::testing::LottoGame;

namespace {

// Entries of other programs, in a game whose path holds the module's name.
constexpr char kOthers[] =
    "/bbs/runelot-world/doors/kelvane/kelvane * -Dinfo.*\r\n`0Team Options\r\n"
    "/bbs/runelot-world/doors/orvtime/orvtime * -Dinfo.*\r\n`%Orvald`2's Timer\r\n";

// The game with runelot not installed yet and a module list of two others.
struct Fixture {
    LottoGame game;
    Fixture() {
        std::filesystem::remove(game.dir / "doors/runelot/runelot.dat");
        std::filesystem::remove(game.dir / "doors/runelot/runeplay.dat");
        game.dir.write("3rdparty.dat", kOthers);
    }
    int config(ScriptedCaller& caller, const char* first_arg = "config") {
        return LottoGame::run(caller, {game.program_dir() + "runelot", first_arg});
    }
};

}  // namespace

TEST(RunelotConfig, InstallAppendsTheEntryAndCreatesTheFiles) {
    Fixture f;
    std::string host = f.game.dir.path();  // typed without a final separator
    ScriptedCaller caller(LottoGame::no_session());
    caller.local_keys("/no/such/place\r" + host + "\ry");
    EXPECT_EQ(f.config(caller, "CoNfIg"), 0);
    std::string screen = caller.screen_text();
    size_t no_good = screen.find("No good!");
    size_t verified = screen.find("Verified!");
    ASSERT_NE(no_good, std::string::npos);
    ASSERT_NE(verified, std::string::npos);
    EXPECT_LT(no_good, verified);
    EXPECT_TRUE(caller.screen_contains("Enter the path to Drakmoor:"));
    EXPECT_TRUE(caller.screen_contains("Install Edric's Lotto? (Y/N) [Y] Y"));
    EXPECT_TRUE(caller.screen_contains("Done!"));

    EXPECT_EQ(f.game.dir.read("3rdparty.dat"), std::string(kOthers) + f.game.program_dir() + "runelot -D" + host +
                                                   "/info.*\r\n`0Edric's Tribute Lotto\r\n");
    EXPECT_EQ(f.game.config(), host + "/\r\n-1\r\n");
    EXPECT_EQ(f.game.flags(), std::string(150, '\0'));
}

TEST(RunelotConfig, UninstallRemovesEveryEntryOfTheModuleAndItsFiles) {
    Fixture f;
    f.game.write_config("5");
    f.game.dir.write("doors/runelot/runeplay.dat", std::string(150, '\1'));
    std::string host = f.game.host_dir();
    f.game.dir.write("3rdparty.dat",
                     "/bbs/runelot-world/doors/kelvane/kelvane * -Dinfo.*\r\n`0Team Options\r\n" +
                         f.game.program_dir() + "runelot -D" + host + "info.*\r\n"
                         "`0Edric's Tribute Lotto\r\n"
                         "/bbs/runelot-world/doors/orvtime/orvtime * -Dinfo.*\r\n`%Orvald`2's Timer\r\n"
                         "C:\\OLD\\RuneLot.Exe -DC:\\DRAKMOOR\\info.*\r\n"
                         "`0Edric's Tribute Lotto");  // last line without its end
    ScriptedCaller caller(LottoGame::no_session());
    caller.local_keys(host + "\r\r");  // Enter answers "Y"
    EXPECT_EQ(f.config(caller), 0);
    EXPECT_TRUE(caller.screen_contains("Uninstall Edric's Lotto? (Y/N) [Y] Y"));
    EXPECT_TRUE(caller.screen_contains("Done!"));
    EXPECT_EQ(f.game.dir.read("3rdparty.dat"), kOthers);
    EXPECT_FALSE(f.game.dir.exists("doors/runelot/runelot.dat"));
    EXPECT_FALSE(f.game.dir.exists("doors/runelot/runeplay.dat"));
    EXPECT_FALSE(f.game.dir.exists("igmtemp.dat"));
}

TEST(RunelotConfig, NoAndAnEmptyPathChangeNothing) {
    struct Case {
        std::string keys;
        const char* shown;
    } cases[] = {
        {"\r", "Exiting.."},
        {"%HOST%\rn", "Install Edric's Lotto? (Y/N) [Y] N"},
    };
    for (Case& c : cases) {
        Fixture f;
        if (size_t at = c.keys.find("%HOST%"); at != std::string::npos) c.keys.replace(at, 6, f.game.host_dir());
        auto files = f.game.snapshot();
        ScriptedCaller caller(LottoGame::no_session());
        caller.local_keys(c.keys);
        EXPECT_EQ(f.config(caller), 0);
        EXPECT_TRUE(caller.screen_contains(c.shown)) << caller.screen_text();
        EXPECT_FALSE(caller.screen_contains("Done!"));
        EXPECT_EQ(f.game.snapshot(), files);
    }
}

TEST(RunelotConfig, InstalledGameCanBePlayedRightAway) {
    Fixture f;
    int me = f.game.add_player(3, 100);
    ScriptedCaller install(LottoGame::no_session());
    install.local_keys(f.game.host_dir() + "\ry");
    ASSERT_EQ(f.config(install), 0);

    ScriptedCaller caller(LottoGame::no_session());
    caller.keys("n ");
    EXPECT_EQ(f.game.play(caller, me), 0);
    EXPECT_TRUE(caller.screen_contains("Try it out?"));
    EXPECT_EQ(f.game.config(), f.game.host_dir() + "\r\n1\r\n");  // the first run reset the day
}
