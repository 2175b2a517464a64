// An in-memory channel for tests: the caller's keys are scripted, what the
// program sends is kept as a transcript, and the caller can hang up.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "kit/comm_channel.hpp"
#include "platform/wake_event.hpp"

namespace kit::testing {

// The caller's end of the line: keys typed, bytes received, whether the
// caller is still there. Shared by the channel and the test, so it outlives
// the channel the kit frees at program end.
struct CallerLine {
    std::string keys;
    size_t pos = 0;
    std::string sent;
    bool online = true;
    bool hang_up_when_done = true;  // hang up once every typed key was read
    plat::WakeEvent arrival;

    bool keys_left() const { return pos < keys.size(); }
    void type(std::string_view bytes) {
        keys.append(bytes);
        if (keys_left()) arrival.signal();
    }
};

class MemoryChannel final : public CommChannel {
public:
    explicit MemoryChannel(std::shared_ptr<CallerLine> line = std::make_shared<CallerLine>())
        : line_(std::move(line)) {}

    CallerLine& line() { return *line_; }
    void type(std::string_view bytes) { line_->type(bytes); }
    void hang_up() { line_->online = false; }
    bool keys_left() const { return line_->keys_left(); }

    bool open_handle(int h) override;
    bool open_port_with_line(int, int, char, int, int) override { return true; }
    bool open_port(int) override { return true; }
    void line_status(int& a, int& b) override;
    void set_line(int, char, int, int) override {}
    int baud_rate() override { return 115200; }
    void buffer_status(int& in_free, int& out_free, int& in_used, int& out_used) override;
    void set_dtr(bool on) override;
    bool char_ready() override { return keys_left(); }
    bool carrier() override;
    bool can_send(int) override { return true; }
    uint8_t read_char() override;
    bool send_char(uint8_t c) override;
    void pending_status(int& s) override { s = 0; }
    int handle() override { return handle_; }
    bool ok() override { return !failed; }
    void close() override { line_->online = false; }
    bool send_buffer(const uint8_t* bytes, int n, int& queued) override;
    bool send_block(const uint8_t* bytes, int n, int& queued) override { return send_buffer(bytes, n, queued); }
    bool read_buffer(uint8_t* dst, int n, int& got) override;
    void purge_output() override {}
    void purge_input() override { line_->pos = line_->keys.size(); }
    bool release(bool) override { return true; }
    bool reacquire(bool) override { return true; }
    void flush(const std::function<void()>&) override {}
    bool send_string(std::string_view s) override;
    void set_flow_control(int, int, int) override {}
    void set_worker_procs(WorkerProc, WorkerProc) override {}
    void worker() override {}
    int arrival_fd() const override { return line_->arrival.fd(); }
    void clear_arrival() override;

private:
    std::shared_ptr<CallerLine> line_;
    int handle_ = 0;
};

}  // namespace kit::testing
