// The bytes of the telnet protocol the kit and the sandbox speak.
#pragma once

#include <cstdint>

namespace kit {

// Telnet bytes.
namespace telnet {
inline constexpr uint8_t se = 240;
inline constexpr uint8_t nop = 241;
inline constexpr uint8_t sb = 250;
inline constexpr uint8_t will = 251;
inline constexpr uint8_t wont = 252;
inline constexpr uint8_t do_ = 253;
inline constexpr uint8_t dont = 254;
inline constexpr uint8_t iac = 255;
inline constexpr uint8_t opt_binary = 0;
inline constexpr uint8_t opt_echo = 1;
inline constexpr uint8_t opt_sga = 3;
}  // namespace telnet

}  // namespace kit
