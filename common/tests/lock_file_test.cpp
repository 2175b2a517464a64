#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "common/lock_file.hpp"
#include "common/testing/stepping_clock.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"
#include "platform/val.hpp"

using namespace common;
using common::testing::SteppingClock;
using plat::testing::TempDir;

TEST(LockFile, IsNamedAfterTheGuardedFileOnDiskAndUnlockDeletesIt) {
    TempDir dir;
    dir.write("PLAYER.DAT", "");
    EXPECT_EQ(lock_file_name(dir / "player.dat"), dir / "PLAYER.DAX");
    EXPECT_EQ(lock_file_name(dir / "mail7.dat"), dir / "mail7.daX");  // not there yet: as written

    lock_file(dir / "player.dat", true);
    EXPECT_TRUE(dir.exists("PLAYER.DAX"));
    EXPECT_EQ(dir.read("PLAYER.DAX"), "");
    unlock_file(dir / "Player.Dat");
    EXPECT_FALSE(dir.exists("PLAYER.DAX"));

    {
        FileLock lock(dir / "mail7.dat", false);
        EXPECT_TRUE(dir.exists("mail7.daX"));
    }
    EXPECT_FALSE(dir.exists("mail7.daX"));
}

TEST(LockFile, AStaleLockIsBrokenAfterNineWaits) {
    TempDir dir;
    dir.write("player.dat", "");
    dir.write("player.daX", "");  // left behind by a node that died
    SteppingClock clock;
    plat::ScopedClock use(clock);
    uint64_t before = clock.tick_ms();
    lock_file(dir / "player.dat", true);
    EXPECT_EQ(clock.sleeps, 9);
    EXPECT_EQ(clock.tick_ms() - before, 450u);
    EXPECT_TRUE(dir.exists("player.daX"));
    unlock_file(dir / "player.dat");
}

TEST(LockFile, AWaiterTakesTheLockAsSoonAsItsOwnerReleasesIt) {
    TempDir dir;
    dir.write("player.daX", "");
    SteppingClock clock;
    clock.on_sleep = [&](int sleeps) {
        if (sleeps == 3) std::filesystem::remove(dir / "player.daX");
    };
    plat::ScopedClock use(clock);
    lock_file(dir / "player.dat", false);
    EXPECT_EQ(clock.sleeps, 3);
    unlock_file(dir / "player.dat");
}

TEST(LockFile, ALiveOwnersLockIsNeverBrokenHoweverLongItIsHeld) {
    TempDir dir;
    std::string guarded = dir / "teamfile.dat";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        lock_file(guarded, false);
        char one = 1;
        (void)!::write(ready[1], &one, 1);
        ::usleep(700 * 1000);  // longer than the nine waits
        plat::TextWriter marker;
        marker.create(dir / "released");
        marker.close();
        unlock_file(guarded);
        ::_exit(0);
    }
    char got = 0;
    ASSERT_EQ(::read(ready[0], &got, 1), 1);
    lock_file(guarded, false);  // real clock: about 700 ms of waits
    EXPECT_TRUE(dir.exists("released"));
    unlock_file(guarded);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(LockFile, TwoProcessesCountingUnderOneLockLoseNoIncrement) {
    TempDir dir;
    std::string counter = dir / "counter.dat";
    dir.write("counter.dat", "0");
    constexpr int kRounds = 200;
    auto count = [&] {
        for (int i = 0; i < kRounds; ++i) {
            lock_file(counter, true);
            int n = plat::val_or(*plat::read_file(counter), -1000000);
            plat::rewrite_file(counter, std::to_string(n + 1));
            unlock_file(counter);
        }
    };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            count();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    count();
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dir.read("counter.dat"), std::to_string(2 * kRounds));
}

TEST(LockFile, AMissingFileThatMustExistEndsTheProgramAndRestartsErrorLog) {
    TempDir dir;
    dir.enter();
    dir.write("ERROR.LOG", "earlier entries\r\n");
    kit::testing::ScriptedCaller caller({.start_session = false});
    int code = caller.run([] {
        lock_file("player.dat", true);
        plat::TextWriter never;
        never.create("reached");
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(dir.exists("reached"));
    EXPECT_FALSE(dir.exists("player.daX"));
    EXPECT_TRUE(caller.screen_contains("player.dat does not exist!"));
    EXPECT_EQ(dir.read("ERROR.LOG"), "player.dat Did Not Exist!\r\n");
}
