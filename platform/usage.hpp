// What a process has cost: processor time and context switches.
#pragma once

namespace plat {

struct Usage {
    double cpu_ms = 0;              // user and system time
    long voluntary_switches = 0;    // the thread gave up the processor (waited)
    long involuntary_switches = 0;  // the scheduler took it away
};

// This process, all its threads.
Usage self_usage();
// All children that ended and were waited for, all their threads.
Usage children_usage();
// A running process, all its threads, to the nanosecond (from /proc): for
// measuring a window of its life without its start and end.
Usage running_usage(int pid);

Usage operator-(const Usage& a, const Usage& b);

}  // namespace plat
