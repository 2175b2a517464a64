#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/player_record.hpp"

using host::PlayerRecord;

namespace {

// One field: where it lies, how wide it is, and how to set and get it as a
// 64-bit value.
struct Field {
    const char* name;
    size_t offset;
    size_t width;
    std::function<void(PlayerRecord&, int64_t)> set;
    std::function<int64_t(const PlayerRecord&)> get;
};

#define INT_FIELD(f, off, w, T) \
    Field { #f, off, w, [](PlayerRecord& r, int64_t v) { r.set_##f(static_cast<T>(v)); }, \
            [](const PlayerRecord& r) { return static_cast<int64_t>(r.f()); } }

std::vector<Field> fields() {
    return {
        INT_FIELD(hit_points, 72, 2, int16_t),
        INT_FIELD(hit_max, 78, 2, int16_t),
        INT_FIELD(fights_left, 105, 2, int16_t),
        INT_FIELD(gold, 109, 4, int32_t),
        INT_FIELD(bank, 113, 4, int32_t),
        INT_FIELD(defense, 117, 2, int16_t),
        INT_FIELD(strength, 119, 2, int16_t),
        INT_FIELD(charm, 121, 2, int16_t),
        INT_FIELD(level, 127, 2, int16_t),
        INT_FIELD(dead, 154, 1, uint8_t),
        INT_FIELD(gems, 156, 2, int16_t),
        INT_FIELD(experience, 158, 4, int32_t),
        INT_FIELD(sex, 162, 1, uint8_t),
        INT_FIELD(lays, 166, 2, int16_t),
        INT_FIELD(online, 170, 1, uint8_t),
        INT_FIELD(player_class, 179, 1, uint8_t),
        INT_FIELD(wins, 212, 2, int16_t),
        Field{"skill_uses 1", 214, 1, [](PlayerRecord& r, int64_t v) { r.set_skill_uses(1, static_cast<uint8_t>(v)); },
              [](const PlayerRecord& r) { return static_cast<int64_t>(r.skill_uses(1)); }},
        Field{"skill_uses 2", 215, 1, [](PlayerRecord& r, int64_t v) { r.set_skill_uses(2, static_cast<uint8_t>(v)); },
              [](const PlayerRecord& r) { return static_cast<int64_t>(r.skill_uses(2)); }},
        Field{"skill_uses 3", 216, 1, [](PlayerRecord& r, int64_t v) { r.set_skill_uses(3, static_cast<uint8_t>(v)); },
              [](const PlayerRecord& r) { return static_cast<int64_t>(r.skill_uses(3)); }},
        INT_FIELD(kills, 227, 2, int16_t),
        INT_FIELD(mood, 231, 1, uint8_t),
    };
}

}  // namespace

TEST(PlayerRecord, EveryFieldLiesAtItsOffsetLittleEndianAndSigned) {
    for (const Field& f : fields()) {
        PlayerRecord r;
        // A value with a distinct byte in every position of the field; the
        // top byte set makes the wider fields negative.
        int64_t value = f.width == 1 ? 0xC5 : f.width == 2 ? int16_t(0x81C2) : int32_t(0x81C2D3E4);
        f.set(r, value);
        EXPECT_EQ(f.get(r), value) << f.name;
        const uint8_t little[4] = {f.width == 1 ? uint8_t(0xC5) : f.width == 2 ? uint8_t(0xC2) : uint8_t(0xE4),
                                   f.width == 2 ? uint8_t(0x81) : uint8_t(0xD3), 0xC2, 0x81};
        for (size_t i = 0; i < host::kPlayerRecordSize; ++i) {
            bool inside = i >= f.offset && i < f.offset + f.width;
            EXPECT_EQ(r.bytes[i], inside ? little[i - f.offset] : 0) << f.name << " byte " << i;
        }
    }
}

TEST(PlayerRecord, StringAreasKeepTheBytesAfterTheText) {
    struct {
        const char* name;
        size_t offset, area;
        void (PlayerRecord::*set)(std::string_view);
        std::string (PlayerRecord::*get)() const;
    } areas[] = {
        {"name", 0, 72, &PlayerRecord::set_name, &PlayerRecord::name},
        {"weapon_name", 82, 23, &PlayerRecord::set_weapon_name, &PlayerRecord::weapon_name},
        {"armor_name", 131, 23, &PlayerRecord::set_armor_name, &PlayerRecord::armor_name},
    };
    for (const auto& a : areas) {
        PlayerRecord r;
        r.bytes.fill(0xEE);
        (r.*a.set)("Bob");
        EXPECT_EQ((r.*a.get)(), "Bob") << a.name;
        EXPECT_EQ(r.bytes[a.offset], 3) << a.name;
        EXPECT_EQ(r.bytes[a.offset + 4], 0xEE) << a.name;  // trailing byte kept
        EXPECT_EQ(r.bytes[a.offset + a.area], 0xEE) << a.name;

        (r.*a.set)(std::string(300, 'z'));  // cut to the area
        EXPECT_EQ((r.*a.get)(), std::string(a.area - 1, 'z')) << a.name;
        EXPECT_EQ(r.bytes[a.offset + a.area], 0xEE) << a.name;

        r.bytes[a.offset] = 0xFF;  // a length beyond the area reads the area
        EXPECT_EQ((r.*a.get)().size(), a.area - 1) << a.name;
    }
    PlayerRecord deleted;
    deleted.set_name("X");
    EXPECT_TRUE(deleted.is_empty_slot());
    deleted.set_name("Xena");
    EXPECT_FALSE(deleted.is_empty_slot());
}
