#include <gtest/gtest.h>

#include <limits>

#include "cave/cave_config.hpp"
#include "cave/daily_reset.hpp"
#include "cave/guessing_game.hpp"
#include "cave/visit.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace cave;

TEST(CaveDayStamp, IsTheSumOfYearMonthAndDay) {
    struct {
        plat::LocalDate date;
        const char* stamp;
    } cases[] = {
        {{2005, 3, 13}, "2021"},
        {{2026, 1, 31}, "2058"},
        {{2026, 3, 29}, "2058"},  // shares the stamp of 31 January
        {{2026, 12, 31}, "2069"},
    };
    for (const auto& c : cases) EXPECT_EQ(day_stamp(c.date), c.stamp) << c.date.month << "/" << c.date.day;
}

TEST(CavePrize, IsHalfTheWagerWithHalvesRoundedUp) {
    struct {
        int32_t wager, prize;
    } cases[] = {{1, 1}, {2, 1}, {3, 2}, {5, 3}, {100, 50}, {std::numeric_limits<int32_t>::max(), 1073741824}};
    for (const auto& c : cases) EXPECT_EQ(prize_for(c.wager), c.prize) << c.wager;
}

TEST(CavePrize, GoldStopsAtTheLargestAmountTheRecordHolds) {
    constexpr int32_t top = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(gold_after_win(100, 2), 102);
    EXPECT_EQ(gold_after_win(top - 1, 1), top);
    EXPECT_EQ(gold_after_win(top, prize_for(top)), top);
}

TEST(CaveDeadline, CountsSecondsFromTheFirstGuessAcrossMidnight) {
    constexpr int32_t t10_15_45 = 10 * 3600 + 15 * 60 + 45;
    EXPECT_EQ(seconds_left(t10_15_45, t10_15_45), 20);
    EXPECT_EQ(seconds_left(t10_15_45, t10_15_45 + 15), 5);  // 10:16:00
    EXPECT_EQ(seconds_left(t10_15_45, t10_15_45 + 20), 0);  // 10:16:05, the deadline
    EXPECT_LT(seconds_left(t10_15_45, t10_15_45 + 21), 0);
    constexpr int32_t t23_59_50 = 86'400 - 10;
    EXPECT_EQ(seconds_left(t23_59_50, 5), 5);  // 00:00:05
    EXPECT_LT(seconds_left(t23_59_50, 11), 0);
}

TEST(CaveWager, IsAWholeNumberFromOneToTheCallersGold) {
    struct {
        const char* answer;
        int32_t value;
    } cases[] = {
        {"50", 50}, {"1", 1}, {" 7", 7}, {"51", 0}, {"0", 0},      {"-5", 0},
        {"", 0},    {"lots", 0}, {"5 gold", 0}, {"2.5", 0}, {"\x1b[2J", 0}, {"99999999999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(wager_value(c.answer, 50), c.value) << c.answer;
}

TEST(CaveConfigRecord, KeepsThePathAndFlagsAtTheirOffsets) {
    CaveConfig config;
    config.host_path = "/srv/drakmoor/";
    config.played[0] = 1;
    config.played[149] = 1;
    auto bytes = encode_config(config);
    ASSERT_EQ(bytes.size(), 406u);
    EXPECT_EQ(bytes[0], 14);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 15), "/srv/drakmoor/");
    EXPECT_EQ(bytes[256], 1);
    EXPECT_EQ(bytes[405], 1);
    CaveConfig back = decode_config(bytes);
    EXPECT_EQ(back.host_path, config.host_path);
    EXPECT_EQ(back.played, config.played);

    config.host_path = std::string(300, 'p');
    EXPECT_EQ(decode_config(encode_config(config)).host_path, std::string(255, 'p'));
}

TEST(CaveConfigRecord, ATruncatedFileKeepsWhatItHolds) {
    CaveConfig config;
    config.host_path = "/g/";
    config.played[3] = 1;
    config.played[100] = 1;
    auto bytes = encode_config(config);
    CaveConfig back = decode_config(std::span<const uint8_t>(bytes.data(), 300));
    EXPECT_EQ(back.host_path, "/g/");
    EXPECT_EQ(back.played[3], 1);
    EXPECT_EQ(back.played[100], 0);
    EXPECT_EQ(decode_config({}).host_path, "");
}

TEST(CaveConfigFile, TheExitSaveKeepsFlagsOtherNodesSavedMeanwhile) {
    plat::testing::TempDir dir;
    std::string path = dir / "orvtime.dat";
    // Another node's caller (record 2) ended after ours started.
    CaveConfig on_disk;
    on_disk.host_path = "/old/";
    on_disk.played[2] = 1;
    SaveConfig(path, on_disk);

    SaveCallerFlag(path, "/game/", 1, true);
    CaveConfig after = LoadConfig(path, true);
    EXPECT_EQ(after.host_path, "/game/");
    EXPECT_EQ(after.played[1], 1);
    EXPECT_EQ(after.played[2], 1);

    // A caller who did not play changes no flag, and the lock is gone.
    SaveCallerFlag(path, "/game/", 5, false);
    after = LoadConfig(path, true);
    EXPECT_EQ(after.played[5], 0);
    EXPECT_EQ(after.played[2], 1);
    EXPECT_FALSE(dir.exists("orvtime.daX"));

    // Without a file the save starts one.
    SaveCallerFlag(dir / "new.dat", "/game/", 0, true);
    EXPECT_EQ(LoadConfig(dir / "new.dat", true).played[0], 1);
}
