// The caller on standard input and output: the way most Linux BBS packages
// run native doors (a pty the BBS feeds, with telnet already handled by the
// BBS). Bytes pass unchanged both ways. The carrier is lost at the end of
// input, when either side hangs up, or when output can no longer be written.
// The descriptors belong to the BBS: their flags are never changed and they
// are never closed. A terminal among them is put into raw mode while the
// channel is open (keys one at a time, no echo by the terminal, Ctrl-C a
// byte rather than a signal) and set back as it was afterwards.
#pragma once

#include "kit/queued_channel.hpp"
#include "platform/fd_io.hpp"
#include "platform/serial.hpp"

namespace kit {

class StdioChannel final : public QueuedChannel {
public:
    // The caller's input and output descriptors (tests pass a pty).
    explicit StdioChannel(int in_fd = 0, int out_fd = 1) : in_fd_(in_fd), out_fd_(out_fd) {}
    ~StdioChannel() override;

    // Adopts the two descriptors given at construction (the argument is not
    // used) and starts the workers.
    bool open_handle(int handle) override;
    bool open_port_with_line(int port, int baud, char parity, int data, int stop) override;
    bool open_port(int port) override;
    bool carrier() override;
    int handle() override { return in_fd_; }
    // Stops the workers and sets a terminal back; the descriptors stay open.
    void close() override;

    void run_reader() override;
    void run_writer() override;

private:
    int in_fd_;
    int out_fd_;
    bool open_ = false;
    plat::Device in_;
    plat::Device out_;
    plat::RawTerminal in_raw_;   // declared first: set back last
    plat::RawTerminal out_raw_;
};

}  // namespace kit
