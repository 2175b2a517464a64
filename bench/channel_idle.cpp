// The cost of an idle caller over telnet: processor time and voluntary
// context switches (wake-ups) per second of the door process, all its
// threads included, read from the running process at the start and the end
// of the idle window, so start-up and shutdown drop out.
//   channel  a TelnetChannel waiting for keys as the kit does (arrival
//            descriptor, once-a-second timeout and carrier check)
//   door     doortest -E, the kit's test door (when built beside this)
//
//   bench_channel_idle [seconds]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/channel_bench.hpp"
#include "kit/telnet_channel.hpp"
#include "platform/usage.hpp"

namespace {

using namespace chanbench;

constexpr uint8_t kEsc = 27;

int serve_channel(int fd) {
    kit::TelnetChannel ch;
    if (!ch.open_handle(fd)) return 1;
    for (;;) {
        ch.clear_arrival();
        while (ch.char_ready())
            if (ch.read_char() == kEsc) return 0;
        if (!ch.carrier()) return 1;
        plat::WaitItem item{ch.arrival_fd(), plat::io::in, 0};
        plat::wait_io(std::span<plat::WaitItem>(&item, 1), 1000);
    }
}

plat::Usage run_idle(const std::vector<std::string>& base, bool door, int seconds) {
    Connection c = connect_loopback();
    std::vector<std::string> argv = base;
    if (door)
        argv = doortest_argv("-E", c.server);
    else
        argv.push_back(std::to_string(c.server));
    const int pid = start_door(argv, c);
    drain(c.client, 300);
    const plat::Usage before = plat::running_usage(pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const plat::Usage after = plat::running_usage(pid);
    send_byte(c.client, kEsc);
    plat::wait_child(pid);
    plat::close_fd(c.client);
    return after - before;
}

void measure(const char* name, const std::vector<std::string>& base, bool door, int seconds) {
    const plat::Usage idle = run_idle(base, door, seconds);
    std::printf("%-8s %.3f ms CPU/s   %.2f wake-ups/s   (%.1f ms, %ld voluntary switches in %d s)\n", name,
                idle.cpu_ms / seconds, static_cast<double>(idle.voluntary_switches) / seconds, idle.cpu_ms,
                idle.voluntary_switches, seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--serve-channel") == 0) return serve_channel(std::atoi(argv[2]));
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    std::printf("idle caller over telnet, whole door process\n");
    measure("channel", {beside_me("bench_channel_idle"), "--serve-channel"}, false, seconds);
    if (doortest_present())
        measure("door", {}, true, seconds);
    else
        std::printf("door     (doortest not built beside this program)\n");
    return 0;
}
