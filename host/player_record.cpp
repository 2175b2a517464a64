#include "host/player_record.hpp"

#include <algorithm>

namespace host {

int16_t PlayerRecord::get16(size_t at) const {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
}

void PlayerRecord::set16(size_t at, int16_t v) {
    uint16_t u = static_cast<uint16_t>(v);
    bytes[at] = static_cast<uint8_t>(u & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(u >> 8);
}

int32_t PlayerRecord::get32(size_t at) const {
    uint32_t u = 0;
    for (size_t i = 4; i-- > 0;) u = (u << 8) | bytes[at + i];
    return static_cast<int32_t>(u);
}

void PlayerRecord::set32(size_t at, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

std::string PlayerRecord::get_string(size_t at, size_t area) const {
    size_t length = std::min<size_t>(bytes[at], area - 1);
    auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at + 1);
    return std::string(first, first + static_cast<std::ptrdiff_t>(length));
}

void PlayerRecord::set_string(size_t at, size_t area, std::string_view v) {
    size_t length = std::min(v.size(), area - 1);
    bytes[at] = static_cast<uint8_t>(length);
    std::copy_n(v.begin(), length, bytes.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

}  // namespace host
