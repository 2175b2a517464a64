// The host's per-node information file "info." + node: 14 text lines. The
// modules use line 1 (the caller's record number), line 5 (minutes left)
// and line 6 (the caller's name, possibly with colour codes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/val.hpp"

namespace host {

inline constexpr size_t kInfoLines = 14;
inline constexpr size_t kInfoLineMax = 30;

struct InfoFile {
    // At most 14 lines, each cut to 30 characters; fewer when the file ends.
    std::vector<std::string> lines;

    // Line n (from 1), empty when the file has no such line.
    std::string line(size_t n) const;
    // The decimal value of line 1.
    plat::ValResult record_number() const;
    // Line 6 without its back-tick codes.
    std::string caller_name() const;
};

// "info." + node.
std::string info_file_name(std::string_view node);

// Reads the file as kelvane and orvtime do; a missing file is a run-time error.
InfoFile read_info_file(std::string_view path);

// Rewrites the file (through a temporary file and a rename) with line 5
// replaced by minutes in decimal. The other lines are written back as the
// file holds them, uncut, so lines longer than the 30 characters the modules
// read survive; a file of fewer than 14 lines is filled up with empty lines
// to 14.
void rewrite_info_minutes(std::string_view path, int32_t minutes);

}  // namespace host
