// The local terminal: whether standard input and output are terminals, raw
// mode (restored on every exit path and on SIGINT, SIGTERM and SIGHUP), and
// plain reads and writes of bytes.
//
// Hang-up signals (SIGHUP, SIGTERM, SIGINT) do not kill the program: they
// set a flag and wake hangup_fd(), so the program can end through its normal
// exit path and save what it must.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

bool stdin_is_terminal();
bool stdout_is_terminal();

// Puts the terminal on standard input into raw mode (no echo, no line
// buffering, no CR/NL translation; Ctrl-C still raises SIGINT). Restored by
// restore_terminal, at process exit and when a hang-up signal arrives.
void enter_raw_mode();
void restore_terminal();

// Bytes waiting on standard input, read without blocking (empty if none).
std::string read_stdin_available();
// Writes all bytes to standard output (unbuffered, retried).
void write_stdout(std::string_view bytes);
// Writes one line to standard error.
void write_stderr_line(std::string_view line);

// Installs the hang-up signal handlers (once per process).
void install_hangup_signals();
// True once a hang-up signal arrived.
bool hangup_requested();
// Clears the flag (tests).
void clear_hangup();
// A descriptor that turns readable when a hang-up signal arrives.
int hangup_fd();

}  // namespace plat
