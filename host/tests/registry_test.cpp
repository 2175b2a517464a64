#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/registry.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace host;
using plat::testing::TempDir;

namespace {

const ModuleProgram kKelvane{"/bbs/doors/kv/", "kelvane"};
const ModuleProgram kOrvtime{"/bbs/doors/orv/", "orvtime"};
const ModuleProgram kRunelot{"/bbs/doors/rl/", "runelot"};

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

// A host directory with a module list, and a console run in it.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { dir.enter(); }
    std::string host() const { return dir.path() + "/"; }
    int run(const std::function<void()>& body) { return caller.run(body); }

    TempDir dir;
    kit::testing::ScriptedCaller caller{{.start_session = false}};
};

}  // namespace

TEST(RegistryEntries, NameTheProgramAsInstalled) {
    EXPECT_EQ(kelvane_entry(kKelvane),
              (std::vector<std::string>{"/bbs/doors/kv/kelvane * -Dinfo.*", "`0Team Options"}));
    EXPECT_EQ(orvtime_entry(kOrvtime),
              (std::vector<std::string>{"/bbs/doors/orv/orvtime * -Dinfo.*", "`%Orvald`2's Timer"}));
    EXPECT_EQ(runelot_entry(kRunelot, "/bbs/drakmoor/"),
              (std::vector<std::string>{"/bbs/doors/rl/runelot -D/bbs/drakmoor/info.*", "`0Edric's Tribute Lotto"}));
    EXPECT_EQ(maint_line(kKelvane), "/bbs/doors/kv/kelvane MAINT");

    ModuleProgram self = running_program("./bin/kelvane", "kelvane");
    EXPECT_EQ(self.file, "kelvane");
    EXPECT_EQ(self.dir.back(), '/');
    EXPECT_EQ(running_program("", "orvtime").file, "orvtime");

    struct {
        std::string typed, stored;
    } dirs[] = {{"/bbs/dm", "/bbs/dm/"}, {"/bbs/dm/", "/bbs/dm/"}, {"C:\\DM\\", "C:\\DM\\"}, {"dm", "dm/"}};
    for (const auto& d : dirs) EXPECT_EQ(with_final_separator(d.typed), d.stored);
}

TEST_F(Registry, HostDirectoryPromptAsksUntilTheListIsThere) {
    dir.write("3RDPARTY.DAT", "");
    std::string got;
    caller.local_keys("nowhere\r" + dir.path() + "\r");
    run([&] { got = ask_host_dir("c:\\drakmoor\\"); });
    EXPECT_EQ(got, host());
    EXPECT_TRUE(caller.screen_contains("  Please enter your DRAKMOOR path (C:\\DRAKMOOR\\): nowhere"));
    EXPECT_TRUE(caller.screen_contains("Path is...INVALID"));
    EXPECT_TRUE(caller.screen_contains("Path is...VERIFIED!"));

    // An empty answer takes the default; a final "\" typed stays.
    caller.local_keys("\r");
    run([&] { got = ask_host_dir(dir.path()); });
    EXPECT_EQ(got, host());
    caller.local_keys(dir.path() + "\\\r");
    run([&] { got = ask_host_dir("c:\\drakmoor\\"); });
    EXPECT_EQ(got, dir.path() + "\\");
}

TEST_F(Registry, OrvtimeInstallCreatesTheListAndInstallsTwiceWhenAskedTwice) {
    caller.local_keys("x");  // the key for the more prompt
    EXPECT_EQ(run([&] { orvtime_install(host(), kOrvtime); }), 0);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(orvtime_entry(kOrvtime)));
    EXPECT_TRUE(caller.screen_contains("Installed!"));
    caller.local_keys("x");
    EXPECT_EQ(run([&] { orvtime_install(host(), kOrvtime); }), 0);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(orvtime_entry(kOrvtime)) + crlf(orvtime_entry(kOrvtime)));
}

TEST_F(Registry, KelvaneInstallAddsItsMaintLineOnlyWhenMaintBatExists) {
    dir.write("3rdparty.dat", crlf({"/bbs/other *", "Other"}));
    caller.local_keys("x");
    run([&] { kelvane_install(host(), kKelvane); });
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf({"/bbs/other *", "Other"}) + crlf(kelvane_entry(kKelvane)));
    EXPECT_FALSE(dir.exists("maint.bat"));

    dir.write("MAINT.BAT", "nightly\r\n");
    caller.local_keys("x");
    run([&] { kelvane_install(host(), kKelvane); });
    EXPECT_EQ(dir.read("MAINT.BAT"), "nightly\r\n/bbs/doors/kv/kelvane MAINT\r\n");
}

