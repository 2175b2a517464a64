#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "common/testing/stepping_clock.hpp"
#include "host/player_file.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace host;
using common::testing::SteppingClock;
using plat::testing::TempDir;

namespace {

// count records of random bytes; record i starts with byte i so records
// are told apart.
std::string random_players(int count, unsigned seed = 7) {
    std::mt19937 gen(seed);
    std::string bytes(static_cast<size_t>(count) * kPlayerRecordSize, '\0');
    for (char& b : bytes) b = static_cast<char>(gen() & 0xFF);
    for (int i = 0; i < count; ++i) bytes[static_cast<size_t>(i) * kPlayerRecordSize] = static_cast<char>(i);
    return bytes;
}

int run_error_code(const std::function<void()>& f) {
    try {
        f();
    } catch (const plat::RunError& e) {
        return e.code;
    }
    return 0;
}

}  // namespace

TEST(PlayerFile, EveryModulesRuleWritesBackUntouchedBytesExactly) {
    struct {
        const char* module;
        std::function<PlayerRecord(const std::string&)> read;
        std::function<void(const std::string&, const PlayerRecord&)> write;
    } rules[] = {
        {"plain", [](const std::string& p) { return read_player(p, 1); },
         [](const std::string& p, const PlayerRecord& r) { write_player(p, 1, r); }},
        {"kelvane", [](const std::string& p) { return kelvane_load_players(p).at(1); },
         [](const std::string& p, const PlayerRecord& r) { kelvane_write_caller(p, 1, r); }},
        {"kelvane other", [](const std::string& p) { return kelvane_load_players(p).at(1); },
         [](const std::string& p, const PlayerRecord& r) { kelvane_write_other_player(p, 1, r); }},
        {"orvtime", [](const std::string& p) { return orvtime_read_player(p, 1); },
         [](const std::string& p, const PlayerRecord& r) { orvtime_write_player(p, 1, r); }},
        {"grumbold",
         [](const std::string& p) {
             PlayerRecord r;
             EXPECT_TRUE(grumbold_read_player(p, 1, r));
             return r;
         },
         [](const std::string& p, const PlayerRecord& r) { EXPECT_TRUE(grumbold_write_player(p, 1, r)); }},
        {"lottery",
         [](const std::string& p) {
             PlayerRecord r;
             EXPECT_TRUE(lottery_read_player(p, 1, r));
             return r;
         },
         [](const std::string& p, const PlayerRecord& r) { lottery_write_player(p, 1, r); }},
        {"runelot", [](const std::string& p) { return runelot_read_player(p, 1); },
         [](const std::string& p, const PlayerRecord& r) { runelot_write_player(p, 1, r); }},
    };
    for (const auto& rule : rules) {
        TempDir dir;
        std::string before = random_players(3);
        dir.write("PLAYER.DAT", before);
        PlayerRecord player = rule.read(dir / "player.dat");
        player.set_gold(player.gold() + 1000);
        rule.write(dir / "player.dat", player);

        std::string after = dir.read("PLAYER.DAT");
        std::string want = before;
        for (size_t i = 0; i < 4; ++i)
            want[kPlayerRecordSize + player_offset::gold + i] = static_cast<char>(player.bytes[player_offset::gold + i]);
        EXPECT_EQ(after, want) << rule.module;
        EXPECT_NE(after, before) << rule.module;
        EXPECT_FALSE(dir.exists("PLAYER.DAX")) << rule.module;
    }
}

TEST(PlayerFile, KelvaneLoadsTheRecordsPresentUpTo150) {
    TempDir dir;
    std::string path = dir / "player.dat";
    // Three whole records and a cut-off fourth.
    dir.write("player.dat", random_players(4).substr(0, 3 * kPlayerRecordSize + 100));
    std::vector<PlayerRecord> players = kelvane_load_players(path);
    ASSERT_EQ(players.size(), 3u);
    EXPECT_EQ(players[0].bytes[0], 0);
    EXPECT_EQ(players[2].bytes[0], 2);

    dir.write("player.dat", random_players(152));
    players = kelvane_load_players(path);
    ASSERT_EQ(players.size(), 150u);
    EXPECT_EQ(players[149].bytes[0], 149);
    EXPECT_FALSE(dir.exists("player.daX"));
}

