#include "platform/usage.hpp"

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

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

Usage running_usage(int pid) {
    Usage u;
    std::error_code ec;
    std::filesystem::directory_iterator tasks("/proc/" + std::to_string(pid) + "/task", ec);
    if (ec) return u;
    for (const auto& task : tasks) {
        std::ifstream sched(task.path() / "schedstat");
        double ns = 0;
        if (sched >> ns) u.cpu_ms += ns / 1e6;
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                u.voluntary_switches += std::stol(line.substr(24));
            else if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                u.involuntary_switches += std::stol(line.substr(27));
        }
    }
    return u;
}

Usage operator-(const Usage& a, const Usage& b) {
    return Usage{a.cpu_ms - b.cpu_ms, a.voluntary_switches - b.voluntary_switches,
                 a.involuntary_switches - b.involuntary_switches};
}

}  // namespace plat
