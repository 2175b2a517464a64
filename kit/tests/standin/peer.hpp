// The caller's end of a test connection: reads with a deadline, writes, and
// descriptors that close themselves.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "kit/comm_channel.hpp"
#include "platform/fd_io.hpp"

namespace peer {

using Clock = std::chrono::steady_clock;

inline int ms_since(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// True when fd turns readable (or hangs up) within timeout_ms.
inline bool wait_readable(int fd, int timeout_ms) {
    plat::WaitItem item{fd, plat::io::in, 0};
    return plat::wait_io(std::span<plat::WaitItem>(&item, 1), timeout_ms) > 0;
}

// Reads until n bytes arrived, the other side closed, or timeout_ms passed.
inline std::string read_for(int fd, size_t n, int timeout_ms = 2000) {
    std::string out;
    const auto start = Clock::now();
    while (out.size() < n) {
        int left = timeout_ms - ms_since(start);
        if (left <= 0 || !wait_readable(fd, left)) break;
        uint8_t buf[4096];
        size_t want = std::min(sizeof buf, n - out.size());
        plat::IoResult r = plat::read_fd(fd, buf, want);
        if (r.count <= 0) break;
        out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(r.count));
    }
    return out;
}

// Everything that arrives until nothing more comes for quiet_ms.
inline std::string read_until_quiet(int fd, int quiet_ms = 150) {
    std::string out;
    while (wait_readable(fd, quiet_ms)) {
        uint8_t buf[4096];
        plat::IoResult r = plat::read_fd(fd, buf, sizeof buf);
        if (r.count <= 0) break;
        out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(r.count));
    }
    return out;
}

inline void write_all(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        plat::IoResult r =
            plat::write_fd(fd, reinterpret_cast<const uint8_t*>(bytes.data()) + done, bytes.size() - done);
        if (r.count <= 0) return;
        done += static_cast<size_t>(r.count);
    }
}

inline const uint8_t* bytes_of(std::string_view s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Keys from a channel, waiting on its arrival descriptor as a key wait does.
inline std::string read_keys(kit::CommChannel& ch, size_t n, int timeout_ms = 2000) {
    std::string out;
    const auto start = Clock::now();
    while (out.size() < n && ms_since(start) < timeout_ms) {
        ch.clear_arrival();
        while (ch.char_ready() && out.size() < n) out += static_cast<char>(ch.read_char());
        if (out.size() < n) wait_readable(ch.arrival_fd(), 100);
    }
    return out;
}

// True once the channel reports its carrier gone, within timeout_ms.
inline bool carrier_lost_within(kit::CommChannel& ch, int timeout_ms) {
    const auto start = Clock::now();
    for (;;) {
        ch.clear_arrival();
        if (!ch.carrier()) return true;
        int left = timeout_ms - ms_since(start);
        if (left <= 0) return false;
        wait_readable(ch.arrival_fd(), left);
    }
}

// A descriptor closed when the object goes away (unless already closed).
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    operator int() const { return fd_; }
    void close() {
        plat::close_fd(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

}  // namespace peer
