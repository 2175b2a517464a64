// Child processes for a host that starts programs for its callers: start
// one with a chosen working directory, one inherited descriptor and its
// standard streams redirected; look whether it ended; end it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plat {

struct ChildSpec {
    // argv[0] is the path that is run (no search of PATH) and what the
    // program sees as its name.
    std::vector<std::string> argv;
    // Working directory of the child; empty keeps the current one.
    std::string cwd;
    // A descriptor the child keeps open under the same number (-1: none).
    // Every other descriptor this process opened close-on-exec stays closed
    // in the child.
    int inherit_fd = -1;
    // Where the child's standard output and error go (-1: /dev/null). Its
    // standard input is always /dev/null.
    int output_fd = -1;
    // The child gets a session of its own, so signals from this process's
    // terminal (Ctrl-C) do not reach it.
    bool new_session = true;
};

struct ChildExit {
    bool exited = false;  // ended by exit(); code holds its status
    int code = 0;
    int signal = 0;       // the signal that ended it, when not exited
};

// Starts the child. Returns its process id, or -1 with a classic error code
// in error when it could not be started (the program missing or not
// executable is reported here, not by the child).
int spawn_child(const ChildSpec& spec, int& error);

// The child's end if it has ended (reaping it), nothing while it runs.
std::optional<ChildExit> poll_child(int pid);
// Waits for the child's end.
ChildExit wait_child(int pid);
// Asks the child to end (SIGTERM), or ends it at once (SIGKILL).
void terminate_child(int pid);
void kill_child(int pid);

// A pipe whose ends are both close-on-exec; false when the system refuses.
bool make_pipe(int& read_end, int& write_end);

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed, so
// descriptors opened later never take those numbers.
void ensure_standard_descriptors();

}  // namespace plat
