// Whole-number conversion with the classic Val rules: leading blanks, an
// optional sign, then decimal digits or "$" and hexadecimal digits, and
// nothing else. Out of the 32-bit signed range is not ok.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

struct ValResult {
    int32_t value = 0;
    bool ok = false;
};

ValResult val(std::string_view text);

// The value, or fallback when the text is not a whole number.
int32_t val_or(std::string_view text, int32_t fallback);

}  // namespace plat
