#include "common/colour_writers.hpp"

#include <algorithm>
#include <string>

#include "common/text_helpers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"

namespace common {

namespace {

struct Sink {
    void (*write)(std::string_view);
    void (*set_fg)(int);
};

// Writes the text up to its last code through the sink and returns what
// is left after the last code.
std::string_view write_coded(std::string_view text, const Sink& sink) {
    if (text.size() > kMaxText) text = text.substr(0, kMaxText);
    for (size_t tick = text.find('`'); tick != std::string_view::npos; tick = text.find('`')) {
        if (tick > 0) sink.write(text.substr(0, tick));
        if (tick + 1 < text.size()) {
            if (std::optional<int> colour = kit::backtick_foreground(text[tick + 1])) sink.set_fg(*colour);
        }
        text.remove_prefix(std::min(tick + 2, text.size()));
    }
    return text;
}

void caller_write(std::string_view text) { kit::door_write(text); }
void caller_fg(int colour) { kit::door_set_fg(colour); }
void console_write(std::string_view text) { kit::local_write(text); }
void console_fg(int colour) { kit::local_set_fg(colour); }

constexpr Sink kCaller{caller_write, caller_fg};
constexpr Sink kConsole{console_write, console_fg};

}  // namespace

void write_codes(std::string_view text) {
    std::string_view rest = write_coded(text, kCaller);
    if (!rest.empty()) kit::door_write(rest);
}

void write_line_codes(std::string_view text) { kit::door_write_line(write_coded(text, kCaller)); }

void local_write_codes(std::string_view text) {
    std::string_view rest = write_coded(text, kConsole);
    if (!rest.empty()) kit::local_write(rest);
}

void local_write_line_codes(std::string_view text) {
    kit::local_write_line(write_coded(text, kConsole));
}

void more_prompt() {
    write_codes("`0<`2MORE`0>");
    kit::door_read_key();
}

}  // namespace common
