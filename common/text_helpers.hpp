// String helpers of the team module and the cave game: back-tick code
// stripping, centring, padding, thousands commas, case and blank trimming,
// "|"-separated fields and case-blind word replacement.
//
// Texts are CP437 bytes. Every helper returns at most 255 characters (or the
// maximum its caller gives), as the game's short strings hold no more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace common {

inline constexpr size_t kMaxText = 255;

// Removes every back-tick together with the character after it (a back-tick
// at the very end goes alone).
std::string strip_codes(std::string_view text);

// Prefixes (width - v) div 2 blanks, v being the length of the text without
// its back-tick codes, when v is below width; otherwise the text as it is.
std::string center_text(std::string_view text, int width);

// Appends blanks until the text is at least width long. An empty text and a
// width of 0 leave the text unchanged.
std::string pad_right(std::string_view text, int width);

// n in decimal with a comma in front of every third digit, counted from the
// last, that has another digit before it (-100000 gives -100,000); cut to max.
std::string format_commas(int64_t n, size_t max = kMaxText);

// a-z become A-Z; every other byte is kept.
std::string upper_case(std::string_view text);

// Removes leading blanks when the text holds anything but blanks, keeping at
// least one character; cut to max.
std::string trim_left(std::string_view text, size_t max = kMaxText);
// Removes trailing blanks; a text of blanks only keeps one blank; cut to max.
std::string trim_right(std::string_view text, size_t max = kMaxText);

// Field n (from 1) of a line split at "|". Fields before n are dropped one
// "|" at a time; a line that runs out of "|" keeps what is left, so every
// field of a line without "|" is the whole line.
std::string field_of(std::string_view line, int n);

// Replaces every occurrence of word in text, matching a-z without regard to
// case, left to right. Where the matched text starts with a byte below "["
// (an upper-case letter, a digit, most punctuation) the replacement's first
// character is upper-cased. Inserted text is never searched again, so a
// replacement that contains the word does not loop. An empty word changes
// nothing. The result is cut to max.
std::string replace_word(std::string_view word, std::string_view replacement, size_t max,
                         std::string_view text);

// True when the file can be opened for reading (it is closed again at once).
bool file_can_open(std::string_view path);

}  // namespace common
