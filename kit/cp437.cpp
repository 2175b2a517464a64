#include "kit/cp437.hpp"

#include <array>

namespace kit {

namespace {

constexpr std::array<char16_t, 32> kLow{
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};

constexpr std::array<char16_t, 128> kHigh{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

}  // namespace

char32_t cp437_to_unicode(uint8_t byte) {
    if (byte < 32) return kLow[byte];
    if (byte == 127) return 0x2302;
    if (byte < 128) return byte;
    return kHigh[byte - 128];
}

uint8_t unicode_to_cp437(char32_t c) {
    if (c >= 32 && c < 127) return static_cast<uint8_t>(c);
    for (int b = 128; b < 256; ++b)
        if (kHigh[static_cast<size_t>(b - 128)] == c) return static_cast<uint8_t>(b);
    for (int b = 1; b < 32; ++b)
        if (kLow[static_cast<size_t>(b)] == c) return static_cast<uint8_t>(b);
    if (c == 0x2302) return 127;
    return 0;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string cp437_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) append_utf8(out, cp437_to_unicode(static_cast<uint8_t>(c)));
    return out;
}

std::string utf8_to_cp437(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<uint8_t>(text[i]);
        char32_t c;
        size_t len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            ++i;
            continue;
        }
        if (i + len > text.size()) break;
        for (size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        i += len;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (uint8_t m = unicode_to_cp437(c)) {
            out += static_cast<char>(m);
        }
    }
    return out;
}

}  // namespace kit
