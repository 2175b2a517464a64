#include <gtest/gtest.h>

#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"

using namespace kit;
using kit::testing::ScriptedCaller;

TEST(ReadKey, CrLfPairIsOneCrAndCrFollowedByALetterKeepsBoth) {
    ScriptedCaller caller;
    caller.keys("\r\na\rbc\r\n");
    std::string keys;
    bool extended_seen = false;
    caller.run([&] {
        for (int i = 0; i < 6; ++i) {
            keys += door_read_key();
            extended_seen |= door_session().last_key_extended;
        }
    });
    // The filter turned off at "\rb", so the final CR LF arrives as two keys.
    EXPECT_EQ(keys, "\ra\rbc\r");
    EXPECT_FALSE(extended_seen);
}

TEST(ReadKey, ZeroThenByteFromTheCallerIsAnExtendedKey) {
    ScriptedCaller caller;
    caller.keys(std::string("\0H", 2));
    caller.run([] {
        EXPECT_EQ(door_read_key(), 'H');
        EXPECT_TRUE(door_session().last_key_extended);
        EXPECT_EQ(door_session().last_key_source, 2);
        EXPECT_FALSE(door_last_key_local());
    });
}

TEST(ReadKey, LocalKeyboardIsReadFirstAndItsExtendedKeysMayGoToTheHook) {
    ScriptedCaller caller;
    caller.keys("r");
    caller.local_keys(std::string("l\0H", 3));
    std::vector<int> hooked;
    caller.run([&] {
        door_hooks().on_local_extended_key = [&](uint8_t code) {
            hooked.push_back(code);
            return false;
        };
        EXPECT_EQ(door_read_key(), 'l');
        EXPECT_EQ(door_session().last_key_source, 1);
        EXPECT_EQ(door_read_key(), 'H');
        EXPECT_FALSE(door_session().last_key_extended);  // the hook said no
        EXPECT_EQ(door_read_key(), 'r');
    });
    EXPECT_EQ(hooked, std::vector<int>{72});
}

TEST(InputLine, EchoesEveryKeyButKeepsOnlyTheMaximum) {
    ScriptedCaller caller;
    caller.keys("abcdefg\r");
    std::string line;
    caller.run([&] { line = door_input_line(5); });
    EXPECT_EQ(line, "abcde");
    EXPECT_TRUE(caller.screen_contains("abcdefg"));
}

TEST(InputLine, BackspaceRemovesAndLineFeedIsIgnored) {
    ScriptedCaller caller;
    caller.keys(std::string("ab\bc\n\r", 6));
    std::string line;
    caller.run([&] { line = door_input_line(10); });
    EXPECT_EQ(line, "ac");
    EXPECT_NE(caller.transcript().find("ab\b \bc"), std::string::npos);
}

TEST(EditField, ScrollsWhenTheTextOutgrowsTheWidth) {
    ScriptedCaller caller;
    caller.keys(std::string(21, 'x').replace(0, 1, "a") + "\r");
    std::string result;
    caller.run([&] {
        door_write("Name: ");
        result = door_edit_field("", "abcdefghijklmnopqrstuvwxyz", 0, 20, 40, 0x1F);
    });
    EXPECT_EQ(result, "a" + std::string(20, 'x'));
    // The field shows the last 20 characters, starting where it began.
    EXPECT_NE(caller.screen_text().find("Name: " + std::string(20, 'x')), std::string::npos);
}

TEST(EditField, EscGivesBackTheInitialTextAndCrOnEmptyIsIgnored) {
    struct Case {
        const char* keys;
        const char* result;
    } cases[] = {
        {"ab\x1b", "SYSOP"},
        {"\x19\rok\r", "ok"},    // Ctrl-Y clears, CR on the empty field is ignored
        {"1a!\r", "SYSOPa"},     // keys not allowed are ignored
        {"\b\b\r", "SYS"},
    };
    for (const Case& c : cases) {
        ScriptedCaller caller;
        caller.keys(c.keys);
        std::string result;
        caller.run([&] { result = door_edit_field("SYSOP", "abcdefghijklmnopqrstuvwxyzSYOP", 0, 40, 40, 31); });
        EXPECT_EQ(result, c.result) << c.keys;
    }
}

TEST(EditField, RestoresTheAttributeAndMasksWhenAsked) {
    ScriptedCaller caller;
    caller.keys("pw\r");
    caller.run([&] {
        door_edit_field("", "pw", '*', 8, 8, 0x1F);
        EXPECT_EQ(door_session().last_key, '\r');
    });
    EXPECT_TRUE(caller.screen_contains("**"));
    EXPECT_FALSE(caller.screen_contains("pw"));
    EXPECT_EQ(caller.screen_attr(1, 1), 0x1F);  // the bar
}

