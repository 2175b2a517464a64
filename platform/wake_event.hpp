// A wake-up signal another thread can give and a poll() can wait on
// (an eventfd). signal() may be called from any thread; drain() resets it.
#pragma once

namespace plat {

class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    int fd() const { return fd_; }
    void signal();
    // Resets the event; returns whether it was signalled.
    bool drain();
    // Blocks until signalled or timeout_ms passes (negative: no limit);
    // returns whether it was signalled. Does not reset it.
    bool wait(int timeout_ms) const;

private:
    int fd_;
};

}  // namespace plat
