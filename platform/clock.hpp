// The clock every program reads: time of day, local date, tick count,
// sleeping and waiting on descriptors.
//
// Programs use the process-wide clock(); tests install a FakeClock, which
// advances only when the code sleeps or waits, so a 300-second idle limit or
// a 20-second deadline runs in microseconds.
#pragma once

#include <cstdint>
#include <span>

namespace plat {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;
};

struct LocalDate {
    int year = 1970;
    int month = 1;
    int day = 1;
    int day_of_week = 4;  // 0 = Sunday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay time_of_day() = 0;
    virtual LocalDate date() = 0;
    // Milliseconds from an arbitrary start, never going back.
    virtual uint64_t tick_ms() = 0;
    virtual void sleep_ms(int ms) = 0;
    // Waits until one of fds is readable (or has hung up), or timeout_ms
    // passes (a negative timeout waits without limit). Returns the number of
    // ready descriptors, 0 on time-out.
    virtual int wait_readable(std::span<const int> fds, int timeout_ms) = 0;
};

// The clock in use: the system clock unless a test installed another.
Clock& clock();
// Installs a clock (nullptr puts the system clock back).
void set_clock(Clock* c);

// Derived readings of clock().
int32_t ms_since_midnight();       // from hours, minutes, seconds and hundredths
int32_t seconds_since_midnight();
TimeOfDay time_of_day();
LocalDate local_date();
void sleep_ms(int ms);

// Elapsed time from an earlier reading a to a later reading b: b - a, plus
// one day when b is smaller (a session may run across one midnight).
int32_t elapsed_ms(int32_t a, int32_t b);
int32_t elapsed_seconds(int32_t a, int32_t b);

class SystemClock final : public Clock {
public:
    TimeOfDay time_of_day() override;
    LocalDate date() override;
    uint64_t tick_ms() override;
    void sleep_ms(int ms) override;
    int wait_readable(std::span<const int> fds, int timeout_ms) override;
};

// A clock for tests: time stands still until the code sleeps or waits.
// A wait first looks (without blocking) whether a descriptor is ready; if
// none is, the whole timeout passes at once.
class FakeClock final : public Clock {
public:
    FakeClock(LocalDate date, int32_t ms_since_midnight);

    TimeOfDay time_of_day() override;
    LocalDate date() override;
    uint64_t tick_ms() override { return ticks_; }
    void sleep_ms(int ms) override { advance(ms); }
    int wait_readable(std::span<const int> fds, int timeout_ms) override;

    void advance(int64_t ms);
    void set(LocalDate date, int32_t ms_since_midnight);
    int32_t now_ms() const { return ms_; }

private:
    LocalDate date_;
    int32_t ms_;
    uint64_t ticks_ = 1000000;
};

// Installs a clock for the lifetime of the object.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { set_clock(&c); }
    ~ScopedClock() { set_clock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

// Day of week (0 = Sunday) of a Gregorian date.
int day_of_week(int year, int month, int day);

}  // namespace plat
