#include <gtest/gtest.h>

#include <filesystem>

#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "kit/drop_files.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace kit;
using kit::testing::ScriptedCaller;
using plat::testing::TempDir;

namespace {

std::string lines(std::initializer_list<const char*> ls) {
    std::string s;
    for (const char* l : ls) s += std::string(l) + "\r\n";
    return s;
}

ScriptedCaller::Options no_session() {
    ScriptedCaller::Options o;
    o.start_session = false;
    return o;
}

// Starts a session from a command line; returns the exit code (0 and a
// started session, or the halt of a failed start).
struct Started {
    int code = -1;
    bool started = false;
    DoorSession session;
    bool remote = false;
};

Started start_with(ScriptedCaller& caller, std::vector<std::string> args) {
    Started r;
    r.code = caller.run([&] {
        door_init(args);
        door_start();
        r.started = true;
        r.session = door_session();
        r.remote = !door_is_local();
    });
    return r;
}

}  // namespace

TEST(DropFiles, Door32Sys) {
    TempDir dir;
    dir.write("door32.sys", lines({"2", "1234", "38400", "BBS", "8", "Real Name", "Alias", "30", "45", "1", "3"}));
    DoorSession s;
    ASSERT_EQ(drop_format_of(dir / "door32.sys"), DropFormat::door32_sys);
    read_door32_sys(dir / "door32.sys", s);
    EXPECT_EQ(s.comm_type, 2);
    EXPECT_EQ(s.comm_handle, 1234);
    EXPECT_EQ(s.user_record, 7);
    EXPECT_EQ(s.real_name, "Real Name");
    EXPECT_EQ(s.alias, "Alias");
    EXPECT_EQ(s.security_level, 30);
    EXPECT_EQ(s.time_allowed, 45 * 60);
    EXPECT_TRUE(s.ansi);
    EXPECT_EQ(s.node, 3);

    dir.write("DOOR32.SYS", lines({"x", "y"}));  // numbers that are not numbers
    DoorSession d;
    read_door32_sys(dir / "DOOR32.SYS", d);
    EXPECT_EQ(d.comm_type, 0);
    EXPECT_EQ(d.comm_handle, -1);
    EXPECT_EQ(d.user_record, 0);  // default 1, minus 1
}

TEST(DropFiles, DoorSys) {
    TempDir dir;
    std::vector<std::string> l(52);
    l[0] = "COM2:";
    l[3] = "4";
    l[9] = "Real Name";
    l[14] = "50";
    l[17] = "1800";
    l[19] = "gr";
    l[25] = "12";
    l[35] = "Handle";
    std::string text;
    for (auto& x : l) text += x + "\r\n";
    dir.write("DOOR.SYS", text);
    DoorSession s;
    ASSERT_EQ(drop_format_of(dir / "door.sys"), DropFormat::door_sys);
    read_door_sys(dir / "door.sys", s);
    EXPECT_EQ(s.comm_handle, 2);
    EXPECT_EQ(s.comm_type, 1);
    EXPECT_EQ(s.node, 4);
    EXPECT_EQ(s.real_name, "Real Name");
    EXPECT_EQ(s.security_level, 50);
    EXPECT_EQ(s.time_allowed, 1800);  // seconds, unchanged
    EXPECT_TRUE(s.ansi);
    EXPECT_EQ(s.user_record, 11);
    EXPECT_EQ(s.alias, "Handle");

    dir.write("DOOR.SYS", "COM0:\r\n");
    DoorSession local;
    read_door_sys(dir / "DOOR.SYS", local);
    EXPECT_EQ(local.comm_handle, 0);
    EXPECT_EQ(local.comm_type, 0);
}

