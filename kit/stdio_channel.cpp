#include "kit/stdio_channel.hpp"

#include <algorithm>
#include <vector>

namespace kit {

StdioChannel::~StdioChannel() { stop_workers(); }

bool StdioChannel::open_handle(int) {
    if (!in_.adopt(in_fd_) || !out_.adopt(out_fd_)) {
        failed = true;
        return false;
    }
    open_ = true;
    in_raw_.enter(in_fd_);
    if (out_fd_ != in_fd_) out_raw_.enter(out_fd_);
    return start_workers();
}

bool StdioChannel::open_port_with_line(int, int, char, int, int) { return true; }

bool StdioChannel::open_port(int) { return open_ && start_workers(); }

bool StdioChannel::carrier() { return !failed && open_ && connected(); }

void StdioChannel::close() {
    if (!open_) return;
    stop_workers();
    out_raw_.restore();
    in_raw_.restore();
    in_.release();
    out_.release();
    open_ = false;
    lose_connection("");
}

void StdioChannel::run_reader() {
    uint8_t* buf = receive_scratch();
    const unsigned gone = plat::io::hangup | plat::io::error;
    while (!stopping()) {
        clear_wake();
        const int room = receive_room();
        // Output is watched too (for nothing but hang-up and error), so a
        // reader that went away on that side ends the session as well.
        plat::WaitItem items[] = {
            {stop_fd(), plat::io::in, 0},
            {wake_fd(), plat::io::in, 0},
            {in_.fd(), room > 0 ? plat::io::in : plat::io::peer_closed, 0},
            {out_.fd() != in_.fd() ? out_.fd() : -1, 0, 0},
        };
        plat::wait_io(items, -1);
        if (stopping()) break;
        if ((items[3].got & gone) != 0) {
            lose_connection("");
            break;
        }
        const unsigned got = items[2].got;
        if (got == 0) continue;
        if (room == 0) {
            if ((got & (gone | plat::io::peer_closed)) != 0) {
                lose_connection("");
                break;
            }
            continue;
        }
        plat::IoResult r = in_.read_some(buf, static_cast<size_t>(std::min(room, kReadChunk)));
        if (r.would_block()) continue;
        if (r.failed() || r.count == 0) {  // end of input, or a terminal hung up
            lose_connection("");
            break;
        }
        deliver(buf, static_cast<int>(r.count));
    }
}

void StdioChannel::run_writer() {
    plat::block_sigpipe_in_this_thread();
    std::vector<uint8_t> buf(kMaxHeld);
    for (;;) {
        const int n = take_for_sending(buf.data(), kMaxHeld);
        if (n == 0) break;
        int done = 0;
        while (done < n && connected()) {
            plat::IoResult r = out_.write_some(buf.data() + done, static_cast<size_t>(n - done));
            if (r.count > 0) {
                done += static_cast<int>(r.count);
            } else if (r.failed()) {
                lose_connection("");
            } else {
                plat::WaitItem items[] = {{stop_fd(), plat::io::in, 0}, {out_.fd(), plat::io::out, 0}};
                plat::wait_io(items, -1);
                if (stopping()) return;
            }
        }
    }
}

}  // namespace kit
