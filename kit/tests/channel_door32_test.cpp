// The native-door path through the stand-in DOOR32.DLL and WCSRV.DLL built
// beside the tests: channel, bytes both ways, offline, the caller's data,
// and what happens without the libraries.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "kit/door32_channel.hpp"
#include "kit/native_door_login.hpp"
#include "kit/tests/standin/peer.hpp"
#include "platform/dynlib.hpp"
#include "platform/socket.hpp"
#include "platform/testing/temp_dir.hpp"

namespace kit {
namespace {

using peer::bytes_of;
using peer::carrier_lost_within;
using peer::read_keys;

const std::vector<std::string> kStandin = {KIT_STANDIN_DIR};

class Door32Test : public ::testing::Test {
protected:
    void SetUp() override {
        int a = -1, b = -1;
        ASSERT_TRUE(plat::socket_pair(a, b));
        door_ = a;
        caller_ = b;
        setenv("DRAKMOOR_DOOR32_FD", std::to_string(door_).c_str(), 1);
        // Keeps the stand-in loaded between channels, to read its counter.
        ASSERT_TRUE(standin_.open(std::string(KIT_STANDIN_DIR) + "/DOOR32.DLL"));
        shutdowns_ = reinterpret_cast<int (*)()>(standin_.symbol("StandinShutdowns"));
        ASSERT_NE(shutdowns_, nullptr);
    }
    void TearDown() override {
        unsetenv("DRAKMOOR_DOOR32_FD");
        plat::close_fd(door_);
        plat::close_fd(caller_);
    }

    int door_ = -1;
    int caller_ = -1;
    plat::DynLib standin_;
    int (*shutdowns_)() = nullptr;
};

TEST_F(Door32Test, CarriesBytesBothWaysAndSeesTheCallerGo) {
    const int before = shutdowns_();
    {
        Door32Channel ch(kStandin);
        ASSERT_FALSE(ch.failed) << ch.error_text;
        ASSERT_TRUE(ch.open_handle(1));
        EXPECT_TRUE(ch.carrier());
        EXPECT_EQ(ch.handle(), 1);
        // The library moves bytes as they are: no telnet escaping here.
        peer::write_all(caller_, "key\xFF");
        EXPECT_EQ(read_keys(ch, 4), "key\xFF");
        int queued = 0;
        ch.send_buffer(bytes_of("shown\xFF"), 6, queued);
        EXPECT_EQ(peer::read_for(caller_, 6), "shown\xFF");

        const auto start = peer::Clock::now();
        plat::close_fd(caller_);
        caller_ = -1;
        EXPECT_TRUE(carrier_lost_within(ch, 1000));
        EXPECT_LT(peer::ms_since(start), 1000);
        EXPECT_EQ(shutdowns_(), before);
    }
    EXPECT_EQ(shutdowns_(), before + 1);
}

TEST_F(Door32Test, LibraryThatDoesNotInitialiseFailsTheChannel) {
    unsetenv("DRAKMOOR_DOOR32_FD");
    const int before = shutdowns_();
    {
        Door32Channel ch(kStandin);
        EXPECT_TRUE(ch.failed);
        EXPECT_FALSE(ch.open_handle(1));
        EXPECT_FALSE(ch.carrier());
    }
    EXPECT_EQ(shutdowns_(), before);  // DoorShutdown only after a good DoorInitialize
}

TEST_F(Door32Test, LibraryIsLookedForInEachDirectoryIgnoringCase) {
    plat::testing::TempDir empty, lower;
    std::filesystem::copy_file(std::string(KIT_STANDIN_DIR) + "/DOOR32.DLL", lower / "door32.dll");
    Door32Channel ch({empty.path(), lower.path()});
    ASSERT_FALSE(ch.failed) << ch.error_text;
    ASSERT_TRUE(ch.open_handle(1));
    peer::write_all(caller_, "z");
    EXPECT_EQ(read_keys(ch, 1), "z");
}

TEST(Door32Channel, WithoutTheLibraryTheChannelIsFailed) {
    plat::testing::TempDir empty;
    Door32Channel ch({empty.path()});
    EXPECT_TRUE(ch.failed);
    EXPECT_FALSE(ch.open_handle(1));
    EXPECT_FALSE(ch.carrier());
    EXPECT_FALSE(ch.error_text.empty());
}

// ---- the caller's data from WCSRV.DLL ----

class NativeLoginTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* v : {"DRAKMOOR_WCSRV_RESULT", "DRAKMOOR_WCSRV_NAME", "DRAKMOOR_WCSRV_MINUTES",
                              "DRAKMOOR_WCSRV_TERM", "DRAKMOOR_WCSRV_NODE"})
            unsetenv(v);
    }
    static void caller(const char* name, int minutes, int term, int node, int result = 1) {
        setenv("DRAKMOOR_WCSRV_NAME", name, 1);
        setenv("DRAKMOOR_WCSRV_MINUTES", std::to_string(minutes).c_str(), 1);
        setenv("DRAKMOOR_WCSRV_TERM", std::to_string(term).c_str(), 1);
        setenv("DRAKMOOR_WCSRV_NODE", std::to_string(node).c_str(), 1);
        setenv("DRAKMOOR_WCSRV_RESULT", std::to_string(result).c_str(), 1);
    }
};

TEST_F(NativeLoginTest, FillsTheSessionFromTheUserRecord) {
    struct Case {
        const char* name;
        int minutes, term, node;
        std::string real_name, alias;
        int32_t time_allowed;
        bool ansi;
    };
    const std::string long_name(80, 'N');
    const Case cases[] = {
        {"Ada Q Lovelace", 45, 0, 7, "Ada Q Lovelace", "Ada", 2700, true},
        {"Merlin", 1, 1, 2, "Merlin", "Merlin", 60, false},
        {long_name.c_str(), 0, 2, 1, std::string(71, 'N'), std::string(71, 'N'), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        caller(c.name, c.minutes, c.term, c.node);
        DoorSession s;
        ASSERT_TRUE(native_door_login(s, kStandin));
        EXPECT_EQ(s.real_name, c.real_name);
        EXPECT_EQ(s.alias, c.alias);
        EXPECT_EQ(s.time_allowed, c.time_allowed);
        EXPECT_EQ(s.ansi, c.ansi);
        EXPECT_EQ(s.node, c.node);
    }
}

TEST_F(NativeLoginTest, NoCallerOrNoLibraryFailsAndLeavesTheSession) {
    caller("Somebody Else", 30, 0, 4, 0);
    DoorSession s;
    s.real_name = "before";
    EXPECT_FALSE(native_door_login(s, kStandin));
    EXPECT_EQ(s.real_name, "before");
    EXPECT_EQ(s.node, 0);

    caller("Somebody Else", 30, 0, 4, 1);
    plat::testing::TempDir empty;
    EXPECT_FALSE(native_door_login(s, {empty.path()}));
    EXPECT_EQ(s.real_name, "before");
}

}  // namespace
}  // namespace kit
