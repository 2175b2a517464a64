#include "team/team_records.hpp"

#include <algorithm>

#include "common/extended_float.hpp"

namespace kelvane {

namespace {

int16_t get16(std::span<const uint8_t> b, size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(b[at] | (b[at + 1] << 8)));
}

void set16(std::span<uint8_t> b, size_t at, int16_t v) {
    auto u = static_cast<uint16_t>(v);
    b[at] = static_cast<uint8_t>(u & 0xFF);
    b[at + 1] = static_cast<uint8_t>(u >> 8);
}

int32_t get32(std::span<const uint8_t> b, size_t at) {
    uint32_t u = static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
                 (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    return static_cast<int32_t>(u);
}

void set32(std::span<uint8_t> b, size_t at, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}

std::string get_short_string(std::span<const uint8_t> b, size_t at, size_t max) {
    size_t len = std::min<size_t>(b[at], max);
    return std::string(reinterpret_cast<const char*>(b.data() + at + 1), len);
}

void set_short_string(std::span<uint8_t> b, size_t at, size_t max, const std::string& v) {
    size_t len = std::min(v.size(), max);
    b[at] = static_cast<uint8_t>(len);
    std::copy_n(v.begin(), len, b.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

}  // namespace

bool TeamRecord::has_members() const {
    return std::any_of(members.begin(), members.end(), [](uint8_t m) { return m != 0; });
}

int TeamRecord::member_count() const {
    return static_cast<int>(std::count_if(members.begin(), members.end(), [](uint8_t m) { return m != 0; }));
}

TeamRecord decode_team(std::span<const uint8_t, kTeamRecordSize> bytes) {
    TeamRecord t;
    t.leader = bytes[team_offset::leader];
    t.name = get_short_string(bytes, team_offset::name, team_offset::name_max);
    t.password = get_short_string(bytes, team_offset::password, team_offset::password_max);
    std::copy_n(bytes.begin() + team_offset::members, kPlayerSlots, t.members.begin());
    std::copy_n(bytes.begin() + team_offset::asleep, kPlayerSlots, t.asleep.begin());
    t.treasury = team_bytes_treasury(bytes);
    t.guard_strength = get16(bytes, team_offset::guard_strength);
    t.guard_endurance = get16(bytes, team_offset::guard_endurance);
    return t;
}

TeamBytes encode_team(const TeamRecord& t) {
    TeamBytes b{};
    b[team_offset::leader] = t.leader;
    set_short_string(b, team_offset::name, team_offset::name_max, t.name);
    set_short_string(b, team_offset::password, team_offset::password_max, t.password);
    std::copy(t.members.begin(), t.members.end(), b.begin() + team_offset::members);
    std::copy(t.asleep.begin(), t.asleep.end(), b.begin() + team_offset::asleep);
    set_team_bytes_treasury(b, t.treasury);
    set16(b, team_offset::guard_strength, t.guard_strength);
    set16(b, team_offset::guard_endurance, t.guard_endurance);
    return b;
}

double team_bytes_treasury(std::span<const uint8_t, kTeamRecordSize> bytes) {
    return common::decode_extended(bytes.subspan<team_offset::treasury, common::kExtendedSize>());
}

void set_team_bytes_treasury(std::span<uint8_t, kTeamRecordSize> bytes, double treasury) {
    common::encode_extended(treasury, bytes.subspan<team_offset::treasury, common::kExtendedSize>());
}

bool team_bytes_has_members(std::span<const uint8_t, kTeamRecordSize> bytes) {
    auto members = bytes.subspan<team_offset::members, kPlayerSlots>();
    return std::any_of(members.begin(), members.end(), [](uint8_t m) { return m != 0; });
}

DrawTable decode_draw(std::span<const uint8_t, kDrawTableSize> bytes) {
    DrawTable d;
    for (size_t i = 0; i < kPlayerSlots; ++i) d.withdraw_left[i] = get32(bytes, 4 * i);
    std::copy_n(bytes.begin() + 600, kPlayerSlots, d.invasions_left.begin());
    std::copy_n(bytes.begin() + 750, kPlayerSlots, d.party_points.begin());
    return d;
}

std::array<uint8_t, kDrawTableSize> encode_draw(const DrawTable& d) {
    std::array<uint8_t, kDrawTableSize> b{};
    for (size_t i = 0; i < kPlayerSlots; ++i) set32(b, 4 * i, d.withdraw_left[i]);
    std::copy(d.invasions_left.begin(), d.invasions_left.end(), b.begin() + 600);
    std::copy(d.party_points.begin(), d.party_points.end(), b.begin() + 750);
    return b;
}

TeamUpdate decode_update(std::span<const uint8_t, kTeamUpdateSize> bytes) {
    TeamUpdate u;
    u.kind = bytes[0];
    u.player = bytes[1];
    u.amount = get32(bytes, 2);
    u.on_team = bytes[6];
    u.team = bytes[7];
    std::copy_n(bytes.begin() + 8, kPlayerSlots, u.seen.begin());
    return u;
}

std::array<uint8_t, kTeamUpdateSize> encode_update(const TeamUpdate& u) {
    std::array<uint8_t, kTeamUpdateSize> b{};
    b[0] = u.kind;
    b[1] = u.player;
    set32(b, 2, u.amount);
    b[6] = u.on_team;
    b[7] = u.team;
    std::copy(u.seen.begin(), u.seen.end(), b.begin() + 8);
    return b;
}

}  // namespace kelvane
