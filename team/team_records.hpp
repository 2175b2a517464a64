// The team module's binary records, encoded and decoded at their byte
// offsets (little-endian): the team record of "teamfile.dat", the allowance
// table of "teamdraw.dat" and the notice of the "tup" files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kelvane {

// Record numbers of the player file the module handles (0 to 149).
inline constexpr int kPlayerSlots = 150;
// Teams the team file and the screens' tables hold.
inline constexpr int kMaxTeams = 149;

inline constexpr size_t kTeamRecordSize = 355;
inline constexpr size_t kDrawTableSize = 900;
inline constexpr size_t kTeamUpdateSize = 158;

namespace team_offset {
inline constexpr size_t leader = 0;            // byte
inline constexpr size_t name = 1;              // short string, 30 characters
inline constexpr size_t password = 32;         // short string, 8 characters
inline constexpr size_t members = 41;          // 150 bytes
inline constexpr size_t asleep = 191;          // 150 bytes
inline constexpr size_t treasury = 341;        // 80-bit extended float
inline constexpr size_t guard_strength = 351;  // int16
inline constexpr size_t guard_endurance = 353; // int16
inline constexpr size_t name_max = 30;
inline constexpr size_t password_max = 8;
}  // namespace team_offset

using TeamBytes = std::array<uint8_t, kTeamRecordSize>;

struct TeamRecord {
    uint8_t leader = 0;
    std::string name;
    std::string password;
    // Nonzero entries count as set; values are written back as read.
    std::array<uint8_t, kPlayerSlots> members{};
    std::array<uint8_t, kPlayerSlots> asleep{};
    double treasury = 0;
    int16_t guard_strength = 0;
    int16_t guard_endurance = 0;

    bool is_member(int player) const { return player >= 0 && player < kPlayerSlots && members[player] != 0; }
    bool has_members() const;
    int member_count() const;
};

// A stored length beyond a field's maximum reads as the maximum.
TeamRecord decode_team(std::span<const uint8_t, kTeamRecordSize> bytes);
TeamBytes encode_team(const TeamRecord& team);
// The treasury field of an encoded record.
double team_bytes_treasury(std::span<const uint8_t, kTeamRecordSize> bytes);
void set_team_bytes_treasury(std::span<uint8_t, kTeamRecordSize> bytes, double treasury);
// True when any members entry of an encoded record is set.
bool team_bytes_has_members(std::span<const uint8_t, kTeamRecordSize> bytes);

// Today's allowances of every player.
struct DrawTable {
    std::array<int32_t, kPlayerSlots> withdraw_left{};
    std::array<uint8_t, kPlayerSlots> invasions_left{};
    std::array<uint8_t, kPlayerSlots> party_points{};
};

DrawTable decode_draw(std::span<const uint8_t, kDrawTableSize> bytes);
std::array<uint8_t, kDrawTableSize> encode_draw(const DrawTable& draw);

// Notice kinds.
inline constexpr uint8_t kUpdateJoined = 1;
inline constexpr uint8_t kUpdateLeft = 2;
inline constexpr uint8_t kUpdateDeposit = 3;
inline constexpr uint8_t kUpdateWithdrawal = 4;

// A notice by which one node tells the others about a change to a team.
struct TeamUpdate {
    uint8_t kind = 0;
    uint8_t player = 0;
    int32_t amount = 0;
    uint8_t on_team = 0;
    uint8_t team = 0;
    std::array<uint8_t, kPlayerSlots> seen{};
};

TeamUpdate decode_update(std::span<const uint8_t, kTeamUpdateSize> bytes);
std::array<uint8_t, kTeamUpdateSize> encode_update(const TeamUpdate& update);

}  // namespace kelvane
