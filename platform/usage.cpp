#include "platform/usage.hpp"

#include <sys/resource.h>

namespace plat {

namespace {

Usage usage_of(int who) {
    rusage r {};
    ::getrusage(who, &r);
    Usage u;
    u.cpu_ms = static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
               static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
    u.voluntary_switches = r.ru_nvcsw;
    u.involuntary_switches = r.ru_nivcsw;
    return u;
}

}  // namespace

Usage self_usage() { return usage_of(RUSAGE_SELF); }
Usage children_usage() { return usage_of(RUSAGE_CHILDREN); }

Usage operator-(const Usage& a, const Usage& b) {
    return Usage{a.cpu_ms - b.cpu_ms, a.voluntary_switches - b.voluntary_switches,
                 a.involuntary_switches - b.involuntary_switches};
}

}  // namespace plat
