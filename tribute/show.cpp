#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/halt.hpp"
#include "tribute/runelot.hpp"

namespace runelot {

void WriteCodes(const std::string& text) { kit::door_write_backtick(text, kit::BacktickSet::runelot); }

void WriteCodesLine(const std::string& text) {
    WriteCodes(text);
    kit::door_newline();
}

void ShowMore() {
    WriteCodes("  `0<`2MORE`0>");
    kit::door_read_key();
    // Back over "MORE>" and its bracket, blank them, and back to the start
    // of the erased prompt.
    kit::door_write("\b\b\b\b\b\b      \b\b\b\b\b\b\b\b");
}

std::string RunErrorWords(int code) {
    namespace rte = plat::rte;
    switch (code) {
        case rte::file_not_found: return "File not found";
        case rte::path_not_found: return "Path not found";
        case rte::too_many_open_files: return "Too many open files";
        case rte::access_denied: return "File access denied";
        case rte::bad_handle: return "Invalid file handle";
        case rte::read_past_end: return "Disk read error";
        case rte::write_error: return "Disk write error";
        case rte::file_not_assigned: return "File not assigned";
        case rte::file_not_open: return "File not open";
        case rte::not_open_for_input: return "File not open for input";
        case rte::not_open_for_output: return "File not open for output";
        case rte::bad_numeric_format: return "Invalid numeric format";
        case rte::range_check: return "Range check error";
        case rte::heap_overflow: return "Heap overflow error";
        default: return "Run-time error";
    }
}

}  // namespace runelot
