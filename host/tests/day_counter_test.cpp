#include <gtest/gtest.h>

#include <functional>

#include "host/day_counter.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"

using plat::testing::TempDir;

TEST(DayCounter, ReadsTheFirstLineAndAnswersMissingWithNothing) {
    TempDir dir;
    dir.write("TIME.DAT", "17\r\nwhatever the host keeps\r\n");
    EXPECT_EQ(host::read_day_number(dir / "time.dat"), 17);
    dir.write("TIME.DAT", " 42 ");
    EXPECT_EQ(host::read_day_number(dir / "time.dat"), 42);
    EXPECT_EQ(host::read_day_number(dir / "none/time.dat"), std::nullopt);
    EXPECT_EQ(host::read_day_number(dir / "missing.dat"), std::nullopt);

    dir.write("TIME.DAT", "seventeen\r\n");
    int code = 0;
    try {
        host::read_day_number(dir / "time.dat");
    } catch (const plat::RunError& e) {
        code = e.code;
    }
    EXPECT_EQ(code, plat::rte::bad_numeric_format);
}

TEST(DayCounter, ANewHostDayResetsOnceThenNotAgainTheSameDay) {
    int32_t stored = 16;
    EXPECT_TRUE(host::take_new_day(17, stored));
    EXPECT_EQ(stored, 17);
    EXPECT_FALSE(host::take_new_day(17, stored));
    EXPECT_TRUE(host::take_new_day(3, stored));  // the host may restart its count
}
