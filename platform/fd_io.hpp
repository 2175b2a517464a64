// Descriptor I/O for the channels: waiting on several descriptors at once,
// reading and writing without ever blocking, and the operating system's
// error texts.
//
// The caller's connection is a descriptor that belongs to the BBS. Device
// adopts one without changing the flags the BBS set on it: a socket is used
// with per-call non-blocking flags, a terminal or pipe through a private
// non-blocking open of the same device, anything else as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plat {

// The operating system's message for an errno value, with line breaks and
// runs of blanks reduced to single blanks.
std::string os_message(int err);

// prefix + err in decimal + " / " + os_message(err).
std::string os_error_text(std::string_view prefix, int err);

// The outcome of one read or write: count bytes moved when err is 0.
// A read with count 0 and err 0 is the end of input.
struct IoResult {
    long count = 0;
    int err = 0;

    bool would_block() const;
    bool failed() const { return err != 0 && !would_block(); }
};

// What a wait asks for and what it found, as bit sets.
namespace io {
inline constexpr unsigned in = 1;           // readable
inline constexpr unsigned out = 2;          // writable
inline constexpr unsigned peer_closed = 4;  // a socket peer shut its side down
inline constexpr unsigned hangup = 8;       // reported whether asked or not
inline constexpr unsigned error = 16;       // reported whether asked or not
}  // namespace io

struct WaitItem {
    int fd = -1;          // a negative descriptor is skipped
    unsigned want = 0;    // io::in | io::out | io::peer_closed
    unsigned got = 0;     // filled by wait_io
};

// Blocks until an item is ready or timeout_ms passes (negative: no limit,
// 0: just look). A signal does not end the wait early. Returns how many
// items are ready, 0 on time-out.
int wait_io(std::span<WaitItem> items, int timeout_ms);

// True when fd is readable (or hung up) right now.
bool readable_now(int fd);

// Plain read and write of a descriptor in whatever mode it is.
IoResult read_fd(int fd, uint8_t* buf, size_t n);
IoResult write_fd(int fd, const uint8_t* buf, size_t n);
void close_fd(int fd);

// Blocks SIGPIPE in the calling thread, so a write to a pipe or socket whose
// reader has gone fails with EPIPE instead of ending the program. Threads
// that write to the caller call this first.
void block_sigpipe_in_this_thread();

// Schedules the calling thread as a batch thread (SCHED_BATCH): waking it
// never preempts the thread that woke it. For a thread that only moves
// bytes another thread hands it: it runs once the producer waits or another
// processor is free, and then takes everything queued meanwhile at once,
// instead of one wake-up (and one send) per small write.
void yield_wakeups_in_this_thread();

// A descriptor adopted from its owner and used without blocking.
class Device {
public:
    enum class Mode {
        socket,     // recv/send with MSG_DONTWAIT (and MSG_NOSIGNAL)
        private_nb, // a private non-blocking open of the same terminal or pipe
        as_is,      // the descriptor itself: already non-blocking, or a file
        blocking,   // a blocking terminal or pipe that could not be reopened:
                    // reads happen only after a wait says readable; a write
                    // may block until the device takes it
    };

    Device() = default;
    ~Device() { release(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Adopts fd. Never changes its flags and never closes it. Returns false
    // (with errno in last_error()) when fd is not an open descriptor.
    bool adopt(int fd);
    // Uses a descriptor this object owns outright (closed by release()).
    void own(int fd);
    // Closes the private reopen or the owned descriptor; an adopted
    // descriptor stays open.
    void release();

    bool valid() const { return fd_ >= 0; }
    // The descriptor to wait on and to use.
    int fd() const { return fd_; }
    // The descriptor given to adopt() or own().
    int original() const { return original_; }
    Mode mode() const { return mode_; }
    int last_error() const { return last_error_; }

    // Never block (except a write in Mode::blocking, see above).
    IoResult read_some(uint8_t* buf, size_t n);
    IoResult write_some(const uint8_t* buf, size_t n);

private:
    int fd_ = -1;
    int original_ = -1;
    bool close_fd_ = false;
    Mode mode_ = Mode::as_is;
    int last_error_ = 0;
};

}  // namespace plat
