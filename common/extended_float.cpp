#include "common/extended_float.hpp"

#include <cmath>
#include <limits>

namespace common {

namespace {

constexpr int kBias = 16383;
constexpr unsigned kMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

}  // namespace

double decode_extended(std::span<const uint8_t, kExtendedSize> bytes) {
    uint64_t significand = 0;
    for (size_t i = 8; i-- > 0;) significand = (significand << 8) | bytes[i];
    unsigned top = static_cast<unsigned>(bytes[8]) | (static_cast<unsigned>(bytes[9]) << 8);
    bool negative = (top & 0x8000u) != 0;
    unsigned exponent = top & kMaxExponent;
    double sign = negative ? -1.0 : 1.0;

    if (exponent == kMaxExponent) {
        if (significand == kIntegerBit) return sign * std::numeric_limits<double>::infinity();
        return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    }
    if (significand == 0) return sign * 0.0;
    // Value = significand * 2^(e - bias - 63), denormals counting as e = 1;
    // an unnormal (integer bit clear) is taken for what its bits say. The
    // conversion to double rounds to nearest; the scaling is exact unless
    // the result leaves double's normal range.
    int e = exponent == 0 ? 1 : static_cast<int>(exponent);
    return sign * std::ldexp(static_cast<double>(significand), e - kBias - 63);
}

void encode_extended(double value, std::span<uint8_t, kExtendedSize> out) {
    bool negative = std::signbit(value);
    uint64_t significand = 0;
    unsigned exponent = 0;
    if (std::isnan(value)) {
        exponent = kMaxExponent;
        significand = kIntegerBit | (kIntegerBit >> 1);
    } else if (std::isinf(value)) {
        exponent = kMaxExponent;
        significand = kIntegerBit;
    } else if (value != 0.0) {
        // value = f * 2^exp with 0.5 <= |f| < 1; every double (denormals
        // too) is a normal extended number.
        int exp = 0;
        double f = std::frexp(std::fabs(value), &exp);
        // f * 2^64 is an integer below 2^64 (f has at most 53 bits); take it
        // in two 32-bit halves to stay exact.
        double high_part = std::ldexp(f, 32);
        double high = std::floor(high_part);
        double low = std::ldexp(high_part - high, 32);
        significand = (static_cast<uint64_t>(high) << 32) | static_cast<uint64_t>(low);
        exponent = static_cast<unsigned>(exp - 1 + kBias);
    }
    for (size_t i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(significand >> (8 * i));
    unsigned top = exponent | (negative ? 0x8000u : 0u);
    out[8] = static_cast<uint8_t>(top & 0xFF);
    out[9] = static_cast<uint8_t>(top >> 8);
}

std::array<uint8_t, kExtendedSize> encode_extended(double value) {
    std::array<uint8_t, kExtendedSize> out{};
    encode_extended(value, std::span<uint8_t, kExtendedSize>(out));
    return out;
}

}  // namespace common