TEST(PlayerFile, FailedOpensAndShortFilesAreRunTimeErrors) {
    TempDir dir;
    dir.write("player.dat", random_players(2));
    EXPECT_EQ(run_error_code([&] { read_player(dir / "player.dat", 2); }), plat::rte::read_past_end);
    EXPECT_EQ(run_error_code([&] { runelot_read_player(dir / "missing.dat", 0); }), plat::rte::file_not_found);
    // kelvane goes on after its 1000 failed opens; the write finds no file.
    std::filesystem::create_directory(dir / "dir.dat");
    EXPECT_EQ(run_error_code([&] { kelvane_write_caller(dir / "dir.dat", 0, PlayerRecord{}); }),
              plat::rte::file_not_open);
}

TEST(PlayerFile, GrumboldNeverReadsOrWritesRecordsAbove154) {
    TempDir dir;
    std::string before = random_players(156);
    dir.write("player.dat", before);
    PlayerRecord player;
    player.set_name("untouched");
    EXPECT_FALSE(grumbold_read_player(dir / "player.dat", 155, player));
    EXPECT_EQ(player.name(), "untouched");
    EXPECT_FALSE(grumbold_write_player(dir / "player.dat", 155, player));
    EXPECT_EQ(dir.read("player.dat"), before);
    EXPECT_TRUE(grumbold_read_player(dir / "player.dat", 154, player));
    EXPECT_EQ(player.bytes[0], 154);
}

TEST(PlayerFile, GrumboldRetriesEvery500MsWhileAnotherProcessHoldsTheFile) {
    TempDir dir;
    dir.write("player.dat", random_players(3));
    int held[2], release[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        plat::FileHandle exclusive;
        if (exclusive.try_open(dir / "player.dat", plat::Access::read_write, plat::Share::exclusive) != 0)
            ::_exit(1);
        char c = 1;
        (void)!::write(held[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        exclusive.close();
        (void)!::write(held[1], &c, 1);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(held[0], &c, 1), 1);

    SteppingClock clock;
    clock.on_sleep = [&](int sleeps) {
        if (sleeps != 2) return;
        char go = 1;
        ASSERT_EQ(::write(release[1], &go, 1), 1);
        ASSERT_EQ(::read(held[0], &go, 1), 1);  // the child has let go
    };
    plat::ScopedClock use(clock);
    uint64_t start = clock.tick_ms();
    PlayerRecord player;
    EXPECT_TRUE(grumbold_read_player(dir / "player.dat", 2, player));
    EXPECT_EQ(player.bytes[0], 2);
    EXPECT_EQ(clock.sleeps, 2);
    EXPECT_EQ(clock.tick_ms() - start, 1000u);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    for (int fd : {held[0], held[1], release[0], release[1]}) ::close(fd);
}

TEST(PlayerFile, GrumboldShowsItsErrorLineAndEndsWithTheCode) {
    TempDir dir;
    kit::testing::ScriptedCaller caller;
    int code = caller.run([&] {
        PlayerRecord player;
        grumbold_read_player(dir / "player.dat", 0, player);
    });
    EXPECT_EQ(code, plat::rte::file_not_found);
    EXPECT_TRUE(caller.screen_contains("  ** ERROR!  Can't open player.dat file, man. **"));
}

TEST(PlayerFile, LotterySkipsTheReadAfterFiveSecondsOfDeniedOpens) {
    TempDir dir;
    dir.write("player.dat", random_players(3));
    plat::FakeClock clock({2026, 12, 11}, 0);
    plat::ScopedClock use(clock);
    plat::FileHandle other;  // another node has the file open
    ASSERT_EQ(other.try_open(dir / "player.dat", plat::Access::read, plat::Share::deny_none), 0);

    PlayerRecord player;
    player.set_name("kept");
    uint64_t start = clock.tick_ms();
    EXPECT_FALSE(lottery_read_player(dir / "player.dat", 1, player));
    EXPECT_EQ(player.name(), "kept");
    EXPECT_GE(clock.tick_ms() - start, 5000u);
    EXPECT_LT(clock.tick_ms() - start, 5100u);

    other.close();
    EXPECT_TRUE(lottery_read_player(dir / "player.dat", 1, player));
    EXPECT_EQ(player.bytes[0], 1);
}
