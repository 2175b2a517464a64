#include "common/colour_writers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/val.hpp"
#include "team/screens.hpp"

namespace kelvane {

namespace {
constexpr int kAmountInputMax = 255;
}  // namespace

std::string menu_separator() {
    std::string line = "`0";
    for (int i = 0; i < 38; ++i) line += "-=";
    return line + "-";
}

char upper_key(char key) { return key >= 'a' && key <= 'z' ? static_cast<char>(key - 'a' + 'A') : key; }

void echo_key_line(char key, std::string_view colour) {
    auto byte = static_cast<unsigned char>(key);
    std::string line(colour);
    if (byte >= 32 && byte != 127) line += upper_key(key);
    if (colour.empty())
        kit::door_write_line(line);
    else
        common::write_line_codes(line);
}

int32_t read_amount() {
    plat::ValResult v = plat::val(kit::door_input_line(kAmountInputMax));
    return v.ok && v.value >= 1 ? v.value : 0;
}

void not_on_team() {
    kit::door_write_line();
    common::write_line_codes("  `2You're not _on_ a team!");
    common::more_prompt();
}

}  // namespace kelvane
