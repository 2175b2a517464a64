// Sockets: the inherited caller connection and the loopback connections
// that tests and benchmarks build.
#pragma once

#include <cstdint>

namespace plat {

// True when fd is an open socket.
bool is_socket(int fd);

// Shuts a socket down in both directions and closes it.
void shutdown_and_close(int fd);

// A connected pair of stream sockets (blocking, close-on-exec unless
// inheritable is set). Returns false when the system refuses.
bool socket_pair(int& a, int& b, bool inheritable = false);

// A TCP socket listening on 127.0.0.1; port 0 picks a free port, which is
// stored back. Returns the descriptor or -1.
int tcp_listen_loopback(uint16_t& port);
// Connects to 127.0.0.1:port; -1 on failure.
int tcp_connect_loopback(uint16_t port);
// Accepts one connection (blocking); -1 on failure. The accepted socket is
// inheritable unless close_on_exec is set.
int tcp_accept(int listener, bool close_on_exec = true);
// Turns off the coalescing of small writes (for latency measurements).
void tcp_no_delay(int fd);

// The file status flags of fd (O_NONBLOCK, ...), -1 when it is not open.
int fd_status_flags(int fd);
// Sets or clears O_NONBLOCK on a descriptor this program owns.
bool set_nonblocking(int fd, bool on);
// Clears close-on-exec, so a child started with exec inherits fd.
bool make_inheritable(int fd);

}  // namespace plat
