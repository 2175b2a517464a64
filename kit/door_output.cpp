#include "kit/door_output.hpp"

#include "kit/door_input.hpp"
#include "kit/kit_state.hpp"

namespace kit {

namespace {

constexpr size_t kMaxWrite = 255;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string csi(int n, char command) { return "\x1b[" + std::to_string(n) + command; }

char ansi_digit(int pc_colour) { return static_cast<char>('0' + kAnsiColour[static_cast<size_t>(pc_colour & 7)]); }

// The colour sequences are appended piece by piece: they are on the path of
// every pipe code, which must stay cheap.
void append_bg(std::string& out, int colour) {
    out += "\x1b[4";
    out += ansi_digit(((colour % 8) + 8) % 8);
    out += 'm';
}

void append_fg(std::string& out, int colour) {
    int c = ((colour % 16) + 16) % 16;
    out += c >= 8 ? "\x1b[1;3" : "\x1b[0;3";
    out += ansi_digit(c);
    out += 'm';
    // The reset in "0;" clears the background, so it is sent again.
    if (c < 8) append_bg(out, (the_kit().screen.attr() >> 4) & 7);
}

void append_attr(std::string& out, int attr) {
    append_fg(out, attr & 15);
    append_bg(out, (attr >> 4) & 15);
}

}  // namespace

// ---- colour sequences ------------------------------------------------------

std::string bg_sequence(int colour) {
    std::string s;
    append_bg(s, colour);
    return s;
}

std::string fg_sequence(int colour) {
    std::string s;
    append_fg(s, colour);
    return s;
}

std::string attr_sequence(int attr) {
    std::string s;
    append_attr(s, attr);
    return s;
}

std::string expand_pipe_codes(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kMaxWrite));
    if (text.size() < 3 || text.find('|') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(kMaxWrite + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|' && i + 2 < text.size()) {
            int hi = hex_digit(text[i + 1]);
            int lo = hex_digit(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                int value = hi * 16 + lo;
                if (value >= 128) value -= 128;
                append_attr(out, value);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    if (out.size() > kMaxWrite) out.resize(kMaxWrite);
    return out;
}

// ---- writing -----------------------------------------------------------------

void door_write(std::string_view text) {
    Kit& k = the_kit();
    std::string out = expand_pipe_codes(text);
    if (k.channel) {
        int queued = 0;
        k.channel->send_buffer(reinterpret_cast<const uint8_t*>(out.data()), static_cast<int>(out.size()), queued);
    }
    local_show(out);
}

void door_write_line(std::string_view text) {
    std::string line(text.substr(0, std::min(text.size(), kMaxWrite)));
    line += "\r\n";
    door_write(line);
}

void door_newline() { door_write("\r\n"); }
void door_clear_screen() { door_write("\x1b[2J\x1b[1;1f"); }
void door_clear_eol() { door_write("\x1b[K"); }

void door_goto_column(int column) {
    std::string s = "\x1b[255D";
    if (column != 1) s += csi(column - 1, 'C');
    door_write(s);
}

void door_goto_xy(int x, int y) { door_write("\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "f"); }
void door_cursor_left(int n) { door_write(csi(n, 'D')); }

void door_set_fg(int colour) {
    the_kit().session.fg = static_cast<uint8_t>(((colour % 16) + 16) % 16);
    door_write(fg_sequence(colour));
}

void door_set_bg(int colour) {
    the_kit().session.bg = static_cast<uint8_t>(((colour % 8) + 8) % 8);
    door_write(bg_sequence(colour));
}

void door_set_attr(int attr) { door_write(attr_sequence(attr)); }

uint8_t door_current_fg() { return the_kit().session.fg; }

void door_more_prompt(std::optional<std::string_view> prompt) {
    std::string text(prompt.value_or(" |0A<|02MORE|0A>"));
    door_write(text);
    door_read_key();
    int n = static_cast<int>(text.size());
    door_cursor_left(n);
    door_write(std::string(static_cast<size_t>(n), ' '));
    door_cursor_left(n);
}

std::string door_pad_left(std::string_view text, char fill, int width) {
    std::string s(text);
    if (width < 0) width = 0;
    auto w = static_cast<size_t>(width);
    if (s.size() < w) s.insert(0, w - s.size(), fill);
    return s.substr(0, w);
}

std::string door_pad_right(std::string_view text, char fill, int width) {
    std::string s(text);
    if (width < 0) width = 0;
    auto w = static_cast<size_t>(width);
    if (s.size() < w) s.append(w - s.size(), fill);
    return s.substr(0, w);
}

// ---- back-tick codes ---------------------------------------------------------

std::optional<int> backtick_foreground(char code) {
    if (code >= '1' && code <= '9') return code - '0';
    switch (code) {
        case '0': return 10;
        case '!': return 11;
        case '@': return 12;
        case '#': return 13;
        case '$': return 14;
        case '%': return 15;
        default: return std::nullopt;
    }
}

void door_write_backtick(std::string_view text, BacktickSet set) {
    bool grumbold = set == BacktickSet::grumbold;
    bool clear_code = set != BacktickSet::runelot;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '`') {
            door_write(text.substr(i, 1));
            continue;
        }
        if (i + 1 >= text.size()) break;  // a back-tick at the very end
        char code = text[++i];
        if (std::optional<int> fg = backtick_foreground(code)) {
            door_set_fg(*fg);
        } else if (code == 'r') {
            if (i + 1 >= text.size()) break;
            char d = text[++i];
            if (d >= '0' && d <= '7')
                door_set_bg(d - '0');
            else if (d == '8' && grumbold)
                door_set_bg(8);
        } else if (code == 'c' && clear_code) {
            door_clear_screen();
            door_write_line("");
            door_write_line("");
        } else if (grumbold && code == '^') {
            door_set_fg(16);
        } else if (grumbold && code == 'b') {
            door_set_fg(20);
        } else if (grumbold && code == 'y') {
            door_set_fg(30);
        }
    }
}

// ---- local console only --------------------------------------------------------

void local_write(std::string_view text) { local_show(text); }

void local_write_line(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    local_show(line);
}

void local_clear_screen() {
    Kit& k = the_kit();
    k.screen.clear_window();
    refresh_mirror();
}

void local_set_attr(uint8_t attr) { the_kit().screen.set_attr(attr); }
uint8_t local_attr() { return the_kit().screen.attr(); }

void local_set_fg(int colour) {
    Kit& k = the_kit();
    k.screen.set_attr(static_cast<uint8_t>((k.screen.attr() & 0xF0) | (colour & 15)));
}

}  // namespace kit
