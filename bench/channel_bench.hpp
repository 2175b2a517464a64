// Shared pieces of the channel benchmarks: loopback connections, the door
// side served by a child process (this benchmark program again in a server
// role, or the kit's doortest), timing and figures.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fd_io.hpp"
#include "platform/paths.hpp"
#include "platform/process.hpp"
#include "platform/socket.hpp"

namespace chanbench {

using Clock = std::chrono::steady_clock;

inline double us_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

// A TCP connection on 127.0.0.1: the bench is the caller on `client`; the
// door inherits `server` (not close-on-exec).
struct Connection {
    int client = -1;
    int server = -1;
};

inline Connection connect_loopback() {
    uint16_t port = 0;
    const int listener = plat::tcp_listen_loopback(port);
    Connection c;
    c.client = plat::tcp_connect_loopback(port);
    c.server = plat::tcp_accept(listener, false);
    plat::close_fd(listener);
    plat::tcp_no_delay(c.client);  // a caller's keys go out one by one
    return c;
}

// Starts argv with the server end inherited (standard streams on
// /dev/null) and closes this program's copy of it. Returns the process id.
inline int start_door(const std::vector<std::string>& argv, Connection& c) {
    plat::ChildSpec spec;
    spec.argv = argv;
    spec.inherit_fd = c.server;
    int error = 0;
    const int pid = plat::spawn_child(spec, error);
    if (pid < 0) std::fprintf(stderr, "cannot start %s (error %d)\n", argv[0].c_str(), error);
    plat::close_fd(c.server);
    c.server = -1;
    return pid;
}

inline std::string beside_me(const char* name) { return plat::program_dir() + name; }

inline bool doortest_present() { return std::filesystem::exists(beside_me("doortest")); }

// The kit switches of a door on an inherited telnet socket.
inline std::vector<std::string> doortest_argv(const std::string& mode, int fd) {
    return {beside_me("doortest"), mode, "-H" + std::to_string(fd), "-N1", "-T"};
}

// Reads and discards until nothing arrives for quiet_ms; returns the count.
inline size_t drain(int fd, int quiet_ms) {
    size_t total = 0;
    for (;;) {
        plat::WaitItem item{fd, plat::io::in, 0};
        if (plat::wait_io(std::span<plat::WaitItem>(&item, 1), quiet_ms) == 0) return total;
        uint8_t buf[65536];
        plat::IoResult r = plat::read_fd(fd, buf, sizeof buf);
        if (r.count <= 0) return total;
        total += static_cast<size_t>(r.count);
    }
}

inline void send_byte(int fd, uint8_t b) { plat::write_fd(fd, &b, 1); }

// Blocks until one byte arrives; false at the end of the connection.
inline bool receive_byte(int fd, uint8_t& b) { return plat::read_fd(fd, &b, 1).count == 1; }

struct Figures {
    double median = 0;
    double p99 = 0;
    double max = 0;
};

inline Figures figures_of(std::vector<double> v) {
    Figures f;
    if (v.empty()) return f;
    std::sort(v.begin(), v.end());
    f.median = v[v.size() / 2];
    f.p99 = v[std::min(v.size() - 1, (v.size() * 99) / 100)];
    f.max = v.back();
    return f;
}

}  // namespace chanbench
