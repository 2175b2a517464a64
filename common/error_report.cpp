#include "common/error_report.hpp"

#include <cstdio>
#include <vector>

#include "kit/door_output.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"

namespace common {

namespace {

constexpr int kLogTries = 15;
constexpr int kPauseMs = 1000;

const char* runtime_error_message(int code) {
    switch (code) {
        case 2: return "File not found";
        case 3: return "Path not found";
        case 4: return "Too many open files";
        case 5: return "File access denied";
        case 6: return "Bad file handle";
        case 12: return "Bad file access code";
        case 15: return "Bad drive number";
        case 16: return "Can't remove current dir";
        case 17: return "Can't rename across drives";
        case 100: return "Disk read error, read past eof on Typed File";
        case 101: return "Disk write error";
        case 102: return "File not assigned";
        case 103: return "File not open";
        case 104: return "File not open for input";
        case 105: return "File not open for output";
        case 106: return "Bad numeric format";
        case 150: return "Disk is write-protected";
        case 151: return "Unknown diskette unit";
        case 152: return "Drive not ready";
        case 153: return "Unknown command";
        case 154: return "CRC error in data";
        case 155: return "Bad drive request structure length";
        case 156: return "Disk seek error";
        case 157: return "Unknown diskette type";
        case 158: return "Sector not found";
        case 159: return "Printer out of paper";
        case 160: return "Device write fault";
        case 161: return "Device read fault";
        case 162: return "Hardware failure";
        case 200: return "Division by zero";
        case 201: return "Range check";
        case 202: return "Stack overflow";
        case 203: return "Heap overflow (Not enough memory to run)";
        case 204: return "Bad pointer operation";
        case 205: return "Floating point overflow";
        case 206: return "Floating point underflow";
        case 207: return "Bad floating point operation";
        default: return nullptr;
    }
}

const char* runtime_error_prefix(int code) {
    if (code >= 1 && code <= 99) return "DOS ERROR      :";
    if (code >= 100 && code <= 149) return "I/O ERROR      :";
    if (code >= 150 && code <= 199) return "CRITICAL ERROR :";
    if (code >= 200 && code <= 249) return "FATAL ERROR    :";
    return "UNKNOWN ERROR  :";
}

std::string hex4(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", value & 0xFFFFu);
    return buf;
}

// Opens the log for appending, or creates it when it is missing, each with
// up to 15 tries in a row.
bool open_log(plat::TextWriter& log) {
    for (int i = 0; i < kLogTries; ++i) {
        int code = plat::file_exists(kErrorLog) ? log.try_append(kErrorLog) : log.try_create(kErrorLog);
        if (code == 0) return true;
    }
    return false;
}

void report(const std::vector<std::string>& screen, const std::vector<std::string>& logged) {
    plat::TextWriter log;
    bool logging = open_log(log);
    for (const std::string& line : screen) kit::local_write_line(line);
    if (logging) {
        for (const std::string& line : logged) log.write_line(line);
        log.close();
    }
}

}  // namespace

std::string runtime_error_text(int code) {
    const char* message = runtime_error_message(code);
    return std::string(runtime_error_prefix(code)) + (message ? message : std::to_string(code));
}

std::string exit_reason_text(int code) {
    switch (code) {
        case 0: return "Normal Termination";
        case 1: return "Carrier Lost";
        case 2: return "Time Limit Exceeded";
        case 3: return "User Inactivity Timeout";
        case 4: return "Cannot Find Dorinfo1.def";
        case 5: return "Cannot Find ExitInfo.Bbs";
        case 6: return "Directory Change/Read Error";
        case 7: return "CTS Timeout";
        case 8: return "Forced Exit via RAXIT Semaphore";
        case 9: return "Cannot Find Door.Sys";
        default: return std::to_string(code);
    }
}

std::string report_date() {
    plat::LocalDate d = plat::local_date();
    plat::TimeOfDay t = plat::time_of_day();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour,
                  t.minute, t.second);
    return buf;
}

void write_exit_report() {
    plat::ExitState& state = plat::exit_state();
    std::string date = "Date : " + report_date();
    if (state.runtime_error) {
        std::vector<std::string> lines = {
            date,
            "Run-time error occurred",
            "Exitcode = " + std::to_string(state.exit_code),
            runtime_error_text(state.exit_code),
            "Address of error:",
            "  Segment: 0000",
            "  Offset:  " + hex4(state.error_address),
        };
        std::vector<std::string> logged = lines;
        logged.push_back(std::string(48, '-'));
        report(lines, logged);
        // Reported here: nothing else is to print it again.
        state.error_address = 0;
        return;
    }
    if (state.exit_code == 0) return;
    std::string reason = exit_reason_text(state.exit_code);
    report({date, " ", "Program Termination", reason}, {date, "Program Termination", reason});
    plat::sleep_ms(kPauseMs);
}

}  // namespace common
