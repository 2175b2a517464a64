#include "kit/telnet_channel.hpp"

#include <algorithm>

#include "platform/socket.hpp"

namespace kit {

using namespace telnet;

// ---- TelnetFilter --------------------------------------------------------------

int TelnetFilter::feed(const uint8_t* in, int n, uint8_t* data, std::vector<uint8_t>& answers) {
    int out = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t b = in[i];
        switch (state_) {
        case State::after_cr:
            state_ = State::data;
            if (b == 0) break;  // CR NUL is CR
            [[fallthrough]];
        case State::data:
            if (b == iac) {
                state_ = State::after_iac;
            } else {
                data[out++] = b;
                if (b == '\r') state_ = State::after_cr;
            }
            break;
        case State::after_iac:
            if (b == iac) {
                data[out++] = iac;
                state_ = State::data;
            } else {
                command(b);
            }
            break;
        case State::option:
            answer(b, answers);
            state_ = State::data;
            break;
        case State::sub:
            if (b == iac) state_ = State::sub_iac;
            break;
        case State::sub_iac:
            if (b == se)
                state_ = State::data;
            else if (b == iac)
                state_ = State::sub;  // an escaped 255 inside the subnegotiation
            else
                command(b);
            break;
        }
    }
    return out;
}

void TelnetFilter::command(uint8_t c) {
    if (c >= will && c <= dont) {
        command_ = c;
        state_ = State::option;
    } else if (c == sb) {
        state_ = State::sub;
    } else {
        state_ = State::data;  // a command without an option byte
    }
}

void TelnetFilter::answer(uint8_t option, std::vector<uint8_t>& answers) {
    if (last_request_[option] == command_) return;
    last_request_[option] = command_;
    const bool agree = option == opt_binary || option == opt_echo || option == opt_sga;
    answers.push_back(iac);
    answers.push_back(agree ? will : wont);
    answers.push_back(option);
}

int TelnetFilter::escape(const uint8_t* in, int n, uint8_t* out) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        out[m++] = in[i];
        if (in[i] == iac) out[m++] = iac;
    }
    return m;
}

// ---- TelnetChannel ---------------------------------------------------------------

TelnetChannel::~TelnetChannel() { stop_workers(); }

bool TelnetChannel::open_handle(int socket) {
    socket_ = socket;
    if (!device_.adopt(socket)) {
        error_text = plat::os_error_text("Error in initializing socket, #", device_.last_error());
        failed = true;
        return false;
    }
    if (!start_workers()) return false;
    static constexpr uint8_t offer[] = {iac, will, opt_echo, iac, will, opt_binary};
    send_on_socket(offer, sizeof offer);
    return true;
}

bool TelnetChannel::open_port_with_line(int, int, char, int, int) { return true; }

bool TelnetChannel::open_port(int) { return socket_ >= 0 && start_workers(); }

bool TelnetChannel::carrier() { return !failed && socket_ >= 0 && connected(); }

void TelnetChannel::close() {
    if (socket_ < 0) return;
    stop_workers();
    device_.release();
    plat::shutdown_and_close(socket_);
    socket_ = -1;
    lose_connection("");
}

bool TelnetChannel::send_on_socket(const uint8_t* bytes, size_t n) {
    std::lock_guard<std::mutex> g(socket_mutex_);
    size_t done = 0;
    while (done < n) {
        plat::IoResult r = device_.write_some(bytes + done, n - done);
        if (r.count > 0) {
            done += static_cast<size_t>(r.count);
            continue;
        }
        if (r.failed()) {
            lose_connection("");
            return false;
        }
        // Full: wait until the socket takes more, or the workers stop.
        plat::WaitItem items[] = {{stop_fd(), plat::io::in, 0}, {device_.fd(), plat::io::out, 0}};
        plat::wait_io(items, -1);
        if (stopping()) return false;
    }
    return true;
}

void TelnetChannel::run_reader() {
    uint8_t* buf = receive_scratch();
    std::vector<uint8_t> answers;
    const std::string closed_text = plat::os_error_text("Error in communications(1), #", 0);
    while (!stopping()) {
        clear_wake();
        const int room = receive_room();
        // With no room left only a close is watched for; the bytes wait in
        // the socket until the program has taken some.
        const unsigned want = room > 0 ? plat::io::in | plat::io::peer_closed : plat::io::peer_closed;
        plat::WaitItem items[] = {
            {stop_fd(), plat::io::in, 0}, {wake_fd(), plat::io::in, 0}, {device_.fd(), want, 0}};
        plat::wait_io(items, -1);
        if (stopping()) break;
        const unsigned got = items[2].got;
        if (got == 0) continue;
        if (room == 0) {
            if ((got & (plat::io::peer_closed | plat::io::hangup | plat::io::error)) != 0) {
                lose_connection(closed_text);
                break;
            }
            continue;
        }
        plat::IoResult r = device_.read_some(buf, static_cast<size_t>(std::min(room, kReadChunk)));
        if (r.would_block()) continue;
        if (r.failed()) {
            lose_connection(plat::os_error_text("Error in communications(2), #", r.err));
            break;
        }
        if (r.count == 0) {
            lose_connection(closed_text);
            break;
        }
        answers.clear();
        const int n = filter_.feed(buf, static_cast<int>(r.count), buf, answers);
        if (!answers.empty()) send_on_socket(answers.data(), answers.size());
        deliver(buf, n);
    }
}

void TelnetChannel::run_writer() {
    plat::block_sigpipe_in_this_thread();
    std::vector<uint8_t> plain(kMaxHeld);
    std::vector<uint8_t> out(2 * static_cast<size_t>(kMaxHeld));
    for (;;) {
        const int n = take_for_sending(plain.data(), kMaxHeld);
        if (n == 0) break;
        if (!connected()) continue;  // nobody left to send to
        const int m = TelnetFilter::escape(plain.data(), n, out.data());
        send_on_socket(out.data(), static_cast<size_t>(m));
    }
}

}  // namespace kit
