#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/colour_writers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/testing/scripted_caller.hpp"

using namespace common;
using kit::fg_sequence;

TEST(ColourWriters, SendTheTextBetweenCodesInOnePieceAndSetTheForeground) {
    struct {
        std::string text;
        bool line;
        std::function<std::string()> want;
    } cases[] = {
        {"`2Hello `%world", true, [] { return fg_sequence(2) + "Hello " + fg_sequence(15) + "world\r\n"; }},
        {"1. Install", true, [] { return std::string("1. Install\r\n"); }},
        {"`0A`!B`@C`#D`$E`%F`9G", false,
         [] {
             return fg_sequence(10) + "A" + fg_sequence(11) + "B" + fg_sequence(12) + "C" + fg_sequence(13) +
                    "D" + fg_sequence(14) + "E" + fg_sequence(15) + "F" + fg_sequence(9) + "G";
         }},
        {"a`rb`", false, [] { return std::string("ab"); }},  // unknown code and a final back-tick
        {"``", true, [] { return std::string("\r\n"); }},
        {"`8x", false, [] { return fg_sequence(8) + "x"; }},
    };
    for (const auto& c : cases) {
        kit::testing::ScriptedCaller caller;
        std::string want, got;
        caller.run([&] {
            want = c.want();
            if (c.line)
                write_line_codes(c.text);
            else
                write_codes(c.text);
            got = caller.transcript();  // before the kit's exit resets the colour
        });
        EXPECT_EQ(got, want) << c.text;
    }
}

TEST(ColourWriters, LocalWritersColourOnlyTheConsole) {
    kit::testing::ScriptedCaller caller;
    std::string sent;
    caller.run([&] {
        local_write_line_codes("`2Hi `%there`r");
        local_write_codes("1. Install");
        sent = caller.transcript();
    });
    EXPECT_EQ(sent, "");
    EXPECT_EQ(caller.screen_row(1), "Hi there");
    EXPECT_EQ(caller.screen_attr(1, 1) & 15, 2);
    EXPECT_EQ(caller.screen_attr(4, 1) & 15, 15);
    EXPECT_EQ(caller.screen_row(2), "1. Install");
}

TEST(ColourWriters, MorePromptStaysWithoutLineEndAndTakesOneKey) {
    kit::testing::ScriptedCaller caller({.hang_up_when_done = false});
    caller.keys("xy");
    char next = 0;
    std::string want, got;
    caller.run([&] {
        want = fg_sequence(10) + "<" + fg_sequence(2) + "MORE" + fg_sequence(10) + ">";
        more_prompt();
        got = caller.transcript();
        next = kit::door_read_key();
    });
    EXPECT_EQ(got, want);
    EXPECT_EQ(next, 'y');
}
