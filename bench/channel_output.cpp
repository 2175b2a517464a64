// Output throughput to a caller who reads as fast as it can: text in writes
// of 255 bytes (every 64th byte a 255, which goes out doubled), over an
// inherited TCP socket on 127.0.0.1. Reported as the door's own bytes per
// second, from the first byte received to the end of the connection.
//   channel  send_buffer on a TelnetChannel
//   door     doortest -O<megabytes>, i.e. door_write (when built beside this)
//
//   bench_channel_output [megabytes]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/channel_bench.hpp"
#include "kit/telnet_channel.hpp"
#include "platform/usage.hpp"

namespace {

using namespace chanbench;

std::string text_chunk() {
    std::string chunk(255, 'x');
    for (size_t i = 0; i < chunk.size(); i += 64) chunk[i] = static_cast<char>(255);
    return chunk;
}

int serve_channel(int fd, int megabytes) {
    kit::TelnetChannel ch;
    if (!ch.open_handle(fd)) return 1;
    const std::string chunk = text_chunk();
    const long total = static_cast<long>(megabytes) * 1024 * 1024;
    for (long sent = 0; sent < total; sent += 255) ch.send_string(chunk);
    ch.flush(nullptr);
    return 0;
}

void measure(const char* name, const std::vector<std::string>& argv_base, bool door, int megabytes) {
    const plat::Usage before = plat::children_usage();
    Connection c = connect_loopback();
    std::vector<std::string> argv = argv_base;
    if (door) {
        argv = doortest_argv("-O" + std::to_string(megabytes), c.server);
    } else {
        argv.push_back(std::to_string(c.server));
        argv.push_back(std::to_string(megabytes));
    }
    const int pid = start_door(argv, c);
    std::vector<uint8_t> buf(1 << 16);
    size_t wire = 0;
    Clock::time_point first {};
    for (;;) {
        plat::IoResult r = plat::read_fd(c.client, buf.data(), buf.size());
        if (r.count <= 0) break;
        if (wire == 0) first = Clock::now();
        wire += static_cast<size_t>(r.count);
    }
    const auto end = Clock::now();
    plat::wait_child(pid);
    plat::close_fd(c.client);
    const plat::Usage cost = plat::children_usage() - before;
    const double seconds = us_between(first, end) / 1e6;
    const double door_mb = static_cast<double>(megabytes) * 1024 * 1024 / 1e6;
    std::printf("%-8s %7.1f MB/s of door text (%.1f MB on the wire in %.3f s); door process %.0f ms CPU, "
                "%.1f MB per CPU second, %ld waits\n",
                name, door_mb / seconds, static_cast<double>(wire) / 1e6, seconds, cost.cpu_ms,
                door_mb / (cost.cpu_ms / 1000.0), cost.voluntary_switches);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--serve-channel") == 0)
        return serve_channel(std::atoi(argv[2]), std::atoi(argv[3]));
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 200;
    std::printf("output to a fast reader, 255-byte writes\n");
    measure("channel", {beside_me("bench_channel_output"), "--serve-channel"}, false, megabytes);
    if (doortest_present())
        measure("door", {}, true, megabytes);
    else
        std::printf("door     (doortest not built beside this program)\n");
    return 0;
}
