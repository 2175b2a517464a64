// The sample game: what init lays out, when it refuses, and the day counter.
#include <gtest/gtest.h>

#include <string>

#include "host/player_record.hpp"
#include "platform/directories.hpp"
#include "platform/files.hpp"
#include "platform/testing/temp_dir.hpp"
#include "tools/sandbox/launcher.hpp"
#include "tools/sandbox/lobby.hpp"
#include "tools/sandbox/sample_game.hpp"

namespace sandbox {
namespace {

TEST(SampleGame, InitLaysOutHostFilesAndEveryProgramFolder) {
    plat::testing::TempDir tmp;
    std::string message;
    ASSERT_EQ(init_game(tmp / "game", "/opt/drakmoor/bin/", false, message), InitResult::created) << message;
    const std::string game = tmp / "game/";

    std::vector<host::PlayerRecord> players = read_players(game);
    ASSERT_EQ(players.size(), 9u);
    EXPECT_TRUE(players[4].is_empty_slot());
    int dead = 0, female = 0;
    for (const host::PlayerRecord& p : players) {
        dead += p.dead() == host::kDeadKilled;
        female += p.sex() == host::kSexFemale;
    }
    EXPECT_EQ(dead, 1);
    EXPECT_EQ(female, 4);

    EXPECT_EQ(plat::read_lines(game + "time.dat"), std::vector<std::string>{"1"});
    for (const char* program : kPrograms)
        EXPECT_EQ(plat::read_symlink(game + "doors/" + program + "/" + program),
                  std::string("/opt/drakmoor/bin/") + program);
    EXPECT_EQ(plat::read_symlink(game + "doors/grumbold/player.dat"), "../../player.dat");

    std::vector<RegistryEntry> entries = read_registry(game);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].command, game + "doors/kelvane/kelvane * -Dinfo.*");
    EXPECT_EQ(entries[2].command, game + "doors/runelot/runelot -D" + game + "info.*");
    EXPECT_EQ(entries[5].command, "/opt/drakmoor/bin/doortest -Dinfo.*");
    EXPECT_EQ(plat::read_lines(game + "maint.bat"),
              std::vector<std::string>{game + "doors/kelvane/kelvane MAINT"});
}

TEST(SampleGame, InitRefusesAnExistingGameUnlessForcedAndNeverTouchesOtherFiles) {
    plat::testing::TempDir tmp;
    std::string message;
    const std::string game = tmp / "game/";
    ASSERT_EQ(init_game(game, "/bin/", false, message), InitResult::created);
    plat::rewrite_lines(game + "time.dat", {"7"});
    plat::rewrite_lines(game + "mail3.dat", {"`.hello"});

    EXPECT_EQ(init_game(game, "/bin/", false, message), InitResult::exists);
    EXPECT_EQ(plat::read_lines(game + "time.dat"), std::vector<std::string>{"7"});

    EXPECT_EQ(init_game(game, "/bin/", true, message), InitResult::created);
    EXPECT_EQ(plat::read_lines(game + "time.dat"), std::vector<std::string>{"1"});
    EXPECT_FALSE(plat::file_exists(game + "mail3.dat"));  // a fresh game

    plat::make_directories(tmp / "notes");
    tmp.write("notes/todo.txt", "keep me");
    EXPECT_EQ(init_game(tmp / "notes", "/bin/", true, message), InitResult::not_a_game);
    EXPECT_TRUE(plat::file_exists(tmp / "notes/todo.txt"));
}

TEST(SampleGame, DayAdvancesTheCounterAndKeepsTheRestOfTheFile) {
    plat::testing::TempDir tmp;
    std::string message;
    EXPECT_FALSE(advance_day(tmp.path(), message));
    plat::rewrite_lines(tmp / "time.dat", {"41", "host notes"});
    EXPECT_TRUE(advance_day(tmp.path(), message));
    EXPECT_EQ(plat::read_lines(tmp / "time.dat"), (std::vector<std::string>{"42", "host notes"}));
}

TEST(Launcher, CommandLineAndInfoFileAsTheHostWritesThem) {
    EXPECT_EQ(command_args("/g/doors/kelvane/kelvane  * -Dinfo.*", 3, "/g/"),
              (std::vector<std::string>{"/g/doors/kelvane/kelvane", "3", "-Dinfo.3"}));
    host::PlayerRecord p;
    p.set_name("Aldric the Bold");
    EXPECT_EQ(info_lines(7, p, 12),
              (std::vector<std::string>{"7", "3", "", "FAIRY NO", "60", "Aldric the Bold", "Aldric", "the Bold", "12",
                                        "", "", "TELNET", "", "CLEAN MODE OFF"}));
}

}  // namespace
}  // namespace sandbox
