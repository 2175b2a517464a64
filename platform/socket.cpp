#include "platform/socket.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

namespace {

sockaddr_in loopback(uint16_t port) {
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

}  // namespace

bool is_socket(int fd) {
    struct stat st {};
    return fd >= 0 && ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

void shutdown_and_close(int fd) {
    if (fd < 0) return;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

bool socket_pair(int& a, int& b, bool inheritable) {
    int sv[2];
    int type = SOCK_STREAM | (inheritable ? 0 : SOCK_CLOEXEC);
    if (::socketpair(AF_UNIX, type, 0, sv) != 0) return false;
    a = sv[0];
    b = sv[1];
    return true;
}

int tcp_listen_loopback(uint16_t& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = loopback(port);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

int tcp_connect_loopback(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a = loopback(port);
    for (;;) {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
        if (errno != EINTR) break;
    }
    ::close(fd);
    return -1;
}

int tcp_accept(int listener, bool close_on_exec) {
    for (;;) {
        int fd = ::accept4(listener, nullptr, nullptr, close_on_exec ? SOCK_CLOEXEC : 0);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

void tcp_no_delay(int fd) {
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int fd_status_flags(int fd) { return ::fcntl(fd, F_GETFL); }

bool set_nonblocking(int fd, bool on) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) return false;
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, flags) == 0;
}

bool make_inheritable(int fd) {
    int flags = ::fcntl(fd, F_GETFD);
    return flags >= 0 && ::fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) == 0;
}

}  // namespace plat
