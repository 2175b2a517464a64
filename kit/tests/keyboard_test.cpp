#include <gtest/gtest.h>

#include "kit/cp437.hpp"
#include "kit/local_keyboard.hpp"

using namespace kit;

namespace {

std::string decode(std::string_view bytes) {
    std::string pending;
    std::deque<uint8_t> keys;
    decode_terminal_keys(pending, bytes, keys);
    return std::string(keys.begin(), keys.end());
}

}  // namespace

TEST(TerminalKeys, SpecialKeysBecomeZeroAndScanCode) {
    struct Case {
        const char* bytes;
        std::string keys;
    } cases[] = {
        {"\x1b[A", std::string("\0H", 2)},  {"\x1b[B", std::string("\0P", 2)},
        {"\x1b[D", std::string("\0K", 2)},  {"\x1b[C", std::string("\0M", 2)},
        {"\x1b[H", std::string("\0G", 2)},  {"\x1bOF", std::string("\0O", 2)},
        {"\x1b[3~", std::string("\0S", 2)}, {"\x1bOP", std::string("\0;", 2)},
        {"\x1b[5~", std::string("\0I", 2)}, {"\x1b[1;5A", std::string("\0H", 2)},
        {"\x1b", "\x1b"},                  {"\x1bx", "\x1bx"},
        {"a\x7f", "a\b"},                  {"\r", "\r"},
        {"\xc3\xa9", "\x82"},              // é in UTF-8 is CP437 130
        {"\x1b[99~", ""},                  // unknown sequences are dropped
    };
    for (const Case& c : cases) EXPECT_EQ(decode(c.bytes), c.keys) << testing::PrintToString(std::string(c.bytes));
}

TEST(TerminalKeys, SequenceCutBetweenReadsWaitsForItsRest) {
    std::string pending;
    std::deque<uint8_t> keys;
    decode_terminal_keys(pending, "x\x1b[", keys);
    EXPECT_EQ(keys.size(), 1u);
    decode_terminal_keys(pending, "A", keys);
    EXPECT_EQ(std::string(keys.begin(), keys.end()), std::string("x\0H", 3));
}

TEST(Cp437, DrawsPcCharactersAsUnicode) {
    EXPECT_EQ(cp437_to_utf8("\xfe"), "\u25a0");
    EXPECT_EQ(cp437_to_utf8("\xc9\xcd\xbb"), "\u2554\u2550\u2557");
    EXPECT_EQ(cp437_to_utf8("\x01"), "\u263a");
    EXPECT_EQ(cp437_to_utf8("A"), "A");
    EXPECT_EQ(utf8_to_cp437("\u2554A\u00e9"), "\xc9" "A\x82");
    for (int b = 1; b < 256; ++b) {
        if (b == 32) continue;
        EXPECT_EQ(unicode_to_cp437(cp437_to_unicode(static_cast<uint8_t>(b))), b) << b;
    }
}
