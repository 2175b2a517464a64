// The local ANSI interpreter: a state machine fed the bytes sent to the
// caller, reproducing them on a console sink. It understands the sequences
// the kit sends (cursor movement, clear screen and line, colours, save and
// restore of the cursor) and nothing touches a device.
//
// State survives between feeds, so a sequence split across two writes is
// understood. An ESC not followed by "[" is dropped.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "kit/screen_model.hpp"

namespace kit {

// PC colour 0-7 to ANSI colour digit; its own inverse.
inline constexpr std::array<int, 8> kAnsiColour{0, 4, 2, 6, 1, 5, 3, 7};

class AnsiInterpreter {
public:
    void feed(std::string_view bytes, ConsoleSink& sink);
    void reset() { *this = AnsiInterpreter{}; }

private:
    void start_sequence();
    void store_param();
    void execute(char command, ConsoleSink& sink);
    void set_graphics(ConsoleSink& sink);
    int param(int i) const { return params_[static_cast<size_t>(i)]; }

    bool escape_seen_ = false;
    bool in_sequence_ = false;
    std::string digits_;
    int index_ = 0;  // 0-based parameter index
    std::array<int, 10> params_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int saved_column_ = 1;
    int saved_row_ = 1;
};

}  // namespace kit
