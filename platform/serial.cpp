#include "platform/serial.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace plat {

namespace {

struct SpeedEntry {
    int baud;
    speed_t code;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool speed_code(int baud, speed_t& code) {
    for (const SpeedEntry& e : kSpeeds)
        if (e.baud == baud) {
            code = e.code;
            return true;
        }
    return false;
}

int speed_baud(speed_t code) {
    if (code == B0) return 0;
    for (const SpeedEntry& e : kSpeeds)
        if (e.code == code) return e.baud;
    return -1;
}

int get_attr(int fd, termios& t) { return ::tcgetattr(fd, &t) == 0 ? 0 : errno; }

int set_attr(int fd, const termios& t) {
    for (;;) {
        if (::tcsetattr(fd, TCSANOW, &t) == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

void make_raw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8;
}

}  // namespace

int serial_open(const std::string& path, int& err) {
    for (;;) {
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0) {
            err = 0;
            return fd;
        }
        if (errno != EINTR) {
            err = errno;
            return -1;
        }
    }
}

int serial_set_immediate_reads(int fd) {
    termios t {};
    if (int e = get_attr(fd, t); e != 0) return e;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return set_attr(fd, t);
}

int apply_line_settings(termios& t, int baud, char parity, int data_bits, int stop_bits) {
    if (baud >= 0) {
        speed_t code {};
        if (!speed_code(baud, code)) return EINVAL;
        if (::cfsetispeed(&t, code) != 0 || ::cfsetospeed(&t, code) != 0) return errno;
    }
    make_raw(t);
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR | CSIZE | CSTOPB);
    switch (parity) {
    case 'E': t.c_cflag |= PARENB; break;
    case 'O': t.c_cflag |= PARENB | PARODD; break;
    case 'M': t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    default: break;  // 'N' and anything else: no parity
    }
    switch (data_bits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return EINVAL;
    }
    switch (stop_bits) {
    case 1: break;
    case 2:
    case 3: t.c_cflag |= CSTOPB; break;
    default: return EINVAL;
    }
    t.c_cflag |= CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return 0;
}

LineState line_state_of(const termios& t) {
    LineState out;
    out.baud = speed_baud(::cfgetospeed(&t));
    if ((t.c_cflag & PARENB) == 0)
        out.parity = 'N';
    else if ((t.c_cflag & CMSPAR) != 0)
        out.parity = (t.c_cflag & PARODD) != 0 ? 'M' : 'S';
    else
        out.parity = (t.c_cflag & PARODD) != 0 ? 'O' : 'E';
    switch (t.c_cflag & CSIZE) {
    case CS5: out.data_bits = 5; break;
    case CS6: out.data_bits = 6; break;
    case CS7: out.data_bits = 7; break;
    default: out.data_bits = 8; break;
    }
    out.stop_bits = (t.c_cflag & CSTOPB) != 0 ? 2 : 1;
    out.raw = (t.c_lflag & (ICANON | ECHO | ISIG)) == 0 && (t.c_oflag & OPOST) == 0;
    return out;
}

int serial_set_line(int fd, int baud, char parity, int data_bits, int stop_bits) {
    termios t {};
    if (int e = get_attr(fd, t); e != 0) return e;
    if (int e = apply_line_settings(t, baud, parity, data_bits, stop_bits); e != 0) return e;
    if (int e = set_attr(fd, t); e != 0) return e;
    serial_set_dtr(fd, true);  // a pseudo-terminal has no DTR: not an error
    return 0;
}

bool serial_get_line(int fd, LineState& out) {
    termios t {};
    if (get_attr(fd, t) != 0) return false;
    out = line_state_of(t);
    return true;
}

int serial_baud(int fd) {
    termios t {};
    if (get_attr(fd, t) != 0) return -1;
    return speed_baud(::cfgetospeed(&t));
}

bool serial_modem_status(int fd, unsigned& bits) {
    int m = 0;
    if (::ioctl(fd, TIOCMGET, &m) != 0) return false;
    bits = 0;
    if ((m & TIOCM_CTS) != 0) bits |= modem::cts;
    if ((m & TIOCM_DSR) != 0) bits |= modem::dsr;
    if ((m & TIOCM_RNG) != 0) bits |= modem::ring;
    if ((m & TIOCM_CAR) != 0) bits |= modem::dcd;
    return true;
}

int serial_set_dtr(int fd, bool on) {
    int bit = TIOCM_DTR;
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0 ? 0 : errno;
}

int serial_set_flow_control(int fd, bool rts_cts, bool xon_out, bool xon_in) {
    termios t {};
    if (int e = get_attr(fd, t); e != 0) return e;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (rts_cts) t.c_cflag |= CRTSCTS;
    if (xon_out) t.c_iflag |= IXON;
    if (xon_in) t.c_iflag |= IXOFF;
    return set_attr(fd, t);
}

void serial_discard(int fd, bool input, bool output) {
    if (input && output)
        ::tcflush(fd, TCIOFLUSH);
    else if (input)
        ::tcflush(fd, TCIFLUSH);
    else if (output)
        ::tcflush(fd, TCOFLUSH);
}

bool open_pty(PtyPair& pty) {
    int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m < 0) return false;
    char name[128];
    if (::grantpt(m) != 0 || ::unlockpt(m) != 0 || ::ptsname_r(m, name, sizeof name) != 0) {
        ::close(m);
        return false;
    }
    int s = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (s < 0) {
        ::close(m);
        return false;
    }
    pty.master = m;
    pty.slave = s;
    pty.slave_name = name;
    return true;
}

int set_raw_terminal(int fd) {
    termios t {};
    if (int e = get_attr(fd, t); e != 0) return e;
    make_raw(t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return set_attr(fd, t);
}

}  // namespace plat

namespace plat {

bool RawTerminal::enter(int fd) {
    restore();
    if (get_attr(fd, saved_) != 0) return false;
    termios t = saved_;
    make_raw(t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (set_attr(fd, t) != 0) return false;
    fd_ = fd;
    return true;
}

void RawTerminal::restore() {
    if (fd_ < 0) return;
    set_attr(fd_, saved_);
    fd_ = -1;
}

}  // namespace plat
