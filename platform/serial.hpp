// Serial lines through termios, and pseudo-terminals (a pty stands in for a
// modem line in tests).
#pragma once

#include <termios.h>

#include <string>

namespace plat {

// Modem-status bits, as the channel reports them.
namespace modem {
inline constexpr unsigned cts = 16;
inline constexpr unsigned dsr = 32;
inline constexpr unsigned ring = 64;
inline constexpr unsigned dcd = 128;
}  // namespace modem

// Opens a serial device for reading and writing, non-blocking, without
// making it the controlling terminal. Returns the descriptor, or -1 with the
// errno value in err.
int serial_open(const std::string& path, int& err);

// Makes a read return at once with whatever the driver holds (no minimum
// count, no inter-byte timer). Returns 0 or an errno value.
int serial_set_immediate_reads(int fd);

// Sets the line: baud (negative keeps the current rate), parity 'N' none,
// 'E' even, 'O' odd, 'M' mark, data bits 5-8, stop bits 1 (one), 2 (two) or
// 3 (one and a half: termios has no such setting, so two stop bits are set,
// which a UART sends as one and a half with 5 data bits). Also switches the
// line to raw binary transfer with the receiver on and immediate reads, and
// raises DTR where the device has it. Returns 0 or an errno value (EINVAL
// for a rate, size or stop setting the system does not have).
int serial_set_line(int fd, int baud, char parity, int data_bits, int stop_bits);

// The line as a device has it.
struct LineState {
    int baud = 0;
    char parity = 'N';   // N, E, O, M or S (space)
    int data_bits = 8;
    int stop_bits = 1;   // 1 or 2
    bool raw = false;    // no line editing, echo or output processing
};
bool serial_get_line(int fd, LineState& out);

// The settings of serial_set_line applied to t, without touching a device
// (a pseudo-terminal keeps only the rate and stop bits of what is set, so
// tests check the rest here). Returns 0 or EINVAL.
int apply_line_settings(termios& t, int baud, char parity, int data_bits, int stop_bits);
// What t says about the line.
LineState line_state_of(const termios& t);

// Current output baud rate; -1 when fd is not a terminal.
int serial_baud(int fd);

// The modem lines (modem::cts | dsr | ring | dcd). False when the device has
// none (a pseudo-terminal, a pipe).
bool serial_modem_status(int fd, unsigned& bits);

// Raises or lowers DTR. Returns 0 or an errno value.
int serial_set_dtr(int fd, bool on);

// Flow control: hardware (RTS/CTS) when rts_cts, XON/XOFF on output when
// xon_out, XON/XOFF on input when xon_in. Returns 0 or an errno value.
int serial_set_flow_control(int fd, bool rts_cts, bool xon_out, bool xon_in);

// Discards what the driver holds in the given directions.
void serial_discard(int fd, bool input, bool output);

// A pseudo-terminal pair, both ends close-on-exec and neither the
// controlling terminal. The slave end starts in the system's default
// (cooked) mode.
struct PtyPair {
    int master = -1;
    int slave = -1;
    std::string slave_name;
};
bool open_pty(PtyPair& pty);

// Raw mode on a terminal: bytes pass unchanged both ways. Returns 0 or an
// errno value.
int set_raw_terminal(int fd);

}  // namespace plat

namespace plat {

// Puts a terminal into raw mode for a while and back as it was.
class RawTerminal {
public:
    RawTerminal() = default;
    ~RawTerminal() { restore(); }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    // Saves the settings of fd and makes it raw; false (and nothing done)
    // when fd is not a terminal.
    bool enter(int fd);
    // Puts the saved settings back (once).
    void restore();

private:
    int fd_ = -1;
    termios saved_ {};
};

}  // namespace plat
