#include "platform/terminal.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace plat {

namespace {

termios g_saved {};
std::atomic<bool> g_raw{false};
std::atomic<bool> g_hangup{false};
int g_hangup_fd = -1;

void restore_now() {
    if (g_raw.exchange(false)) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
}

extern "C" void on_hangup_signal(int) {
    int saved_errno = errno;
    restore_now();
    g_hangup.store(true);
    if (g_hangup_fd >= 0) {
        uint64_t one = 1;
        ssize_t ignored = ::write(g_hangup_fd, &one, sizeof one);
        (void)ignored;
    }
    errno = saved_errno;
}

}  // namespace

bool stdin_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }
bool stdout_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }

void enter_raw_mode() {
    if (g_raw.load() || !stdin_is_terminal()) return;
    if (::tcgetattr(STDIN_FILENO, &g_saved) != 0) return;
    termios raw = g_saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON | INLCR | IGNCR);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_cflag |= CS8;
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0) {
        g_raw.store(true);
        static bool registered = false;
        if (!registered) {
            registered = true;
            std::atexit(restore_now);
        }
    }
}

void restore_terminal() { restore_now(); }

std::string read_stdin_available() {
    std::string out;
    char buf[256];
    for (;;) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || (p.revents & POLLIN) == 0) break;
        ssize_t r = ::read(STDIN_FILENO, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        out.append(buf, static_cast<size_t>(r));
        if (static_cast<size_t>(r) < sizeof buf) break;
    }
    return out;
}

void write_stdout(std::string_view bytes) {
    const char* p = bytes.data();
    size_t n = bytes.size();
    while (n > 0) {
        ssize_t w = ::write(STDOUT_FILENO, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd pf{STDOUT_FILENO, POLLOUT, 0};
                ::poll(&pf, 1, 100);
                continue;
            }
            return;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
}

void write_stderr_line(std::string_view line) {
    std::string text(line);
    text += '\n';
    ssize_t ignored = ::write(STDERR_FILENO, text.data(), text.size());
    (void)ignored;
}

void install_hangup_signals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    g_hangup_fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    struct sigaction sa {};
    sa.sa_handler = on_hangup_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // interrupt blocking calls so waits notice at once
    ::sigaction(SIGHUP, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

bool hangup_requested() { return g_hangup.load(); }

void clear_hangup() {
    g_hangup.store(false);
    if (g_hangup_fd >= 0) {
        uint64_t v = 0;
        ssize_t ignored = ::read(g_hangup_fd, &v, sizeof v);
        (void)ignored;
    }
}

int hangup_fd() { return g_hangup_fd; }

}  // namespace plat
