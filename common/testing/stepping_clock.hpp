// A fake clock for tests that also runs a step of the test at each sleep,
// so a test can release a lock or a file at an exact point of a wait.
#pragma once

#include <functional>
#include <span>

#include "platform/clock.hpp"

namespace common::testing {

class SteppingClock final : public plat::Clock {
public:
    // Called after each sleep with the number of sleeps so far.
    std::function<void(int sleeps)> on_sleep;
    int sleeps = 0;

    plat::TimeOfDay time_of_day() override { return fake_.time_of_day(); }
    plat::LocalDate date() override { return fake_.date(); }
    uint64_t tick_ms() override { return fake_.tick_ms(); }
    void sleep_ms(int ms) override {
        fake_.sleep_ms(ms);
        ++sleeps;
        if (on_sleep) on_sleep(sleeps);
    }
    int wait_readable(std::span<const int> fds, int timeout_ms) override {
        return fake_.wait_readable(fds, timeout_ms);
    }

private:
    plat::FakeClock fake_{{2026, 12, 11}, 0};
};

}  // namespace common::testing
