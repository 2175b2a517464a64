#include "kit/native_door_login.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "kit/door32_channel.hpp"
#include "platform/dynlib.hpp"

namespace kit {

namespace {

constexpr size_t kNameOffset = 8;
constexpr size_t kNameMax = 71;
constexpr size_t kAnsiOffset = 700;
constexpr size_t kMinutesOffset = 832;

int32_t le32(const std::vector<uint8_t>& rec, size_t at) {
    uint32_t v = static_cast<uint32_t>(rec[at]) | static_cast<uint32_t>(rec[at + 1]) << 8 |
                 static_cast<uint32_t>(rec[at + 2]) << 16 | static_cast<uint32_t>(rec[at + 3]) << 24;
    return static_cast<int32_t>(v);
}

}  // namespace

bool native_door_login(DoorSession& session) { return native_door_login(session, native_library_dirs()); }

bool native_door_login(DoorSession& session, const std::vector<std::string>& dirs) {
    plat::DynLib lib;
    if (!open_native_library(lib, "WCSRV.DLL", dirs)) return false;
    auto logged_in = reinterpret_cast<int (*)(void*)>(lib.symbol("WildcatLoggedIn"));
    auto get_node = reinterpret_cast<int (*)()>(lib.symbol("GetNode"));
    if (logged_in == nullptr || get_node == nullptr) return false;

    std::vector<uint8_t> info(kUserInfoSize, 0);
    if (logged_in(info.data()) != 1) return false;

    const auto name_begin = info.begin() + kNameOffset;
    const auto name_end = std::find(name_begin, name_begin + kNameMax, uint8_t{0});
    std::string name(name_begin, name_end);
    session.real_name = name;
    session.alias = name.substr(0, name.find(' '));
    // Minutes times 60, kept within the field's range.
    const int64_t seconds = int64_t{le32(info, kMinutesOffset)} * 60;
    session.time_allowed = static_cast<int32_t>(std::clamp<int64_t>(seconds, INT32_MIN, INT32_MAX));
    session.ansi = le32(info, kAnsiOffset) == 0;
    session.node = get_node();
    return true;
}

}  // namespace kit
