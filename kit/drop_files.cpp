#include "kit/drop_files.hpp"

#include <array>
#include <vector>

#include "platform/files.hpp"
#include "platform/val.hpp"

namespace kit {

namespace {

// Reads up to n lines; a missing line reads as empty. Empty result when the
// file cannot be opened.
std::vector<std::string> lines_of(std::string_view path, size_t n) {
    plat::TextReader r;
    if (r.try_open(path) != 0) return {};
    std::vector<std::string> lines;
    for (size_t i = 0; i < n; ++i) lines.push_back(r.read_line());
    return lines;
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

int32_t number(const std::string& line, int32_t fallback) { return plat::val_or(line, fallback); }

// "COM1" style port numbers: the characters from the 4th on.
int32_t port_number(const std::string& text) {
    return text.size() > 3 ? number(text.substr(3), 0) : 0;
}

}  // namespace

DropFormat drop_format_of(std::string_view path) {
    std::string p = upper(path);
    const std::array<std::pair<const char*, DropFormat>, 4> names{{
        {"DOOR32.SYS", DropFormat::door32_sys},
        {"DOOR.SYS", DropFormat::door_sys},
        {"DORINFO", DropFormat::dorinfo},
        {"INFO.", DropFormat::host_info},
    }};
    for (const auto& [name, format] : names)
        if (p.find(name) != std::string::npos && plat::file_exists(path)) return format;
    return DropFormat::none;
}

void read_door32_sys(std::string_view path, DoorSession& s) {
    auto l = lines_of(path, 11);
    if (l.empty()) return;
    s.comm_type = static_cast<uint8_t>(number(l[0], 0));
    s.comm_handle = number(l[1], -1);
    s.user_record = number(l[4], 1) - 1;
    s.real_name = l[5];
    s.alias = l[6];
    s.security_level = number(l[7], 0);
    s.time_allowed = number(l[8], 0) * 60;
    s.ansi = number(l[9], 1) != 0;
    s.node = number(l[10], 0);
}

void read_door_sys(std::string_view path, DoorSession& s) {
    auto l = lines_of(path, 52);
    if (l.empty()) return;
    // "COM1:": from the 4th character on, less the last one.
    const std::string& port = l[0];
    int32_t handle = port.size() > 4 ? number(port.substr(3, port.size() - 4), 0) : 0;
    s.comm_handle = handle;
    if (handle > 0) s.comm_type = 1;
    s.node = number(l[3], 0);
    s.real_name = l[9];
    s.security_level = number(l[14], 0);
    s.time_allowed = number(l[17], 0);
    s.ansi = upper(l[19]) == "GR";
    s.user_record = number(l[25], 1) - 1;
    s.alias = l[35];
}

void read_dorinfo(std::string_view path, DoorSession& s) {
    auto l = lines_of(path, 13);
    if (l.empty()) return;
    int32_t handle = port_number(l[3]);
    s.comm_handle = handle;
    if (handle > 0) s.comm_type = 1;
    s.alias = l[6];
    s.real_name = l[7].empty() ? l[6] : l[6] + " " + l[7];
    s.ansi = number(l[9], 1) == 1;
    s.security_level = number(l[10], 0);
    s.time_allowed = number(l[11], 0) * 60;
}

void read_host_info(std::string_view path, DoorSession& s, bool knows_local) {
    auto l = lines_of(path, 14);
    if (l.empty()) return;
    s.user_record = number(l[0], 0);
    s.ansi = number(l[1], 3) == 3;
    s.fairy = upper(l[3]) == "FAIRY YES";
    s.time_allowed = number(l[4], 0) * 60;
    s.alias = l[5];
    s.real_name = l[6];
    if (!l[7].empty()) s.real_name += " " + l[7];
    int32_t handle = number(l[8], 0);
    s.comm_handle = handle;
    if (handle > 0) s.comm_type = 1;
    std::string kind = upper(l[11]);
    if (kind == "TELNET")
        s.comm_type = 2;
    else if (kind == "WC5")
        s.comm_type = 3;
    else if (kind == "LOCAL" && knows_local)
        s.comm_type = 0;
    s.clean_mode = upper(l[13]) == "CLEAN MODE ON";
}

}  // namespace kit
