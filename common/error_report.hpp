// The exit report of kelvane and orvtime: abnormal program ends recorded in
// "ERROR.LOG" (working directory, appended) and on the local screen.
#pragma once

#include <string>

namespace common {

inline constexpr char kErrorLog[] = "ERROR.LOG";

// Category prefix + text of a run-time error code ("I/O ERROR      :File
// not open" for 103); unknown codes give their number after the prefix.
std::string runtime_error_text(int code);

// The reason for a chosen exit code ("Carrier Lost" for 1); other codes
// give their number.
std::string exit_reason_text(int code);

// Reports how the program is ending, from plat::exit_state(); the last step
// of a program's own exit routine.
// - exit code 0 without a run-time error: nothing;
// - another exit code: "Date : " + date and time, "Program Termination"
//   and the reason, on the local screen (with an empty line after the date)
//   and appended to the log; then a pause of one second;
// - a run-time error: the date, "Run-time error occurred", the exit code,
//   its text and the error address (segment 0000, offset from the low 16
//   bits of the address), on the local screen and in the log followed by a
//   line of 48 dashes; the error address is then cleared.
// The log is opened with up to 15 tries; if all fail only the screen gets
// the lines.
void write_exit_report();

// "YYYY-MM-DD hh:mm:ss" of the clock in use.
std::string report_date();

}  // namespace common
