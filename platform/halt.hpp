// How a program ends: halt, run-time errors and the exit chain.
//
// halt(code) ends the program from anywhere on the main thread by throwing
// Halt; a failed file operation that the program does not test throws
// RunError with a classic error code. Both unwind to run_program, which runs
// the exit chain: the handler added last runs first, each is taken off the
// chain before it runs, and a halt or run-time error inside a handler
// changes the exit state while the chain goes on.
//
// Never catch Halt or RunError with catch (...); worker threads never halt.
#pragma once

#include <functional>
#include <string>

namespace plat {

// Classic run-time error codes.
namespace rte {
inline constexpr int file_not_found = 2;
inline constexpr int path_not_found = 3;
inline constexpr int too_many_open_files = 4;
inline constexpr int access_denied = 5;
inline constexpr int bad_handle = 6;
inline constexpr int file_exists = 80;
inline constexpr int read_past_end = 100;
inline constexpr int write_error = 101;
inline constexpr int file_not_assigned = 102;
inline constexpr int file_not_open = 103;
inline constexpr int not_open_for_input = 104;
inline constexpr int not_open_for_output = 105;
inline constexpr int bad_numeric_format = 106;
inline constexpr int range_check = 201;
inline constexpr int heap_overflow = 203;
}  // namespace rte

struct Halt {
    int code;
};

struct RunError {
    int code;
};

// Ends the program with the given exit code (0-255 as the process sees it).
[[noreturn]] void halt(int code);

// Ends the program with a run-time error; its code becomes the exit status.
[[noreturn]] void run_error(int code);

// Maps an errno value to the classic code (2, 3, 4, 5, 6, 101, ...).
int error_code_from_errno(int err);

// What ended the program, for the error report of the exit routine.
struct ExitState {
    int exit_code = 0;
    bool runtime_error = false;   // a run-time error ended the program
    unsigned error_address = 0;   // nonzero while a run-time error is reported
};

ExitState& exit_state();

// Adds a handler in front of the exit chain.
void push_exit_handler(std::function<void()> handler);

// Takes the front handler off the chain without running it.
void pop_exit_handler();

// Runs (and empties) the exit chain. Used by run_program; exposed for tests.
void run_exit_chain();

// The one entry every main uses: runs body, then the exit chain, and returns
// the exit status for main to return.
int run_program(int argc, char** argv, int (*body)(int argc, char** argv));
int run_program(const std::function<void()>& body);

// Resets the exit state and chain (tests run several "programs" per process).
void reset_program_state();

}  // namespace plat