TEST_F(Registry, KelvaneAndRunelotInstallsNeedTheList) {
    EXPECT_EQ(run([&] { kelvane_install(host(), kKelvane); }), plat::rte::file_not_found);
    EXPECT_EQ(run([&] { runelot_install(host(), kRunelot); }), plat::rte::file_not_found);
    EXPECT_FALSE(dir.exists("3rdparty.dat"));
    dir.write("3rdparty.dat", "");
    EXPECT_EQ(run([&] { runelot_install(host(), kRunelot); }), 0);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(runelot_entry(kRunelot, host())));
}

TEST_F(Registry, KelvaneDuplicateCheckIgnoresCase) {
    struct {
        std::string list;
        bool installed;
    } cases[] = {
        {"/x/KELVANE *\r\n`0Team Options\r\n", true},
        {"/x/Kelvane.exe *\r\nTeams\r\n", true},
        {"/x/orvtime *\r\nTimer\r\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        dir.write("3rdparty.dat", c.list);
        bool got = false;
        if (c.installed) caller.local_keys("x");
        run([&] { got = kelvane_already_installed(host(), kKelvane); });
        EXPECT_EQ(got, c.installed) << c.list;
        EXPECT_EQ(caller.screen_contains("You've already installed Kelvane!"), c.installed) << c.list;
        EXPECT_EQ(dir.read("3rdparty.dat"), c.list);
    }
}

TEST_F(Registry, KelvaneUninstallRemovesItsLastExactCaseEntryThroughTempFile) {
    std::vector<std::string> other = {"/bbs/other *", "Other"};
    std::vector<std::string> upper = {"/x/KELVANE *", "Old Teams"};
    std::vector<std::string> ours = kelvane_entry(kKelvane);
    std::string before = crlf(upper) + crlf(ours) + crlf(other);
    dir.write("3rdparty.dat", before);
    bool found = false;
    run([&] { found = kelvane_uninstall(host(), kKelvane); });
    EXPECT_TRUE(found);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(upper) + crlf(other));  // exact case: KELVANE stays
    EXPECT_EQ(dir.read("temp.$$$"), before);

    caller.local_keys("x");
    run([&] { found = kelvane_uninstall(host(), kKelvane); });
    EXPECT_FALSE(found);
    EXPECT_TRUE(caller.screen_contains("Kelvane has not been installed yet!"));
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(upper) + crlf(other));
}

TEST_F(Registry, OrvtimeUninstallRemovesOnlyTheLaterOfTwoEntries) {
    std::vector<std::string> first = {"/old/orvtime * -Dinfo.*", "Timer one"};
    std::vector<std::string> later = orvtime_entry(kOrvtime);
    dir.write("3rdparty.dat", crlf(first) + crlf({"/bbs/other *", "Other"}) + crlf(later));
    EXPECT_EQ(run([&] { orvtime_uninstall(host(), kOrvtime); }), 0);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(first) + crlf({"/bbs/other *", "Other"}));

    dir.write("3rdparty.dat", crlf({"/x/ORVTIME *", "Upper"}));
    bool reached = false;
    EXPECT_EQ(run([&] {
                  orvtime_uninstall(host(), kOrvtime);
                  reached = true;
              }),
              0);
    EXPECT_FALSE(reached);  // not installed: the program ends
    EXPECT_TRUE(caller.screen_contains("Orvald's Timer has not been installed yet!"));
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf({"/x/ORVTIME *", "Upper"}));
}

TEST_F(Registry, RunelotUninstallRemovesEveryEntryInAnyCase) {
    std::vector<std::string> other = {"/bbs/other *", "Other"};
    dir.write("3rdparty.dat", crlf(runelot_entry(kRunelot, host())) + crlf(other) +
                                  crlf({"C:\\DOORS\\RUNELOT.EXE -DC:\\DM\\info.*", "Lotto"}) +
                                  crlf({"/x/orvtime *", "mentions runelot only on line 2"}));
    int removed = 0;
    run([&] { removed = runelot_uninstall(host(), kRunelot); });
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(other) + crlf({"/x/orvtime *", "mentions runelot only on line 2"}));
    EXPECT_FALSE(dir.exists("igmtemp.dat"));

    run([&] { removed = runelot_uninstall(host(), kRunelot); });
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(dir.read("3rdparty.dat"), crlf(other) + crlf({"/x/orvtime *", "mentions runelot only on line 2"}));
}