TEST(Limits, IdleCallerIsSentHomeAfter301Seconds) {
    ScriptedCaller::Options o;
    o.hang_up_when_done = false;
    ScriptedCaller caller(o);
    int32_t start = caller.clock().now_ms();
    int code = caller.run([] { door_read_key(); });
    EXPECT_EQ(code, 0);
    EXPECT_NE(caller.transcript().find("  Idle Time Limit Exceeded.  Returning To BBS..."), std::string::npos);
    int32_t waited = caller.clock().now_ms() - start - 1500;  // less the closing pause
    EXPECT_GE(waited, 301'000);
    EXPECT_LT(waited, 302'600);
}

TEST(Limits, NoTimeAllowedEndsAtTheFirstCheck) {
    ScriptedCaller::Options o;
    o.time_allowed = 0;
    o.hang_up_when_done = false;
    ScriptedCaller caller(o);
    int32_t start = caller.clock().now_ms();
    caller.run([] { door_read_key(); });
    EXPECT_NE(caller.transcript().find("  Your Time Has Expired.  Returning To BBS..."), std::string::npos);
    EXPECT_LE(caller.clock().now_ms() - start, 600 + 1500);
}

TEST(Limits, WarningHooksGetTheWholeMinutesLeft) {
    ScriptedCaller::Options o;
    o.time_allowed = 3 * 60 + 5;
    o.hang_up_when_done = false;
    ScriptedCaller caller(o);
    std::vector<int> time_warnings, idle_warnings;
    caller.run([&] {
        door_hooks().on_time_warning = [&](int m) { time_warnings.push_back(m); };
        door_hooks().on_idle_warning = [&](int m) { idle_warnings.push_back(m); };
        door_read_key();
    });
    ASSERT_FALSE(time_warnings.empty());
    EXPECT_EQ(time_warnings.front(), 3);
    ASSERT_FALSE(idle_warnings.empty());
    EXPECT_EQ(idle_warnings.front(), 4);  // 241 seconds of the 300 left
}

TEST(Limits, CarrierLossEndsThroughTheExitChain) {
    ScriptedCaller caller;
    caller.keys("a");
    bool module_exit_ran = false;
    int code = caller.run([&] {
        plat::push_exit_handler([&] { module_exit_ran = true; });
        door_read_key();
        door_read_key();  // the caller is gone by now
        ADD_FAILURE() << "the program went on after the caller dropped";
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(module_exit_ran);
    EXPECT_TRUE(caller.screen_contains("   Caller Dropped Carrier.  Returning To BBS..."));
}

TEST(StatusLine, ShowsNameProgramIdleAndTimeLeft) {
    ScriptedCaller::Options o;
    o.remote = false;
    o.name = "Mara Vell";
    ScriptedCaller caller(o);
    caller.local_keys("x");
    caller.run([&] {
        caller.clock().advance(1000);
        door_read_key();
    });
    std::string row = caller.screen_row(25);
    EXPECT_EQ(row.substr(2, 9), "Mara Vell");
    EXPECT_EQ(row.substr(30, 15), "Vestra v3.08.30");
    EXPECT_EQ(row.substr(50, 11), "Idle: 00:01");
    EXPECT_EQ(row.substr(64, 14), "Left: 00:59:59");
    EXPECT_EQ(static_cast<uint8_t>(row[0]), 0xFE);
    EXPECT_EQ(static_cast<uint8_t>(row[79]), 0xFE);
    EXPECT_EQ(caller.screen_attr(1, 25), 0x1E);
    EXPECT_EQ(caller.screen_attr(3, 25), 0x1F);
}

TEST(ReadKey, WithNobodyToTypeEnterComesAtOnceButAnEndlessPromptIsEnded) {
    ScriptedCaller::Options o;
    o.start_session = false;
    o.local_keyboard = false;
    ScriptedCaller caller(o);
    int asked = 0;
    int code = caller.run([&] {
        EXPECT_EQ(door_read_key(), '\r');  // a closing "press a key" of a batch run
        for (;;) {
            door_read_key();
            ++asked;
        }
    });
    EXPECT_EQ(code, 0);
    EXPECT_LT(asked, 2000);
}

TEST(ReadKey, WaitingForAKeyLeavesItUnread) {
    ScriptedCaller caller;
    caller.keys("a");
    caller.run([] {
        EXPECT_TRUE(door_wait_for_key());
        EXPECT_TRUE(door_wait_for_key());
        EXPECT_EQ(door_read_key(), 'a');
    });
}
