// The name filter of the team module: cleans a name a caller typed before it
// is stored and shown to other callers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

inline constexpr char kBadWordsFile[] = "BADWORDS.DAT";

// Cleans a caller-typed text:
// 1. an empty text is returned unchanged;
// 2. control bytes (below 32, and 127) are removed, so no escape sequence a
//    caller types can reach other callers' terminals;
// 3. every back-tick not followed by one of 1-7, 9, 0, "!", "@", "#", "$",
//    "%" is removed (the character after it stays: "`8" becomes "8");
// 4. every usable line of the bad-words file (word + "|" + replacement;
//    ";" comments and lines shorter than 2 characters after trimming are
//    skipped) replaces its word with replace_word; a missing or unreadable
//    file replaces nothing;
// 5. the result is cut to max.
std::string filter_name(std::string_view text, size_t max,
                        std::string_view bad_words_path = kBadWordsFile);

}  // namespace common
