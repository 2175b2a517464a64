// The cave's own data file "orvtime.dat" in the program's directory: one
// record of 406 bytes holding the host's directory and a played-today flag
// per player record number.
//
// Layout, no header:
//   0    256  host_path  short string (length byte, up to 255 characters)
//   256  150  played     played[i] = 1 when record number i played today
//
// Every read and write of the file holds its lock file (common/lock_file).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace cave {

inline constexpr char kConfigFile[] = "orvtime.dat";
inline constexpr size_t kCaveConfigSize = 406;
inline constexpr size_t kHostPathArea = 256;
inline constexpr size_t kPlayedOffset = 256;
inline constexpr size_t kPlayedCount = 150;

struct CaveConfig {
    std::string host_path;  // the host directory, ending in a separator
    std::array<uint8_t, kPlayedCount> played{};

    void clear_played() { played.fill(0); }
};

// The record's bytes; a host path longer than 255 characters is cut.
std::array<uint8_t, kCaveConfigSize> encode_config(const CaveConfig& config);
// Reads a record from the bytes of the file. A short (truncated) file gives
// what it holds, the missing bytes read as 0, so a damaged file costs at
// most some flags and never the caller's visit.
CaveConfig decode_config(std::span<const uint8_t> bytes);

// The path of the data file in the program directory (ending in a separator).
std::string config_path(std::string_view program_dir);

// The file as it is, for a caller that already holds its lock: a missing
// file gives an empty record (no path, no flags).
CaveConfig ReadConfigFile(std::string_view path);
void WriteConfigFile(std::string_view path, const CaveConfig& config);

// Reads the record under the file's lock; must_exist as lock_file takes it.
// A file that is missing gives an empty record (no path, no flags).
CaveConfig LoadConfig(std::string_view path, bool must_exist);
// Rewrites the whole file with the record under its lock (no must-exist
// check); the rewrite goes through a temporary file and a rename.
void SaveConfig(std::string_view path, const CaveConfig& config);
// The exit routine's save: under the lock, re-reads the file as it is now,
// sets host_path and, when played is true, the flag of record number
// `record`, and writes it back. Flags set meanwhile by other nodes survive.
void SaveCallerFlag(std::string_view path, std::string_view host_path, int32_t record, bool played);

}  // namespace cave
