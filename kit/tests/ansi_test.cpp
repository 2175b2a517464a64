#include <gtest/gtest.h>

#include "kit/ansi_interpreter.hpp"
#include "kit/screen_model.hpp"

using namespace kit;

namespace {

struct Console {
    ScreenModel screen;
    AnsiInterpreter ansi;
    Console() { screen.set_window(1, 24); }
    void feed(std::string_view bytes) { ansi.feed(bytes, screen); }
};

}  // namespace

TEST(AnsiInterpreter, CursorCommandsMoveWithinTheWindow) {
    struct Case {
        const char* name;
        const char* bytes;
        int column, row;
    } cases[] = {
        {"home by f", "\x1b[5;10f", 10, 5},
        {"home by H without parameters", "abc\x1b[H", 1, 1},
        {"up clamps at row 1", "\x1b[3;3H\x1b[9A", 3, 1},
        {"up without count moves one", "\x1b[3;3H\x1b[A", 3, 2},
        {"down clamps at the window's last row", "\x1b[30B", 1, 24},
        {"right clamps at column 80", "\x1b[200C", 80, 1},
        {"left 255 reaches column 1", "abcdef\x1b[255D", 1, 1},
        {"goto column 12", "\x1b[255D\x1b[11C", 12, 1},
        {"save and restore", "\x1b[4;7H\x1b[s\x1b[10;1H\x1b[u", 7, 4},
        {"row beyond the window clamps", "\x1b[25;1H", 1, 24},
        {"private marks are ignored", "\x1b[?5;6H", 6, 5},
    };
    for (const Case& c : cases) {
        Console con;
        con.feed(c.bytes);
        EXPECT_EQ(con.screen.column(), c.column) << c.name;
        EXPECT_EQ(con.screen.row(), c.row) << c.name;
    }
}

TEST(AnsiInterpreter, GraphicsParametersSetTheLocalAttribute) {
    struct Case {
        const char* bytes;
        int start_attr;
        int attr;
    } cases[] = {
        {"\x1b[1;33m", 7, 0x0E},         // bright yellow
        {"\x1b[0;32m\x1b[40m", 0x17, 0x02},  // green on black
        {"\x1b[44m", 7, 0x17},
        {"\x1b[1;37m\x1b[44m", 7, 0x1F},
        {"\x1b[m", 0x1F, 7},              // a missing first parameter counts as 0
        {"\x1b[7m", 0x1E, 0x61},          // swap: yellow on blue -> (14*16)%128 + 1
        {"\x1b[8m", 0x1F, 0},
        {"\x1b[31;1m", 7, 0x0C},          // 31 taken before bright: red, then bright bit
        {"\x1b[1;31m", 7, 0x0C},
        {"\x1b[0;1;34m", 0x70, 0x09},
        {"\x1b[99m", 0x1F, 0x1F},          // unknown parameters change nothing
    };
    for (const Case& c : cases) {
        Console con;
        con.screen.set_attr(static_cast<uint8_t>(c.start_attr));
        con.feed(c.bytes);
        EXPECT_EQ(con.screen.attr(), c.attr) << testing::PrintToString(std::string(c.bytes));
    }
}

TEST(AnsiInterpreter, ClearsWindowAndLineInTheCurrentAttribute) {
    Console con;
    con.feed("hello\r\nworld");
    con.feed("\x1b[1;3H\x1b[K");
    EXPECT_EQ(con.screen.row_text(1), "he");
    EXPECT_EQ(con.screen.row_text(2), "world");
    con.feed("\x1b[44m\x1b[2J");
    EXPECT_EQ(con.screen.row_text(2), "");
    EXPECT_EQ(con.screen.cell(40, 12).attr, 0x17);  // ANSI blue is PC blue (1)
    EXPECT_EQ(con.screen.column(), 1);
    EXPECT_EQ(con.screen.row(), 1);
    con.feed("\x1b[1J");  // J only clears with 2
    EXPECT_EQ(con.screen.row(), 1);
}

TEST(AnsiInterpreter, SequenceSplitAcrossWritesIsUnderstood) {
    Console con;
    con.feed("ab\x1b[");
    con.feed("1;3");
    con.feed("3mc");
    EXPECT_EQ(con.screen.row_text(1), "abc");
    EXPECT_EQ(con.screen.cell(3, 1).attr, 0x0E);
    EXPECT_EQ(con.screen.cell(1, 1).attr, 0x07);
}

TEST(AnsiInterpreter, StrayEscIsDroppedAndLaterTextStaysText) {
    Console con;
    con.feed("a\x1bXb[1mc");
    EXPECT_EQ(con.screen.row_text(1), "aXb[1mc");
    EXPECT_EQ(con.screen.attr(), 7);
}

TEST(ScreenModel, ScrollingNeverMovesTheStatusRow) {
    Console con;
    con.screen.put_cells(1, 25, "status", 0x1F);
    for (int i = 1; i <= 30; ++i) con.feed("line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(con.screen.row_text(25), "status");
    EXPECT_EQ(con.screen.row_text(23), "line 30");
    EXPECT_EQ(con.screen.row_text(1), "line 8");
}

TEST(ScreenModel, LineWrapsWhenWritingPastColumn80) {
    Console con;
    con.feed(std::string(80, 'x'));
    EXPECT_EQ(con.screen.row(), 1);  // wrap waits for the next character
    con.feed("\r\ny");
    EXPECT_EQ(con.screen.row_text(2), "y");
    con.feed(std::string(81, 'z'));  // 79 fit behind the "y"
    EXPECT_EQ(con.screen.row_text(3), "zz");
}
