#include <gtest/gtest.h>

#include <string>

#include "common/name_filter.hpp"
#include "platform/testing/temp_dir.hpp"

using common::filter_name;
using plat::testing::TempDir;

TEST(FilterName, KeepsPermittedCodesAndDropsControlBytesWithoutABadWordsFile) {
    TempDir dir;
    std::string none = dir / "BADWORDS.DAT";
    struct {
        std::string text, want;
    } cases[] = {
        {"", ""},
        {"`%Bob`0", "`%Bob`0"},
        {"`8Bob", "8Bob"},          // "`8" is not permitted: the digit stays
        {"`rBob`", "rBob"},
        {"``1Bob", "`1Bob"},
        {"Bob\x1b[2J", "Bob[2J"},   // an escape sequence cannot reach others
        {"B\to\x7f" "b\r\n", "Bob"},
        {"`\x1b" "1x", "`1x"},      // control bytes go before codes are judged
        {"Bj\x94rn", "Bj\x94rn"},   // CP437 letters stay
    };
    for (const auto& c : cases) EXPECT_EQ(filter_name(c.text, 30, none), c.want) << c.text;
    EXPECT_EQ(filter_name("abcdef", 3, none), "abc");
}

TEST(FilterName, ReplacesBadWordsFromTheFile) {
    TempDir dir;
    dir.write("badwords.dat",
              "; comment|never\r\n"
              "  ;darn|indented comment\r\n"
              "X\r\n"
              "darn|dang\r\n"
              "heck|heckle\r\n"
              "poo|pooh \r\n"
              "bogus\r\n"
              "|empty\r\n");
    std::string words = dir / "BADWORDS.DAT";
    struct {
        std::string text, want;
    } cases[] = {
        {"Darnell", "Dangell"},
        {"mr darn", "mr dang"},
        {"heck heck", "heckle heckle"},
        {"poo", "pooh "},            // the replacement keeps its blank
        {"BOGUS x", "Bogus x"},      // no bar: the word replaces itself; "X" is too short
        {"`8never", "8never"},
    };
    for (const auto& c : cases) EXPECT_EQ(filter_name(c.text, 30, words), c.want) << c.text;
}
