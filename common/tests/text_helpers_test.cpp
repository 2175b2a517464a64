#include <gtest/gtest.h>

#include <string>

#include "common/text_helpers.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace common;

TEST(FormatCommas, PutsACommaBeforeEveryThirdDigitButNeverAfterTheSign) {
    struct {
        int64_t n;
        std::string want;
    } cases[] = {
        {0, "0"},           {999, "999"},         {1000, "1,000"},
        {-999, "-999"},     {-1000, "-1,000"},    {-100000, "-100,000"},
        {1000000, "1,000,000"}, {123456789, "123,456,789"},
        {-2147483648LL, "-2,147,483,648"}, {9007199254740993LL, "9,007,199,254,740,993"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_commas(c.n), c.want) << c.n;
    EXPECT_EQ(format_commas(1234567, 4), "1,23");
}

TEST(CenterText, CentresTheVisibleTextIgnoringColourCodes) {
    struct {
        std::string text;
        int width;
        size_t blanks;
    } cases[] = {
        {"`%Hello`0", 79, 37},  // 5 visible characters
        {"Hello", 79, 37},
        {"Hello", 70, 32},
        {"Hello", 6, 0},        // (6 - 5) div 2
        {"Hello", 5, 0},
        {"A longer text than the width", 10, 0},
        {"", 4, 2},
    };
    for (const auto& c : cases) {
        std::string got = center_text(c.text, c.width);
        EXPECT_EQ(got, std::string(c.blanks, ' ') + c.text) << c.text << " on " << c.width;
    }
    EXPECT_EQ(center_text(std::string(250, 'x') + "``", 300).size(), 255u);
}

TEST(PadRight, AppendsBlanksUpToTheWidthButLeavesEmptyTextAndWidthZero) {
    struct {
        std::string text;
        int width;
        std::string want;
    } cases[] = {
        {"abc", 6, "abc   "}, {"abc", 3, "abc"}, {"abcdef", 3, "abcdef"},
        {"", 5, ""},          {"abc", 0, "abc"}, {"a", 300, "a" + std::string(254, ' ')},
    };
    for (const auto& c : cases) EXPECT_EQ(pad_right(c.text, c.width), c.want) << c.text;
}

TEST(ReplaceWord, IgnoresCaseKeepsAnUpperCaseStartAndNeverSearchesInsertedText) {
    struct {
        std::string word, replacement, text, want;
    } cases[] = {
        {"darn", "dang", "Darn it", "Dang it"},
        {"darn", "dang", "darn it", "dang it"},
        {"darn", "dang", "DARN it", "Dang it"},
        {"darn", "dang", "oh darn, DaRn", "oh dang, Dang"},
        // The replacement holds the word: each occurrence is replaced once.
        {"heck", "heckle", "heck heck", "heckle heckle"},
        {"heck", "heckle", "heckheck", "heckleheckle"},
        {"darn", "dang ", "darn", "dang "},
        {"a", "b", "xyz", "xyz"},
        {"", "b", "xyz", "xyz"},
        {"1x", "yy", "1X", "Yy"},  // a digit is below "[": upper-case start
    };
    for (const auto& c : cases)
        EXPECT_EQ(replace_word(c.word, c.replacement, 255, c.text), c.want) << c.text;
    EXPECT_EQ(replace_word("a", "bbb", 5, "aaa"), "bbbbb");
}

TEST(TextHelpers, StripTrimFieldsAndUpperCase) {
    EXPECT_EQ(strip_codes("`%The Raiders`0"), "The Raiders");
    EXPECT_EQ(strip_codes("end`"), "end");
    EXPECT_EQ(strip_codes("``1x"), "1x");

    struct {
        std::string text, left, right;
    } trims[] = {
        {"  ab  ", "ab  ", "  ab"}, {"   ", "   ", " "}, {"", "", ""}, {"ab", "ab", "ab"},
    };
    for (const auto& t : trims) {
        EXPECT_EQ(trim_left(t.text), t.left) << '"' << t.text << '"';
        EXPECT_EQ(trim_right(t.text), t.right) << '"' << t.text << '"';
    }

    EXPECT_EQ(field_of("darn|dang", 1), "darn");
    EXPECT_EQ(field_of("darn|dang", 2), "dang");
    EXPECT_EQ(field_of("a|b|c", 3), "c");
    EXPECT_EQ(field_of("darn", 2), "darn");  // no bar: the word replaces itself
    EXPECT_EQ(field_of("a|", 2), "");

    EXPECT_EQ(upper_case("abz{\x84"), "ABZ{\x84");
}

TEST(TextHelpers, FileCanOpenOnlyExistingReadableFiles) {
    plat::testing::TempDir dir;
    dir.write("here.txt", "x");
    EXPECT_TRUE(file_can_open(dir / "HERE.TXT"));
    EXPECT_FALSE(file_can_open(dir / "gone.txt"));
    EXPECT_FALSE(file_can_open(dir.path()));
}