TEST(DropFiles, Dorinfo) {
    TempDir dir;
    dir.write("DORINFO1.DEF", lines({"BBS", "SYS", "OP", "COM1", "38400 BAUD,N,8,1", "0", "JOHN", "", "Town", "1",
                                     "20", "15", "-1"}));
    DoorSession s;
    ASSERT_EQ(drop_format_of(dir / "dorinfo1.def"), DropFormat::dorinfo);
    read_dorinfo(dir / "dorinfo1.def", s);
    EXPECT_EQ(s.comm_handle, 1);
    EXPECT_EQ(s.comm_type, 1);
    EXPECT_EQ(s.alias, "JOHN");
    EXPECT_EQ(s.real_name, "JOHN");  // empty last name
    EXPECT_TRUE(s.ansi);
    EXPECT_EQ(s.security_level, 20);
    EXPECT_EQ(s.time_allowed, 900);
}

TEST(DropFiles, HostInfoFile) {
    struct Case {
        const char* line12;
        bool knows_local;
        int comm_type;
    } cases[] = {
        {"telnet", true, 2},  {"TELNET ", true, 1}, {"WC5", true, 3},
        {"LOCAL", true, 0},   {"LOCAL", false, 1},  {"other", true, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("INFO.3", lines({"5", "3", "", "fairy yes", "42", "`%Hero", "John", "Smith", "7", "", "", c.line12,
                                   "", "CLEAN MODE ON"}));
        DoorSession s;
        ASSERT_EQ(drop_format_of(dir / "info.3"), DropFormat::host_info);
        read_host_info(dir / "info.3", s, c.knows_local);
        EXPECT_EQ(s.comm_type, c.comm_type) << c.line12;
        EXPECT_EQ(s.user_record, 5);
        EXPECT_TRUE(s.fairy);
        EXPECT_EQ(s.time_allowed, 42 * 60);
        EXPECT_EQ(s.alias, "`%Hero");
        EXPECT_EQ(s.real_name, "John Smith");
        EXPECT_EQ(s.comm_handle, 7);
        EXPECT_TRUE(s.clean_mode);
    }
}

TEST(CommandLine, SwitchesAreScannedAsTheKitDefinesThem) {
    std::vector<std::pair<char, std::string>> unknown;
    ScriptedCaller caller(no_session());
    caller.local_keys("\r");
    caller.run([&] {
        door_init({"prog", "/debug", "-", "x", "-Zvalue", "-l", "-N7", "-N2"});
        door_hooks().on_unknown_switch = [&](char letter, const std::string& v) { unknown.emplace_back(letter, v); };
        door_start();
        EXPECT_EQ(door_session().node, 2);  // later arguments override
        EXPECT_EQ(door_session().time_allowed, 3600);
        EXPECT_EQ(door_session().real_name, "SYSOP");
        EXPECT_EQ(door_session().alias, "SYSOP");
    });
    EXPECT_EQ(unknown, (std::vector<std::pair<char, std::string>>{{'Z', "value"}}));
}

TEST(CommandLine, HandleAndNodeWithoutDropFileOpenTheChannelWithAnHour) {
    ScriptedCaller caller(no_session());
    caller.keys("k");
    Started s = start_with(caller, {"prog", "-H5", "-N3", "-T"});
    ASSERT_TRUE(s.started);
    EXPECT_TRUE(s.remote);
    EXPECT_EQ(s.session.comm_type, 2);
    EXPECT_EQ(s.session.comm_handle, 5);
    EXPECT_EQ(s.session.time_allowed, 3600);
}

TEST(CommandLine, NodeZeroIsNotEnoughAndGivesTheUsageScreen) {
    ScriptedCaller caller(no_session());
    Started s = start_with(caller, {"/bbs/doors/prog", "-h12", "-n0", "-t"});
    EXPECT_FALSE(s.started);
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(caller.screen_contains(" prog -L"));
    EXPECT_TRUE(caller.screen_contains("  -S         CALLER IS ON STDIN/STDOUT"));
    EXPECT_TRUE(caller.screen_contains(" prog -H1000 -N3 -T"));
}

TEST(StartUp, FailuresShowTheirMessageAndEndWithZero) {
    TempDir dir;
    dir.write("door32.sys", lines({"2", "9", "", "", "1", "A", "A", "0", "10", "1", "1"}));
    std::filesystem::create_directory(dir / "node7");
    dir.write("node7/door32.sys", lines({"7", "9"}));  // a comm type the kit has no channel for
    struct Case {
        std::vector<std::string> args;
        const char* message;
        bool started;
    } cases[] = {
        {{"prog", "-D" + (dir / "missing/DOOR32.SYS")}, "  Drop File Not Found", false},
        {{"prog", "-D" + (dir / "readme.txt")}, "  Drop File Not Found", false},
        {{"prog", "-D" + (dir / "node7/door32.sys")}, "  No Carrier Detected", false},
        {{"prog", "-D" + (dir / "DOOR32.SYS")}, nullptr, true},
    };
    for (const Case& c : cases) {
        ScriptedCaller caller(no_session());
        caller.keys("k");
        Started s = start_with(caller, c.args);
        EXPECT_EQ(s.started, c.started) << c.args[1];
        EXPECT_EQ(s.code, 0);
        if (c.message != nullptr) {
            EXPECT_TRUE(caller.screen_contains(c.message)) << c.args[1];
        }
    }
}

TEST(StartUp, ZeroHandleWithARemoteTypeRunsLocally) {
    TempDir dir;
    dir.write("door32.sys", lines({"2", "0", "", "", "1", "A", "A", "0", "10", "1", "1"}));
    ScriptedCaller caller(no_session());
    Started s = start_with(caller, {"prog", "-D" + (dir / "door32.sys")});
    ASSERT_TRUE(s.started);
    EXPECT_FALSE(s.remote);
}

TEST(StartUp, StartNamedGivesAnHourToAnUnnumberedHandleAndShowsTheName) {
    TempDir dir;
    dir.write("DOOR32.SYS", lines({"0", "none", "", "", "1", "A", "A", "0", "0", "1", "1"}));
    ScriptedCaller caller(no_session());
    caller.run([&] {
        door_init({"prog", "-D" + (dir / "DOOR32.SYS")});
        door_set_program_name("Kelvane");
        door_start_named();
        EXPECT_EQ(door_session().comm_handle, -1);
        EXPECT_EQ(door_session().time_allowed, 3600);
        EXPECT_EQ(door_program_name(), "Kelvane");
    });
}

TEST(StartUp, StdioSwitchUsesTheStdioChannelWhateverTheDropFileSays) {
    TempDir dir;
    dir.write("DOOR32.SYS", lines({"0", "0", "", "", "3", "Ann", "Ann", "0", "20", "1", "2"}));
    ScriptedCaller caller(no_session());
    caller.keys("k");
    Started s = start_with(caller, {"prog", "-S", "-D" + (dir / "DOOR32.SYS")});
    ASSERT_TRUE(s.started);
    EXPECT_TRUE(s.remote);
    EXPECT_EQ(s.session.user_record, 2);
    EXPECT_EQ(s.session.time_allowed, 1200);
}

TEST(ExitHook, ResetsTheColourForTheCallerAndFreesTheChannel) {
    ScriptedCaller caller;
    caller.keys("k");
    caller.run([] { door_write("bye"); });
    std::string t = caller.transcript();
    EXPECT_EQ(t.substr(t.size() - 17), "\x1b[0;37m\x1b[40m\x1b[40m");
}

TEST(ProgramDir, IsTheStartedProgramsDirectoryWithASeparator) {
    ScriptedCaller caller(no_session());
    caller.run([] {
        door_init({"/opt/doors/lottery/lottery"});
        EXPECT_EQ(door_program_dir(), "/opt/doors/lottery/");
        door_init({"C:\\DOORS\\LOTTERY.EXE"});
        EXPECT_EQ(door_program_dir(), "C:\\DOORS\\");
    });
}
