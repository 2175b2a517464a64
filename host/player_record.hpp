// The host's player record: 236 bytes, little-endian, signed integers,
// length-prefixed string areas. The record keeps its raw bytes and exposes
// typed accessors for the fields the modules use, so everything a module
// does not change (the unused areas, the bytes after a string's length)
// goes back to the file exactly as it was read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace host {

inline constexpr size_t kPlayerRecordSize = 236;
// The modules handle record numbers 0 to 149.
inline constexpr int kMaxPlayers = 150;

// Byte offsets of the fields, and the widths of the string areas.
namespace player_offset {
inline constexpr size_t name = 0;            // string area of 72 bytes
inline constexpr size_t hit_points = 72;     // int16
inline constexpr size_t hit_max = 78;        // int16
inline constexpr size_t weapon_name = 82;    // string area of 23 bytes
inline constexpr size_t fights_left = 105;   // int16
inline constexpr size_t gold = 109;          // int32
inline constexpr size_t bank = 113;          // int32
inline constexpr size_t defense = 117;       // int16
inline constexpr size_t strength = 119;      // int16
inline constexpr size_t charm = 121;         // int16
inline constexpr size_t level = 127;         // int16
inline constexpr size_t armor_name = 131;    // string area of 23 bytes
inline constexpr size_t dead = 154;          // byte
inline constexpr size_t gems = 156;          // int16
inline constexpr size_t experience = 158;    // int32
inline constexpr size_t sex = 162;           // byte
inline constexpr size_t lays = 166;          // int16
inline constexpr size_t online = 170;        // byte
inline constexpr size_t player_class = 179;  // byte
inline constexpr size_t wins = 212;          // int16
inline constexpr size_t skill_uses = 214;    // 3 bytes, classes 1-3
inline constexpr size_t kills = 227;         // int16
inline constexpr size_t mood = 231;          // byte

inline constexpr size_t name_area = 72;
inline constexpr size_t weapon_name_area = 23;
inline constexpr size_t armor_name_area = 23;
}  // namespace player_offset

// Values of `dead` and `sex` the modules write or test.
inline constexpr uint8_t kDeadKilled = 5;
inline constexpr uint8_t kSexMale = 0;
inline constexpr uint8_t kSexFemale = 5;

class PlayerRecord {
public:
    std::array<uint8_t, kPlayerRecordSize> bytes{};

    // String areas: the length byte, then the characters; a stored length
    // beyond the area reads as the whole area. Setting a string writes the
    // length and characters (cut to the area) and leaves the bytes after
    // them as they were.
    std::string name() const { return get_string(player_offset::name, player_offset::name_area); }
    void set_name(std::string_view v) { set_string(player_offset::name, player_offset::name_area, v); }
    std::string weapon_name() const {
        return get_string(player_offset::weapon_name, player_offset::weapon_name_area);
    }
    void set_weapon_name(std::string_view v) {
        set_string(player_offset::weapon_name, player_offset::weapon_name_area, v);
    }
    std::string armor_name() const {
        return get_string(player_offset::armor_name, player_offset::armor_name_area);
    }
    void set_armor_name(std::string_view v) {
        set_string(player_offset::armor_name, player_offset::armor_name_area, v);
    }
    // A deleted slot of the host: the name is exactly "X".
    bool is_empty_slot() const { return name() == "X"; }

    int16_t hit_points() const { return get16(player_offset::hit_points); }
    void set_hit_points(int16_t v) { set16(player_offset::hit_points, v); }
    int16_t hit_max() const { return get16(player_offset::hit_max); }
    void set_hit_max(int16_t v) { set16(player_offset::hit_max, v); }
    int16_t fights_left() const { return get16(player_offset::fights_left); }
    void set_fights_left(int16_t v) { set16(player_offset::fights_left, v); }
    int32_t gold() const { return get32(player_offset::gold); }
    void set_gold(int32_t v) { set32(player_offset::gold, v); }
    int32_t bank() const { return get32(player_offset::bank); }
    void set_bank(int32_t v) { set32(player_offset::bank, v); }
    int16_t defense() const { return get16(player_offset::defense); }
    void set_defense(int16_t v) { set16(player_offset::defense, v); }
    int16_t strength() const { return get16(player_offset::strength); }
    void set_strength(int16_t v) { set16(player_offset::strength, v); }
    int16_t charm() const { return get16(player_offset::charm); }
    void set_charm(int16_t v) { set16(player_offset::charm, v); }
    int16_t level() const { return get16(player_offset::level); }
    void set_level(int16_t v) { set16(player_offset::level, v); }
    uint8_t dead() const { return bytes[player_offset::dead]; }
    void set_dead(uint8_t v) { bytes[player_offset::dead] = v; }
    int16_t gems() const { return get16(player_offset::gems); }
    void set_gems(int16_t v) { set16(player_offset::gems, v); }
    int32_t experience() const { return get32(player_offset::experience); }
    void set_experience(int32_t v) { set32(player_offset::experience, v); }
    uint8_t sex() const { return bytes[player_offset::sex]; }
    void set_sex(uint8_t v) { bytes[player_offset::sex] = v; }
    int16_t lays() const { return get16(player_offset::lays); }
    void set_lays(int16_t v) { set16(player_offset::lays, v); }
    uint8_t online() const { return bytes[player_offset::online]; }
    void set_online(uint8_t v) { bytes[player_offset::online] = v; }
    // The field the host calls `class` (1, 2 or 3).
    uint8_t player_class() const { return bytes[player_offset::player_class]; }
    void set_player_class(uint8_t v) { bytes[player_offset::player_class] = v; }
    int16_t wins() const { return get16(player_offset::wins); }
    void set_wins(int16_t v) { set16(player_offset::wins, v); }
    // The counter of class 1, 2 or 3; other classes read 0 and write nothing.
    uint8_t skill_uses(int cls) const {
        return cls >= 1 && cls <= 3 ? bytes[player_offset::skill_uses + static_cast<size_t>(cls - 1)] : 0;
    }
    void set_skill_uses(int cls, uint8_t v) {
        if (cls >= 1 && cls <= 3) bytes[player_offset::skill_uses + static_cast<size_t>(cls - 1)] = v;
    }
    int16_t kills() const { return get16(player_offset::kills); }
    void set_kills(int16_t v) { set16(player_offset::kills, v); }
    uint8_t mood() const { return bytes[player_offset::mood]; }
    void set_mood(uint8_t v) { bytes[player_offset::mood] = v; }

private:
    int16_t get16(size_t at) const;
    void set16(size_t at, int16_t v);
    int32_t get32(size_t at) const;
    void set32(size_t at, int32_t v);
    std::string get_string(size_t at, size_t area) const;
    void set_string(size_t at, size_t area, std::string_view v);
};

}  // namespace host
