// Benchmarks of the kit spine, run by hand:
//
//   kit_bench idle [seconds]    CPU time and wake-ups of a key wait with no key
//                               (doortest -L -E on a pty; default 20 s)
//   kit_bench pty-latency       key to echo through a pty (local keyboard)
//   kit_bench channel-latency   key to door_read_key through an in-process channel
//   kit_bench write             door_write with pipe codes into the screen model
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kit/comm_channel.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "kit/kit_state.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/usage.hpp"
#include "platform/wake_event.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%s: n=%zu median=%.1f us p99=%.1f us max=%.1f us\n", what, v.size(), v[v.size() / 2],
                v[v.size() * 99 / 100], v.back());
}

// doortest on a pty, logged in locally and echoing keys.
struct PtyDoor {
    int master = -1;
    pid_t pid = -1;

    explicit PtyDoor(const char* mode) {
        std::string door = plat::program_dir() + "doortest";
        pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (pid == 0) {
            execl(door.c_str(), "doortest", "-L", mode, static_cast<char*>(nullptr));
            _exit(127);
        }
        drain(300);
        write_byte('\r');  // accept the name SYSOP
        drain(300);
    }
    void write_byte(char c) const { (void)!::write(master, &c, 1); }
    // Reads whatever arrives for ms milliseconds.
    void drain(int ms) const {
        char buf[65536];
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && ::read(master, buf, sizeof buf) <= 0) return;
        }
    }
    // Waits until byte c shows up in the output.
    bool wait_for(char c) const {
        char buf[4096];
        for (;;) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) return false;
            ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) return false;
            if (std::memchr(buf, c, static_cast<size_t>(n)) != nullptr) return true;
        }
    }
    void finish() {
        write_byte(27);
        drain(200);
        int status = 0;
        waitpid(pid, &status, 0);
        ::close(master);
    }
};

int idle(int seconds) {
    PtyDoor door("-E");
    // Read from the running door at both ends of the window, so its start
    // and end drop out.
    plat::Usage before = plat::running_usage(door.pid);
    auto start = Clock::now();
    door.drain(seconds * 1000);
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    plat::Usage idle = plat::running_usage(door.pid) - before;
    door.finish();
    std::printf("idle key wait over %.1f s: %.3f ms CPU per second, %.2f wake-ups per second\n", wall,
                idle.cpu_ms / wall, static_cast<double>(idle.voluntary_switches) / wall);
    return 0;
}

int pty_latency() {
    PtyDoor door("-E");
    std::vector<double> samples;
    for (int i = 0; i < 1000; ++i) {
        char c = static_cast<char>('a' + i % 26);
        auto t0 = Clock::now();
        door.write_byte(c);
        if (!door.wait_for(c)) break;
        samples.push_back(micros(Clock::now() - t0));
    }
    door.finish();
    report("key to echo through a pty (local keyboard, mirror drawing)", samples);
    return 0;
}

// A channel fed by another thread, as a real channel's reader feeds it.
class ThreadFedChannel final : public kit::CommChannel {
public:
    void type(char c) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            keys_.push_back(static_cast<uint8_t>(c));
        }
        arrival_.signal();
    }
    bool open_handle(int) override { return true; }
    bool open_port_with_line(int, int, char, int, int) override { return true; }
    bool open_port(int) override { return true; }
    void line_status(int& a, int& b) override { a = 0, b = 136; }
    void set_line(int, char, int, int) override {}
    int baud_rate() override { return 115200; }
    void buffer_status(int& a, int& b, int& c, int& d) override { a = b = c = d = 0; }
    void set_dtr(bool) override {}
    bool char_ready() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return !keys_.empty();
    }
    bool carrier() override { return true; }
    bool can_send(int) override { return true; }
    uint8_t read_char() override {
        std::lock_guard<std::mutex> lock(mutex_);
        uint8_t b = keys_.front();
        keys_.pop_front();
        return b;
    }
    bool send_char(uint8_t) override { return true; }
    void pending_status(int& s) override { s = 0; }
    int handle() override { return 0; }
    bool ok() override { return true; }
    void close() override {}
    bool send_buffer(const uint8_t*, int n, int& q) override { return q = n, true; }
    bool send_block(const uint8_t*, int n, int& q) override { return q = n, true; }
    bool read_buffer(uint8_t*, int, int& got) override { return got = 0, false; }
    void purge_output() override {}
    void purge_input() override {}
    bool release(bool) override { return true; }
    bool reacquire(bool) override { return true; }
    void flush(const std::function<void()>&) override {}
    bool send_string(std::string_view) override { return true; }
    void set_flow_control(int, int, int) override {}
    void set_worker_procs(kit::WorkerProc, kit::WorkerProc) override {}
    void worker() override {}
    int arrival_fd() const override { return arrival_.fd(); }
    void clear_arrival() override { arrival_.drain(); }

private:
    std::mutex mutex_;
    std::deque<uint8_t> keys_;
    plat::WakeEvent arrival_;
};

int channel_latency() {
    kit::KitEnvironment env;
    ThreadFedChannel* channel = nullptr;
    env.channel_factory = [&](int) {
        auto c = std::make_unique<ThreadFedChannel>();
        channel = c.get();
        return std::unique_ptr<kit::CommChannel>(std::move(c));
    };
    kit::set_kit_environment(std::move(env));
    std::vector<double> samples;
    plat::run_program([&] {
        kit::door_init({"kit_bench", "-H1", "-N1", "-T"});
        kit::door_start();
        const int keys = 2000;
        std::atomic<int64_t> sent_at{0};
        std::thread typist([&] {
            for (int i = 0; i < keys; ++i) {
                // Give the main thread time to fall asleep in its key wait.
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                sent_at = Clock::now().time_since_epoch().count();
                channel->type('k');
                while (sent_at != 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
        for (int i = 0; i < keys; ++i) {
            kit::door_read_key();
            int64_t t0 = sent_at.exchange(0);
            samples.push_back(micros(Clock::now().time_since_epoch() - Clock::duration(t0)));
        }
        typist.join();
    });
    report("key to door_read_key through an in-process channel", samples);
    return 0;
}

int write_throughput() {
    kit::KitEnvironment env;
    kit::set_kit_environment(std::move(env));
    double mb_per_s = 0;
    plat::run_program([&] {
        kit::door_init({"kit_bench"});
        std::string text;
        while (text.size() < 240) text += "|0EGold |0Fpieces |1Fin the |07safe ";
        text.resize(255);
        const int rounds = 400000;
        auto t0 = Clock::now();
        for (int i = 0; i < rounds; ++i) kit::door_write(text);
        double s = std::chrono::duration<double>(Clock::now() - t0).count();
        mb_per_s = rounds * 255.0 / s / 1e6;
    });
    std::printf("door_write with pipe codes into the screen model: %.1f MB/s\n", mb_per_s);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "idle") return idle(argc > 2 ? std::atoi(argv[2]) : 20);
    if (what == "pty-latency") return pty_latency();
    if (what == "channel-latency") return channel_latency();
    if (what == "write") return write_throughput();
    std::fprintf(stderr, "usage: kit_bench idle [seconds] | pty-latency | channel-latency | write\n");
    return 2;
}
