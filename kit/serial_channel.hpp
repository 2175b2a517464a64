// The serial channel: a caller on a modem line, from a descriptor inherited
// from the BBS (open_handle) or a port opened by number (open_port: COM n is
// "/dev/ttyS" + (n - 1)).
//
// One worker thread moves bytes both ways: it waits on the device for input
// (while the receive queue has room) and for output room (while it has bytes
// to send), together with the stop event and the main thread's wake-ups. An
// inherited descriptor is used through a private non-blocking open of the
// same device where the system allows one, so the BBS's flags stay as they
// were; it is never closed except by an explicit close().
//
// Carrier is DCD as the modem reports it. A device without modem lines (a
// pseudo-terminal, which the tests use as the line) has carrier while the
// other side is still open.
#pragma once

#include <string>

#include "kit/queued_channel.hpp"
#include "platform/fd_io.hpp"

namespace kit {

class SerialChannel final : public QueuedChannel {
public:
    // device_prefix + (n - 1) is the device of COM n.
    explicit SerialChannel(std::string device_prefix = "/dev/ttyS");
    // Stops the worker; closes a port it opened, never an inherited one.
    ~SerialChannel() override;

    // Adopts the descriptor, makes reads return at once, starts the worker,
    // then sets the line to the current rate, no parity, 8 data bits and 1
    // stop bit.
    bool open_handle(int handle) override;
    bool open_port_with_line(int port, int baud, char parity, int data, int stop) override;
    // Opens COM port (see above) and starts the worker. False, with
    // "Unable to open communications port", when the device cannot be
    // opened.
    bool open_port(int port) override;
    // b := (b mod 16) + CTS 16, DSR 32, ring 64, DCD 128; a is left as is.
    void line_status(int& a, int& b) override;
    // 11 520 is taken as 115 200; a negative rate keeps the current one;
    // parity other than E, M, N, O is none; stop 3 (one and a half) sets two
    // stop bits (see plat::serial_set_line). A failure is recorded as
    // "Error setting up communications parameters: #" + code + " / " + text.
    void set_line(int baud, char parity, int data, int stop) override;
    int baud_rate() override;
    void set_dtr(bool on) override;
    bool carrier() override;
    int handle() override { return port_; }
    // Stops the worker and closes the port, port handle := -1.
    void close() override;
    // As the base, and discards what the driver holds in that direction.
    void purge_output() override;
    void purge_input() override;
    // true: reopen by handle (opened from one) or by port number; false:
    // restart the worker.
    bool reacquire(bool reopen) override;
    // a: RTS/CTS hardware flow control, b: XON/XOFF on output, c: XON/XOFF
    // on input (each on when non-zero).
    void set_flow_control(int a, int b, int c) override;

    // The worker thread body, both directions.
    void worker() override;
    // The kit binds its reader routine; for this channel it is the worker.
    void run_reader() override { worker(); }

private:
    int device_fd() const { return device_.fd(); }

    std::string prefix_;
    int port_ = -1;         // the port handle, -1 when closed
    int port_number_ = -1;  // -1 when opened from a handle
    int given_ = -1;        // the handle given to open_handle
    plat::Device device_;
};

}  // namespace kit
