#include "host/info_file.hpp"

#include "common/text_helpers.hpp"
#include "platform/files.hpp"

namespace host {

std::string InfoFile::line(size_t n) const { return n >= 1 && n <= lines.size() ? lines[n - 1] : std::string(); }

plat::ValResult InfoFile::record_number() const { return plat::val(line(1)); }

std::string InfoFile::caller_name() const { return common::strip_codes(line(6)); }

std::string info_file_name(std::string_view node) { return "info." + std::string(node); }

InfoFile read_info_file(std::string_view path) {
    plat::TextReader file;
    file.open(path);
    InfoFile info;
    while (!file.eof() && info.lines.size() < kInfoLines) info.lines.push_back(file.read_line(kInfoLineMax));
    file.close();
    return info;
}

void rewrite_info_minutes(std::string_view path, int32_t minutes) {
    std::vector<std::string> lines = plat::read_lines(path, std::string::npos);
    if (lines.size() < kInfoLines) lines.resize(kInfoLines);
    lines[4] = std::to_string(minutes);
    plat::rewrite_lines(path, lines);
}

}  // namespace host
