#include <gtest/gtest.h>

#include "platform/halt.hpp"
#include "tribute/lotto_rules.hpp"

using namespace runelot;

namespace {

// The run-time error code a call ends with; 0 when it returns.
template <typename F>
int run_error_of(F&& f) {
    try {
        f();
    } catch (const plat::RunError& e) {
        return e.code;
    }
    return 0;
}

}  // namespace

TEST(RunelotPrize, TableOfLevelsOneToThirteen) {
    struct Row {
        int16_t level;
        int32_t fee;
        int32_t prize[4];  // 1, 2, 3 and 4 matches
    } rows[] = {
        {1, 10, {1, 10, 100, 1'000}},
        {2, 20, {30, 300, 3'000, 30'000}},
        {3, 30, {10, 100, 1'000, 10'000}},
        {4, 40, {300, 3'000, 30'000, 300'000}},
        {5, 50, {100, 1'000, 10'000, 100'000}},
        {6, 60, {3'000, 30'000, 300'000, 3'000'000}},
        {7, 70, {1'000, 10'000, 100'000, 1'000'000}},
        {8, 80, {30'000, 300'000, 3'000'000, 30'000'000}},
        {9, 90, {10'000, 100'000, 1'000'000, 10'000'000}},
        {10, 100, {300'000, 3'000'000, 30'000'000, 300'000'000}},
        {11, 110, {100'000, 1'000'000, 10'000'000, 100'000'000}},
        {12, 120, {2'000'000, 20'000'000, 200'000'000, 2'000'000'000}},
        {13, 130, {1'000'000, 10'000'000, 100'000'000, 1'000'000'000}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FeeFor(r.level), r.fee) << "level " << r.level;
        EXPECT_EQ(PrizeFor(r.level, 0), 0) << "level " << r.level;
        for (int m = 1; m <= 4; ++m) EXPECT_EQ(PrizeFor(r.level, m), r.prize[m - 1]) << "level " << r.level << ", " << m;
    }
}

TEST(RunelotPrize, LevelsAboveThirteenAreCappedAtTwoBillion) {
    for (int16_t level : {int16_t{14}, int16_t{15}, int16_t{40}, int16_t{32767}}) {
        EXPECT_EQ(Jackpot(level), kJackpotCap) << level;
        EXPECT_EQ(PrizeFor(level, 4), 2'000'000'000) << level;
        EXPECT_EQ(PrizeFor(level, 1), 2'000'000) << level;
    }
}

TEST(RunelotPrize, IsAddedOnlyWhenTheSumStaysPositiveAndInRange) {
    struct Case {
        int32_t gold, prize, expected;
    } cases[] = {
        {380, 2'000'000'000, 2'000'000'380},
        {500'000'000, 2'000'000'000, 500'000'000},  // would pass 2,147,483,647
        {147'483'647, 2'000'000'000, 2'147'483'647},
        {0, 0, 0},
        {-5'000, 1'000, -5'000},
        {-500, 1'000, 500},
    };
    for (const Case& c : cases) EXPECT_EQ(GoldAfterPrize(c.gold, c.prize), c.expected) << c.gold << " + " << c.prize;
}

TEST(RunelotMatches, CountEachDigitAsOftenAsBothCodesHoldIt) {
    struct Case {
        const char* player;
        const char* machine;
        int matches;
    } cases[] = {
        {"1122", "1234", 2}, {"1111", "1222", 1}, {"0007", "7000", 4}, {"1234", "1234", 4},
        {"1234", "5678", 0}, {"-123", "0123", 3},  // the sign never matches
        {"-000", "0000", 3}, {" 123", "3210", 3},  {"$1aF", "1111", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountMatches(c.player, c.machine), c.matches) << c.player << " / " << c.machine;
}

TEST(RunelotCode, IsCheckedForLengthThenForAWholeNumber) {
    struct Case {
        const char* code;
        CodeCheck expected;
    } cases[] = {
        {"", CodeCheck::empty},          {"123", CodeCheck::too_short},    {"12345", CodeCheck::too_long},
        {"12a4", CodeCheck::not_a_number}, {"1 23", CodeCheck::not_a_number}, {"123 ", CodeCheck::not_a_number},
        {"$1g3", CodeCheck::not_a_number}, {"--12", CodeCheck::not_a_number}, {"\x1b[A1", CodeCheck::not_a_number},
        {"1234", CodeCheck::accepted},   {"-123", CodeCheck::accepted},    {"+123", CodeCheck::accepted},
        {" 123", CodeCheck::accepted},   {"   7", CodeCheck::accepted},    {"$1aF", CodeCheck::accepted},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckCode(c.code), c.expected) << '"' << c.code << '"';
}

TEST(RunelotDays, AreSixteenBitNumbersOrARunTimeError) {
    struct Case {
        const char* text;
        int16_t day;
        int error;
    } cases[] = {
        {"-1", -1, 0},         {"1", 1, 0},          {" 17 ", 17, 0},     {"", 0, 0},
        {"32767", 32767, 0},   {"-32768", -32768, 0}, {"32768", 0, 201},  {"-32769", 0, 201},
        {"99999999999", 0, 201}, {"day 1", 0, 106},   {"1x", 0, 106},
    };
    for (const Case& c : cases) {
        int16_t day = 0;
        EXPECT_EQ(run_error_of([&] { day = ParseDay(c.text); }), c.error) << '"' << c.text << '"';
        if (c.error == 0) {
            EXPECT_EQ(day, c.day) << c.text;
        }
    }
    EXPECT_EQ(run_error_of([] { DayInRange(70000); }), 201);
    EXPECT_EQ(run_error_of([] { DayInRange(-40000); }), 201);
    EXPECT_EQ(DayInRange(12), 12);
}
