// Portable codec between the 10-byte x87 extended float (as stored in the
// game's files) and double.
//
// Layout, little-endian: bytes 0-7 the 64-bit significand with its integer
// bit explicit (bit 63), bytes 8-9 the 15-bit exponent biased by 16383 and
// the sign in bit 15. The codec works byte by byte and never assumes that
// long double is the x87 format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace common {

inline constexpr size_t kExtendedSize = 10;

// The value of the stored number, rounded to the nearest double:
// zeros keep their sign; numbers beyond double's range become +-infinity,
// numbers below it become (signed) zero or a double denormal; infinities
// stay infinite; NaNs and the formats the x87 rejects (pseudo-infinities,
// pseudo-NaNs) decode as NaN. Unnormals (integer bit clear with a nonzero
// exponent) decode as the value their bits describe.
double decode_extended(std::span<const uint8_t, kExtendedSize> bytes);

// The exact extended form of value (every double fits): zeros, denormals,
// infinities and NaNs included; a NaN is stored as the quiet NaN with its
// sign.
void encode_extended(double value, std::span<uint8_t, kExtendedSize> out);
std::array<uint8_t, kExtendedSize> encode_extended(double value);

}  // namespace common
