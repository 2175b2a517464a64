#include "platform/wake_event.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace plat {

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
    if (fd_ >= 0) ::close(fd_);
}

void WakeEvent::signal() {
    uint64_t one = 1;
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool WakeEvent::drain() {
    uint64_t count = 0;
    for (;;) {
        ssize_t r = ::read(fd_, &count, sizeof count);
        if (r == static_cast<ssize_t>(sizeof count)) return count > 0;
        if (r < 0 && errno == EINTR) continue;
        return false;
    }
}

bool WakeEvent::wait(int timeout_ms) const {
    pollfd p{fd_, POLLIN, 0};
    for (;;) {
        int r = ::poll(&p, 1, timeout_ms);
        if (r >= 0) return r > 0;
        if (errno != EINTR) return false;
    }
}

}  // namespace plat
