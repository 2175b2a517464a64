#include "platform/clock.hpp"

#include <poll.h>
#include <time.h>

#include <cerrno>
#include <vector>

namespace plat {

namespace {

Clock* g_clock = nullptr;

SystemClock& system_clock() {
    static SystemClock c;
    return c;
}

constexpr int32_t kDayMs = 86'400'000;

int poll_fds(std::span<const int> fds, int timeout_ms) {
    std::vector<pollfd> p;
    p.reserve(fds.size());
    for (int fd : fds)
        if (fd >= 0) p.push_back(pollfd{fd, POLLIN, 0});
    for (;;) {
        int r = ::poll(p.data(), p.size(), timeout_ms);
        if (r >= 0) return r;
        if (errno != EINTR) return 0;
        // A signal arrived: let the caller look at its flags.
        return 0;
    }
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : d[m - 1];
}

}  // namespace

Clock& clock() { return g_clock != nullptr ? *g_clock : system_clock(); }

void set_clock(Clock* c) { g_clock = c; }

TimeOfDay time_of_day() { return clock().time_of_day(); }
LocalDate local_date() { return clock().date(); }
void sleep_ms(int ms) { clock().sleep_ms(ms); }

int32_t ms_since_midnight() {
    TimeOfDay t = clock().time_of_day();
    return ((t.hour * 3600 + t.minute * 60 + t.second) * 1000) + t.hundredths * 10;
}

int32_t seconds_since_midnight() { return ms_since_midnight() / 1000; }

int32_t elapsed_ms(int32_t a, int32_t b) { return b < a ? b - a + kDayMs : b - a; }

int32_t elapsed_seconds(int32_t a, int32_t b) { return b < a ? b - a + 86'400 : b - a; }

int day_of_week(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

// ---- SystemClock ---------------------------------------------------------

TimeOfDay SystemClock::time_of_day() {
    timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    tm local {};
    ::localtime_r(&ts.tv_sec, &local);
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 10'000'000)};
}

LocalDate SystemClock::date() {
    time_t now = ::time(nullptr);
    tm local {};
    ::localtime_r(&now, &local);
    return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday};
}

uint64_t SystemClock::tick_ms() {
    timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000u;
}

void SystemClock::sleep_ms(int ms) {
    if (ms <= 0) return;
    timespec ts {ms / 1000, static_cast<long>(ms % 1000) * 1'000'000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

int SystemClock::wait_readable(std::span<const int> fds, int timeout_ms) {
    return poll_fds(fds, timeout_ms);
}

// ---- FakeClock -----------------------------------------------------------

FakeClock::FakeClock(LocalDate date, int32_t ms) : date_(date), ms_(ms) {
    date_.day_of_week = day_of_week(date_.year, date_.month, date_.day);
}

void FakeClock::set(LocalDate date, int32_t ms) {
    date_ = date;
    date_.day_of_week = day_of_week(date_.year, date_.month, date_.day);
    ms_ = ms;
}

TimeOfDay FakeClock::time_of_day() {
    int32_t s = ms_ / 1000;
    return TimeOfDay{s / 3600, (s / 60) % 60, s % 60, (ms_ % 1000) / 10};
}

LocalDate FakeClock::date() { return date_; }

void FakeClock::advance(int64_t ms) {
    if (ms <= 0) return;
    ticks_ += static_cast<uint64_t>(ms);
    int64_t total = ms_ + ms;
    while (total >= kDayMs) {
        total -= kDayMs;
        if (++date_.day > days_in_month(date_.year, date_.month)) {
            date_.day = 1;
            if (++date_.month > 12) {
                date_.month = 1;
                ++date_.year;
            }
        }
        date_.day_of_week = (date_.day_of_week + 1) % 7;
    }
    ms_ = static_cast<int32_t>(total);
}

int FakeClock::wait_readable(std::span<const int> fds, int timeout_ms) {
    int ready = poll_fds(fds, 0);
    if (ready > 0) return ready;
    advance(timeout_ms < 0 ? 1000 : timeout_ms);
    return 0;
}

}  // namespace plat
