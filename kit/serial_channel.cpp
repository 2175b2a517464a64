#include "kit/serial_channel.hpp"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "platform/serial.hpp"

namespace kit {

namespace {

constexpr char kParamsPrefix[] = "Error setting up communications parameters: #";

}  // namespace

SerialChannel::SerialChannel(std::string device_prefix)
    : QueuedChannel(Workers::single), prefix_(std::move(device_prefix)) {}

SerialChannel::~SerialChannel() { stop_workers(); }

bool SerialChannel::open_handle(int handle) {
    stop_workers();
    port_ = handle;
    given_ = handle;
    port_number_ = -1;
    if (!device_.adopt(handle)) {
        error_text = plat::os_error_text("Error setting up communications buffer: #", device_.last_error());
        port_ = -1;
        failed = true;
        return false;
    }
    // The driver's buffers keep the system's own size; nothing to set up.
    if (int e = plat::serial_set_immediate_reads(device_fd()); e != 0)
        error_text = plat::os_error_text("Error setting communications timeout: #", e);
    if (!start_workers()) return false;
    set_line(-1, 'N', 8, 1);
    return true;
}

bool SerialChannel::open_port_with_line(int port, int baud, char parity, int data, int stop) {
    if (!open_port(port)) return false;
    set_line(baud, parity, data, stop);
    return true;
}

bool SerialChannel::open_port(int port) {
    stop_workers();
    port_number_ = port;
    int err = 0;
    const int fd = plat::serial_open(prefix_ + std::to_string(port - 1), err);
    if (fd < 0) {
        error_text = "Unable to open communications port";
        device_.release();
        port_ = -1;
        return false;
    }
    device_.own(fd);
    port_ = fd;
    if (int e = plat::serial_set_immediate_reads(fd); e != 0)
        error_text = plat::os_error_text("Error setting communications timeout: #", e);
    start_workers();
    return true;
}

void SerialChannel::line_status(int&, int& b) {
    unsigned bits = 0;
    if (port_ >= 0 && !plat::serial_modem_status(device_fd(), bits))
        bits = connected() ? plat::modem::dcd : 0;
    b = (b % 16) + static_cast<int>(bits);
}

void SerialChannel::set_line(int baud, char parity, int data, int stop) {
    if (baud == 11520) baud = 115200;
    if (parity != 'E' && parity != 'M' && parity != 'N' && parity != 'O') parity = 'N';
    if (port_ < 0) {
        error_text = plat::os_error_text(kParamsPrefix, EBADF);
        return;
    }
    if (int e = plat::serial_set_line(device_fd(), baud, parity, data, stop); e != 0)
        error_text = plat::os_error_text(kParamsPrefix, e);
}

int SerialChannel::baud_rate() {
    if (port_ < 0) return 0;
    return std::max(plat::serial_baud(device_fd()), 0);
}

void SerialChannel::set_dtr(bool on) {
    if (port_ >= 0) plat::serial_set_dtr(device_fd(), on);
}

bool SerialChannel::carrier() {
    if (port_ < 0 || failed || !connected()) return false;
    unsigned bits = 0;
    if (plat::serial_modem_status(device_fd(), bits)) return (bits & plat::modem::dcd) != 0;
    return true;  // no modem lines: the worker watches for the other side's hang-up
}

void SerialChannel::close() {
    if (port_ < 0) return;
    stop_workers();
    const bool inherited = port_number_ == -1;
    device_.release();
    if (inherited) plat::close_fd(port_);
    port_ = -1;
    lose_connection("");
}

void SerialChannel::purge_output() {
    QueuedChannel::purge_output();
    if (port_ >= 0) plat::serial_discard(device_fd(), false, true);
}

void SerialChannel::purge_input() {
    QueuedChannel::purge_input();
    if (port_ >= 0) plat::serial_discard(device_fd(), true, false);
}

bool SerialChannel::reacquire(bool reopen) {
    if (!reopen) return port_ >= 0 && start_workers();
    stop_workers();
    return port_number_ == -1 ? open_handle(given_) : open_port(port_number_);
}

void SerialChannel::set_flow_control(int a, int b, int c) {
    if (port_ >= 0) plat::serial_set_flow_control(device_fd(), a != 0, b != 0, c != 0);
}

void SerialChannel::worker() {
    plat::block_sigpipe_in_this_thread();
    uint8_t* buf = receive_scratch();
    std::vector<uint8_t> out(kMaxHeld);
    int out_len = 0;
    int out_pos = 0;
    bool line_up = connected();
    const unsigned gone = plat::io::hangup | plat::io::error;
    while (!stopping()) {
        clear_wake();
        const int room = receive_room();
        if (out_pos == out_len) {
            out_len = take_queued_now(out.data(), kMaxHeld);
            out_pos = 0;
        }
        if (!line_up) {
            out_pos = out_len;  // the caller is gone: output is dropped
            if (out_len > 0) continue;
        }
        // Asking for nothing still reports a hang-up, so a full receive
        // queue does not hide a caller who left.
        unsigned want = 0;
        if (room > 0) want |= plat::io::in;
        if (out_pos < out_len) want |= plat::io::out;
        plat::WaitItem items[] = {
            {stop_fd(), plat::io::in, 0}, {wake_fd(), plat::io::in, 0}, {line_up ? device_fd() : -1, want, 0}};
        plat::wait_io(items, -1);
        if (stopping()) break;
        const unsigned got = items[2].got;
        if ((got & plat::io::in) != 0 && room > 0) {
            plat::IoResult r = device_.read_some(buf, static_cast<size_t>(std::min(room, kReadChunk)));
            if (r.count > 0) {
                deliver(buf, static_cast<int>(r.count));
            } else if (r.failed() || (got & gone) != 0) {
                lose_connection("");
                line_up = false;
                continue;
            }
        } else if ((got & gone) != 0) {
            lose_connection("");
            line_up = false;
            continue;
        }
        if ((got & plat::io::out) != 0 && out_pos < out_len) {
            plat::IoResult r = device_.write_some(out.data() + out_pos, static_cast<size_t>(out_len - out_pos));
            if (r.count > 0) {
                out_pos += static_cast<int>(r.count);
            } else if (r.failed()) {
                lose_connection("");
                line_up = false;
            }
        }
    }
}

}  // namespace kit
