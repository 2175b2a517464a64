#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/extended_float.hpp"

using common::decode_extended;
using common::encode_extended;
using Bytes = std::array<uint8_t, 10>;

namespace {

double decode(const Bytes& b) { return decode_extended(std::span<const uint8_t, 10>(b)); }

Bytes make(uint64_t significand, unsigned sign_exponent) {
    Bytes b{};
    for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(significand >> (8 * i));
    b[8] = static_cast<uint8_t>(sign_exponent & 0xFF);
    b[9] = static_cast<uint8_t>(sign_exponent >> 8);
    return b;
}

constexpr uint64_t kOne = uint64_t{1} << 63;

}  // namespace

TEST(ExtendedFloat, EncodesKnownBitPatterns) {
    struct {
        double value;
        Bytes bytes;
    } cases[] = {
        {0.0, make(0, 0)},
        {-0.0, make(0, 0x8000)},
        {1.0, make(kOne, 0x3FFF)},
        {-2.0, make(kOne, 0xC000)},
        {3.0, make(0xC000000000000000u, 0x4000)},
        {0.5, make(kOne, 0x3FFE)},
        {50000.0, make(0xC350000000000000u, 0x400E)},
        {9007199254740992.0, make(kOne, 0x3FFF + 53)},  // 2^53
        {std::numeric_limits<double>::infinity(), make(kOne, 0x7FFF)},
        {-std::numeric_limits<double>::infinity(), make(kOne, 0xFFFF)},
        // The smallest double denormal is a normal extended number.
        {std::numeric_limits<double>::denorm_min(), make(kOne, 0x3FFF - 1074)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encode_extended(c.value), c.bytes) << c.value;
        double back = decode(c.bytes);
        EXPECT_EQ(back, c.value) << c.value;
        EXPECT_EQ(std::signbit(back), std::signbit(c.value)) << c.value;
    }
}

TEST(ExtendedFloat, EveryIntegerUpTo2To53AndOrdinaryValuesRoundTrip) {
    double values[] = {1, -1, 7, 123456789, -987654321012.0, 9007199254740991.0,
                       -9007199254740991.0, 0.1, -1e-300, 1e300,
                       std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                       std::numeric_limits<double>::denorm_min() * 3};
    for (double v : values) EXPECT_EQ(decode(encode_extended(v)), v) << v;
    for (int64_t n = 1; n < (int64_t{1} << 53); n = n * 3 + 1) {
        double v = static_cast<double>(n);
        EXPECT_EQ(decode(encode_extended(v)), v) << n;
    }
}

TEST(ExtendedFloat, DecodesWhatDoubleCannotHoldSanely) {
    // 1 + 2^-63: needs 64 bits, rounds to 1.
    EXPECT_EQ(decode(make(kOne | 1, 0x3FFF)), 1.0);
    // Beyond double's range: infinity with the sign.
    EXPECT_EQ(decode(make(kOne, 0x3FFF + 2000)), std::numeric_limits<double>::infinity());
    EXPECT_EQ(decode(make(kOne, 0xBFFF + 2000)), -std::numeric_limits<double>::infinity());
    // Below it: zero; an extended denormal is far below too.
    EXPECT_EQ(decode(make(kOne, 0x3FFF - 2000)), 0.0);
    EXPECT_EQ(decode(make(1, 0x0000)), 0.0);
    EXPECT_TRUE(std::signbit(decode(make(1, 0x8000))));
    // NaNs, and the pseudo-infinity the x87 rejects.
    EXPECT_TRUE(std::isnan(decode(make(0xC000000000000000u, 0x7FFF))));
    EXPECT_TRUE(std::isnan(decode(make(0, 0x7FFF))));
    EXPECT_TRUE(std::isnan(decode(encode_extended(std::numeric_limits<double>::quiet_NaN()))));
    // An unnormal: integer bit clear, 0.5 * 2^1 = 1.
    EXPECT_EQ(decode(make(kOne >> 1, 0x4000)), 1.0);
}
