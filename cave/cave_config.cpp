#include "cave/cave_config.hpp"

#include <algorithm>
#include <optional>

#include "common/lock_file.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"

namespace cave {

namespace {

// The file's bytes, or nothing when it does not exist. Any other failure to
// open or read it is a run-time error.
std::optional<std::string> read_config_bytes(std::string_view path) {
    plat::FileHandle probe;
    int code = probe.try_open(path, plat::Access::read, plat::Share::deny_none);
    if (code == plat::rte::file_not_found || code == plat::rte::path_not_found) return std::nullopt;
    if (code != 0) plat::run_error(code);
    probe.close();
    // Gone between the two opens (an uninstall at the console): missing.
    return plat::read_file(path);
}

}  // namespace

CaveConfig ReadConfigFile(std::string_view path) {
    std::optional<std::string> data = read_config_bytes(path);
    if (!data) return {};
    const auto* first = reinterpret_cast<const uint8_t*>(data->data());
    return decode_config(std::span<const uint8_t>(first, data->size()));
}

void WriteConfigFile(std::string_view path, const CaveConfig& config) {
    std::array<uint8_t, kCaveConfigSize> bytes = encode_config(config);
    plat::rewrite_file(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::array<uint8_t, kCaveConfigSize> encode_config(const CaveConfig& config) {
    std::array<uint8_t, kCaveConfigSize> bytes{};
    size_t length = std::min(config.host_path.size(), kHostPathArea - 1);
    bytes[0] = static_cast<uint8_t>(length);
    std::copy_n(config.host_path.begin(), length, bytes.begin() + 1);
    std::copy(config.played.begin(), config.played.end(), bytes.begin() + kPlayedOffset);
    return bytes;
}

CaveConfig decode_config(std::span<const uint8_t> bytes) {
    std::array<uint8_t, kCaveConfigSize> record{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), record.size()), record.begin());
    CaveConfig config;
    size_t length = record[0];
    config.host_path.assign(reinterpret_cast<const char*>(record.data() + 1), length);
    std::copy_n(record.begin() + kPlayedOffset, kPlayedCount, config.played.begin());
    return config;
}

std::string config_path(std::string_view program_dir) { return std::string(program_dir) + kConfigFile; }

CaveConfig LoadConfig(std::string_view path, bool must_exist) {
    common::FileLock lock(path, must_exist);
    return ReadConfigFile(path);
}

void SaveConfig(std::string_view path, const CaveConfig& config) {
    common::FileLock lock(path, false);
    WriteConfigFile(path, config);
}

void SaveCallerFlag(std::string_view path, std::string_view host_path, int32_t record, bool played) {
    common::FileLock lock(path, false);
    CaveConfig now = ReadConfigFile(path);
    now.host_path = host_path;
    if (played && record >= 0 && static_cast<size_t>(record) < kPlayedCount)
        now.played[static_cast<size_t>(record)] = 1;
    WriteConfigFile(path, now);
}

}  // namespace cave
