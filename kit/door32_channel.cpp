#include "kit/door32_channel.hpp"

#include <algorithm>

#include "platform/fd_io.hpp"
#include "platform/paths.hpp"

namespace kit {

namespace {

template <typename Fn>
Fn resolve(const plat::DynLib& lib, const char* name) {
    return reinterpret_cast<Fn>(lib.symbol(name));
}

}  // namespace

std::vector<std::string> native_library_dirs() { return {plat::program_dir(), std::string()}; }

bool open_native_library(plat::DynLib& lib, std::string_view name, const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        std::string path(name);
        if (!dir.empty()) {
            std::string d = dir;
            if (d.back() != '/') d += '/';
            path = plat::resolve_path(d + path);
        }
        if (lib.open(path)) return true;
    }
    return false;
}

Door32Channel::Door32Channel(const std::vector<std::string>& dirs) {
    if (!open_native_library(lib_, "DOOR32.DLL", dirs)) {
        error_text = lib_.error().substr(0, 255);
        failed = true;
        return;
    }
    door_initialize_ = resolve<InitFn>(lib_, "DoorInitialize");
    door_shutdown_ = resolve<InitFn>(lib_, "DoorShutdown");
    door_write_ = resolve<WriteFn>(lib_, "DoorWrite");
    door_read_ = resolve<ReadFn>(lib_, "DoorRead");
    available_handle_ = resolve<HandleFn>(lib_, "DoorGetAvailableEventHandle");
    offline_handle_ = resolve<HandleFn>(lib_, "DoorGetOfflineEventHandle");
    if (door_initialize_ == nullptr || door_shutdown_ == nullptr || door_write_ == nullptr ||
        door_read_ == nullptr || available_handle_ == nullptr || offline_handle_ == nullptr) {
        error_text = "DOOR32.DLL lacks a function";
        failed = true;
        return;
    }
    if (door_initialize_() == 0) {
        failed = true;
        return;
    }
    initialised_ = true;
    available_fd_ = available_handle_();
    offline_fd_ = offline_handle_();
    if (available_fd_ < 0 || offline_fd_ < 0) failed = true;
    online_.store(!failed);
}

Door32Channel::~Door32Channel() {
    stop_workers();
    if (initialised_) door_shutdown_();
}

bool Door32Channel::start() { return !failed && start_workers(); }

bool Door32Channel::open_handle(int handle) {
    handle_ = handle;
    return start();
}

bool Door32Channel::open_port_with_line(int, int, char, int, int) { return start(); }

bool Door32Channel::open_port(int) { return start(); }

bool Door32Channel::carrier() {
    if (failed) return false;
    const bool on = connected() && !plat::readable_now(offline_fd_);
    online_.store(on);
    return on;
}

void Door32Channel::close() { stop_workers(); }

bool Door32Channel::reacquire(bool reopen) {
    if (reopen) return open_port(0);
    return start();
}

void Door32Channel::run_reader() {
    uint8_t* buf = receive_scratch();
    while (!stopping()) {
        clear_wake();
        const int room = receive_room();
        plat::WaitItem items[] = {
            {stop_fd(), plat::io::in, 0},
            {wake_fd(), plat::io::in, 0},
            {offline_fd_, plat::io::in, 0},
            {room > 0 ? available_fd_ : -1, plat::io::in, 0},
        };
        plat::wait_io(items, -1);
        if (stopping()) break;
        if (items[2].got != 0) {
            lose_connection("");
            break;
        }
        if (items[3].got == 0) continue;
        const int want = std::min(room, kReadChunk);
        const int n = door_read_(buf, want);
        if (n > 0) deliver(buf, std::min(n, want));
    }
}

void Door32Channel::run_writer() {
    // The library may write to a pipe or socket of its own.
    plat::block_sigpipe_in_this_thread();
    std::vector<uint8_t> buf(kMaxHeld);
    for (;;) {
        const int n = take_for_sending(buf.data(), kMaxHeld);
        if (n == 0) break;
        if (!connected()) continue;
        // A failed write means the caller is going; the reader sees the
        // offline event and ends the session.
        door_write_(buf.data(), n);
    }
}

}  // namespace kit
