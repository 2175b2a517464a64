// Code page 437, the PC character set the game's texts use, and Unicode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kit {

// The Unicode character a CP437 byte shows as (control bytes as their
// PC glyphs, 0 as a blank).
char32_t cp437_to_unicode(uint8_t byte);
// The CP437 byte for a Unicode character; 0 when it has none.
uint8_t unicode_to_cp437(char32_t c);

// Appends the UTF-8 encoding of c.
void append_utf8(std::string& out, char32_t c);
// Converts CP437 text to UTF-8 as a terminal shows it.
std::string cp437_to_utf8(std::string_view text);
// Converts UTF-8 text to CP437; characters without a CP437 form are dropped.
std::string utf8_to_cp437(std::string_view text);

}  // namespace kit
