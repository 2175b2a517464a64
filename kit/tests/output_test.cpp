#include <gtest/gtest.h>

#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"

using namespace kit;
using kit::testing::ScriptedCaller;

namespace {

// What one piece of output sends to a remote caller.
std::string sent_by(const std::function<void()>& output) {
    ScriptedCaller caller;
    caller.keys("x");
    caller.run([&] {
        caller.take_transcript();  // nothing before the piece
        output();
        plat::halt(0);
    });
    std::string t = caller.take_transcript();
    // The kit's exit hook sends the closing colour reset; cut it off.
    size_t hook = t.rfind("\x1b[0;37m");
    return hook == std::string::npos ? t : t.substr(0, hook);
}

}  // namespace

TEST(DoorOutput, PipeCodesExpandToColourSequences) {
    struct Case {
        const char* text;
        const char* sent;
    } cases[] = {
        {"|1F", "\x1b[1;37m\x1b[44m"},
        {"|9F", "\x1b[1;37m\x1b[44m"},  // 128 removed
        {"|0E<", "\x1b[1;33m\x1b[40m<"},
        {"|07x", "\x1b[0;37m\x1b[40m\x1b[40mx"},
        {"a|zzb", "a|zzb"},
        {"ab|1", "ab|1"},  // one character after the pipe at the end
        {"|1", "|1"},      // texts shorter than 3 are left alone
    };
    for (const Case& c : cases) EXPECT_EQ(sent_by([&] { door_write(c.text); }), c.sent) << c.text;
}

TEST(DoorOutput, ColourAndCursorOperationsSendTheirSequences) {
    struct Case {
        const char* name;
        std::function<void()> op;
        const char* sent;
    } cases[] = {
        {"fg 14", [] { door_set_fg(14); }, "\x1b[1;33m"},
        {"fg 2 on black", [] { door_set_fg(2); }, "\x1b[0;32m\x1b[40m"},
        {"fg 18 is 2", [] { door_set_fg(18); }, "\x1b[0;32m\x1b[40m"},
        {"bg 1", [] { door_set_bg(1); }, "\x1b[44m"},
        {"attr 0x1F", [] { door_set_attr(0x1F); }, "\x1b[1;37m\x1b[44m"},
        {"goto column 1", [] { door_goto_column(1); }, "\x1b[255D"},
        {"goto column 12", [] { door_goto_column(12); }, "\x1b[255D\x1b[11C"},
        {"goto x y", [] { door_goto_xy(10, 5); }, "\x1b[5;10f"},
        {"clear screen", [] { door_clear_screen(); }, "\x1b[2J\x1b[1;1f"},
        {"clear eol", [] { door_clear_eol(); }, "\x1b[K"},
        {"cursor left", [] { door_cursor_left(7); }, "\x1b[7D"},
        {"line", [] { door_write_line("hi"); }, "hi\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(sent_by(c.op), c.sent) << c.name;
}

TEST(DoorOutput, TextIsCutTo255Characters) {
    std::string sent = sent_by([] { door_write(std::string(300, 'a')); });
    EXPECT_EQ(sent, std::string(255, 'a'));
}

TEST(DoorOutput, SetFgRecordsTheColourTakenModulo16) {
    ScriptedCaller caller;
    caller.run([] {
        door_set_fg(30);
        EXPECT_EQ(door_current_fg(), 14);
        door_set_bg(9);
        EXPECT_EQ(door_session().bg, 1);
    });
}

TEST(BacktickCodes, EachProgramKnowsItsOwnSet) {
    struct Case {
        const char* text;
        BacktickSet set;
        const char* sent;
    } cases[] = {
        {"`2Hi", BacktickSet::runelot, "\x1b[0;32m\x1b[40mHi"},
        {"`%!", BacktickSet::runelot, "\x1b[1;37m!"},
        {"`0", BacktickSet::runelot, "\x1b[1;32m"},
        {"`r1", BacktickSet::runelot, "\x1b[44m"},
        {"`r9x", BacktickSet::runelot, "x"},  // all three consumed
        {"`r8x", BacktickSet::runelot, "x"},
        {"`r8x", BacktickSet::grumbold, "\x1b[40mx"},
        {"`c", BacktickSet::runelot, ""},
        {"`c", BacktickSet::lottery, "\x1b[2J\x1b[1;1f\r\n\r\n"},
        {"`^", BacktickSet::grumbold, "\x1b[0;30m\x1b[40m"},
        {"`b", BacktickSet::grumbold, "\x1b[0;31m\x1b[40m"},
        {"`y", BacktickSet::grumbold, "\x1b[1;33m"},
        {"`y", BacktickSet::lottery, ""},
        {"a`", BacktickSet::runelot, "a"},
        {"`?b", BacktickSet::runelot, "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sent_by([&] { door_write_backtick(c.text, c.set); }), c.sent) << c.text;
}

TEST(DoorOutput, PaddingJustifiesAndCuts) {
    EXPECT_EQ(door_pad_left("7", '0', 2), "07");
    EXPECT_EQ(door_pad_left("123", '0', 2), "12");
    EXPECT_EQ(door_pad_right("ab", ' ', 4), "ab  ");
    EXPECT_EQ(door_pad_right("abcdef", ' ', 4), "abcd");
}

TEST(DoorOutput, MorePromptWaitsForAKeyThenErasesItself) {
    std::string sent = sent_by([] { door_more_prompt(); });
    std::string prompt = " \x1b[1;32m\x1b[40m<\x1b[0;32m\x1b[40m\x1b[40mMORE\x1b[1;32m\x1b[40m>";
    EXPECT_EQ(sent.substr(0, prompt.size()), prompt);
    // 16 characters of text, colour codes counted.
    EXPECT_EQ(sent.substr(prompt.size()), "\x1b[16D" + std::string(16, ' ') + "\x1b[16D");
}

TEST(DoorOutput, LocalMirrorShowsWhatTheCallerSees) {
    ScriptedCaller caller;
    caller.run([] {
        door_clear_screen();
        door_write("|1FBlue bar");
        door_write_line("");
        door_write("`1x");
    });
    EXPECT_EQ(caller.screen_row(1), "Blue bar");
    EXPECT_EQ(caller.screen_attr(1, 1), 0x1F);
}
