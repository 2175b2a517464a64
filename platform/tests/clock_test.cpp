#include <gtest/gtest.h>

#include "platform/clock.hpp"
#include "platform/random.hpp"

using namespace plat;

TEST(Clock, ElapsedTimeAddsADayAcrossMidnight) {
    FakeClock fake({2026, 12, 31}, 86'399'500);  // 23:59:59.50
    ScopedClock use(fake);
    int32_t before_ms = ms_since_midnight();
    int32_t before_s = seconds_since_midnight();
    sleep_ms(1500);
    EXPECT_EQ(ms_since_midnight(), 1000);
    EXPECT_EQ(elapsed_ms(before_ms, ms_since_midnight()), 1500);
    EXPECT_EQ(elapsed_seconds(before_s, seconds_since_midnight()), 2);
    LocalDate d = local_date();
    EXPECT_EQ(d.year, 2027);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1);
    EXPECT_EQ(d.day_of_week, 5);  // a Friday
}

TEST(Clock, FakeWaitPassesTheWholeTimeoutWhenNothingIsReady) {
    FakeClock fake({2026, 1, 1}, 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_EQ(fake.wait_readable(std::span<const int>(fds, 1), 700), 0);
    EXPECT_EQ(fake.now_ms(), 700);
    ASSERT_EQ(write(fds[1], "k", 1), 1);
    EXPECT_EQ(fake.wait_readable(std::span<const int>(fds, 1), 700), 1);
    EXPECT_EQ(fake.now_ms(), 700);
    close(fds[0]);
    close(fds[1]);
}

TEST(Random, ScriptedValuesAreTakenInOrderAndZeroForZero) {
    ScriptedRandom script{5, 12, 3};
    ScopedRandom use(script);
    EXPECT_EQ(random(10), 5);
    EXPECT_EQ(random(10), 2);  // taken modulo n
    EXPECT_EQ(random(0), 0);
    EXPECT_EQ(random(4), 3);
}

TEST(Random, SeededValuesStayInRange) {
    SeededRandom r(42);
    for (int i = 0; i < 10000; ++i) {
        int32_t v = r.next(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
    }
    EXPECT_EQ(r.next(0), 0);
}
