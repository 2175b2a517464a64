// Keystroke echo over loopback: the caller sends one byte and waits for its
// echo, 2,000 times (after 200 to warm up). Measured in one run, each door
// in a process of its own on an inherited TCP socket:
//   plain    a blocking read/write echo loop (the floor)
//   channel  a TelnetChannel with the kit's way of waiting for keys
//   door     doortest -E, the kit's test door (when built beside this)
//
//   bench_channel_echo [count]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/channel_bench.hpp"
#include "kit/telnet_channel.hpp"

namespace {

using namespace chanbench;

constexpr uint8_t kEsc = 27;
constexpr int kWarmUp = 200;

int serve_plain(int fd) {
    uint8_t b = 0;
    while (receive_byte(fd, b) && b != kEsc) plat::write_fd(fd, &b, 1);
    return 0;
}

// The door side of the channel run: waits for keys on the arrival
// descriptor (with the kit's once-a-second timeout) and echoes each.
int serve_channel(int fd) {
    kit::TelnetChannel ch;
    if (!ch.open_handle(fd)) return 1;
    for (;;) {
        ch.clear_arrival();
        while (ch.char_ready()) {
            uint8_t c = ch.read_char();
            if (c == kEsc) return 0;
            ch.send_char(c);
        }
        if (!ch.carrier()) return 1;
        plat::WaitItem item{ch.arrival_fd(), plat::io::in, 0};
        plat::wait_io(std::span<plat::WaitItem>(&item, 1), 1000);
    }
}

bool measure(const char* name, const std::vector<std::string>& argv_without_fd, bool door_switches,
             int count) {
    Connection c = connect_loopback();
    std::vector<std::string> argv = argv_without_fd;
    if (door_switches)
        argv = doortest_argv("-E", c.server);
    else
        argv.push_back(std::to_string(c.server));
    const int pid = start_door(argv, c);
    if (pid < 0) return false;
    drain(c.client, 300);  // the opening negotiation and first screen

    std::vector<double> us;
    us.reserve(static_cast<size_t>(count));
    for (int i = 0; i < kWarmUp + count; ++i) {
        const uint8_t key = static_cast<uint8_t>('a' + i % 26);
        uint8_t back = 0;
        auto t0 = Clock::now();
        send_byte(c.client, key);
        if (!receive_byte(c.client, back) || back != key) {
            std::fprintf(stderr, "%s: echo lost at %d\n", name, i);
            break;
        }
        auto t1 = Clock::now();
        if (i >= kWarmUp) us.push_back(us_between(t0, t1));
    }
    send_byte(c.client, kEsc);
    plat::wait_child(pid);
    plat::close_fd(c.client);
    Figures f = figures_of(us);
    std::printf("%-8s median %7.1f us   p99 %7.1f us   max %8.1f us   (%zu round trips)\n", name, f.median,
                f.p99, f.max, us.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--serve-plain") == 0) return serve_plain(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--serve-channel") == 0) return serve_channel(std::atoi(argv[2]));
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const std::string self = beside_me("bench_channel_echo");
    std::printf("keystroke echo over 127.0.0.1, one byte at a time\n");
    measure("plain", {self, "--serve-plain"}, false, count);
    measure("channel", {self, "--serve-channel"}, false, count);
    if (doortest_present())
        measure("door", {}, true, count);
    else
        std::printf("door     (doortest not built beside this program)\n");
    return 0;
}
