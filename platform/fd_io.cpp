#include "platform/fd_io.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

namespace plat {

namespace {

// A write that failed with EPIPE in a thread that blocks SIGPIPE leaves the
// signal pending on the thread; take it off so it is never delivered later.
void discard_pending_sigpipe() {
    sigset_t blocked;
    if (::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0 || sigismember(&blocked, SIGPIPE) != 1)
        return;
    sigset_t pending;
    if (::sigpending(&pending) != 0 || sigismember(&pending, SIGPIPE) != 1) return;
    sigset_t just_pipe;
    sigemptyset(&just_pipe);
    sigaddset(&just_pipe, SIGPIPE);
    timespec zero {0, 0};
    ::sigtimedwait(&just_pipe, nullptr, &zero);
}

short poll_events(unsigned want) {
    short e = 0;
    if ((want & io::in) != 0) e = static_cast<short>(e | POLLIN);
    if ((want & io::out) != 0) e = static_cast<short>(e | POLLOUT);
    if ((want & io::peer_closed) != 0) e = static_cast<short>(e | POLLRDHUP);
    return e;
}

unsigned io_bits(short revents) {
    unsigned got = 0;
    if ((revents & (POLLIN | POLLPRI)) != 0) got |= io::in;
    if ((revents & POLLOUT) != 0) got |= io::out;
    if ((revents & POLLRDHUP) != 0) got |= io::peer_closed;
    if ((revents & POLLHUP) != 0) got |= io::hangup;
    if ((revents & (POLLERR | POLLNVAL)) != 0) got |= io::error;
    return got;
}

IoResult result_of(ssize_t r) {
    if (r < 0) return IoResult{0, errno};
    return IoResult{static_cast<long>(r), 0};
}

}  // namespace

std::string os_message(int err) {
    char buf[256];
    const char* text = ::strerror_r(err, buf, sizeof buf);
    std::string out;
    bool blank = false;
    for (const char* p = text; *p != '\0'; ++p) {
        char c = *p;
        if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
            if (!blank) out += ' ';
            blank = true;
        } else {
            out += c;
            blank = false;
        }
    }
    return out;
}

std::string os_error_text(std::string_view prefix, int err) {
    std::string out(prefix);
    out += std::to_string(err);
    out += " / ";
    out += os_message(err);
    return out;
}

bool IoResult::would_block() const { return err == EAGAIN || err == EWOULDBLOCK; }

int wait_io(std::span<WaitItem> items, int timeout_ms) {
    std::vector<pollfd> p;
    std::vector<size_t> index;
    p.reserve(items.size());
    index.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].got = 0;
        if (items[i].fd < 0) continue;
        p.push_back(pollfd{items[i].fd, poll_events(items[i].want), 0});
        index.push_back(i);
    }
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
    int left = timeout_ms;
    for (;;) {
        int r = ::poll(p.data(), p.size(), left);
        if (r >= 0) {
            for (size_t k = 0; k < p.size(); ++k) items[index[k]].got = io_bits(p[k].revents);
            return r;
        }
        if (errno != EINTR) return 0;
        if (timeout_ms > 0) {
            auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
            left = rest.count() > 0 ? static_cast<int>(rest.count()) : 0;
        }
    }
}

bool readable_now(int fd) {
    WaitItem item{fd, io::in, 0};
    return wait_io(std::span<WaitItem>(&item, 1), 0) > 0 && (item.got & (io::in | io::hangup)) != 0;
}

IoResult read_fd(int fd, uint8_t* buf, size_t n) {
    for (;;) {
        ssize_t r = ::read(fd, buf, n);
        if (r < 0 && errno == EINTR) continue;
        return result_of(r);
    }
}

IoResult write_fd(int fd, const uint8_t* buf, size_t n) {
    for (;;) {
        ssize_t r = ::write(fd, buf, n);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno == EPIPE) discard_pending_sigpipe();
        return result_of(r);
    }
}

void close_fd(int fd) {
    if (fd >= 0) ::close(fd);
}

void block_sigpipe_in_this_thread() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &s, nullptr);
}

void yield_wakeups_in_this_thread() {
    sched_param p {};
    ::sched_setscheduler(0, SCHED_BATCH, &p);
}

// ---- Device ----------------------------------------------------------------

bool Device::adopt(int fd) {
    release();
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        last_error_ = fd < 0 ? EBADF : errno;
        return false;
    }
    original_ = fd;
    fd_ = fd;
    close_fd_ = false;
    if (S_ISSOCK(st.st_mode)) {
        mode_ = Mode::socket;
        return true;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) {
        last_error_ = errno;
        fd_ = original_ = -1;
        return false;
    }
    if ((flags & O_NONBLOCK) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        mode_ = Mode::as_is;
        return true;
    }
    // A second open of the same terminal or pipe has its own file status
    // flags, so it can be non-blocking while the BBS's stays as it is.
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    int mine = ::open(path.c_str(), (flags & O_ACCMODE) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (mine >= 0) {
        fd_ = mine;
        close_fd_ = true;
        mode_ = Mode::private_nb;
    } else {
        mode_ = Mode::blocking;
    }
    return true;
}

void Device::own(int fd) {
    release();
    fd_ = original_ = fd;
    close_fd_ = true;
    mode_ = Mode::as_is;
}

void Device::release() {
    if (close_fd_ && fd_ >= 0) ::close(fd_);
    fd_ = original_ = -1;
    close_fd_ = false;
}

IoResult Device::read_some(uint8_t* buf, size_t n) {
    if (fd_ < 0) return IoResult{0, EBADF};
    if (mode_ != Mode::socket) return read_fd(fd_, buf, n);
    for (;;) {
        ssize_t r = ::recv(fd_, buf, n, MSG_DONTWAIT);
        if (r < 0 && errno == EINTR) continue;
        return result_of(r);
    }
}

IoResult Device::write_some(const uint8_t* buf, size_t n) {
    if (fd_ < 0) return IoResult{0, EBADF};
    if (mode_ != Mode::socket) return write_fd(fd_, buf, n);
    for (;;) {
        ssize_t r = ::send(fd_, buf, n, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (r < 0 && errno == EINTR) continue;
        return result_of(r);
    }
}

}  // namespace plat
