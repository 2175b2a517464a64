#include "kit/ansi_interpreter.hpp"

#include <algorithm>

namespace kit {

namespace {

constexpr char kEsc = 27;

int at_least_one(int v) { return v < 1 ? 1 : v; }

}  // namespace

void AnsiInterpreter::feed(std::string_view bytes, ConsoleSink& sink) {
    size_t plain_start = 0;
    size_t plain_len = 0;
    auto flush_plain = [&] {
        if (plain_len > 0) sink.write_text(bytes.substr(plain_start, plain_len));
        plain_len = 0;
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == kEsc) {
            flush_plain();
            escape_seen_ = true;
            in_sequence_ = false;
            continue;
        }
        if (escape_seen_) {
            escape_seen_ = false;
            if (c == '[') {
                start_sequence();
                continue;
            }
            // A stray ESC is dropped; the byte after it is plain text.
        }
        if (in_sequence_) {
            if (c == ' ' || c == '<' || c == '=' || c == '>' || c == '?') continue;
            if (c >= '0' && c <= '9') {
                if (digits_.size() < 9) digits_ += c;
                continue;
            }
            if (c == ';') {
                store_param();
                if (index_ < 9) ++index_;
                continue;
            }
            store_param();
            in_sequence_ = false;
            execute(c, sink);
            continue;
        }
        if (plain_len == 0) plain_start = i;
        ++plain_len;
    }
    flush_plain();
}

void AnsiInterpreter::start_sequence() {
    in_sequence_ = true;
    digits_.clear();
    index_ = 0;
    params_.fill(-1);
}

void AnsiInterpreter::store_param() {
    params_[static_cast<size_t>(index_)] = digits_.empty() ? 0 : std::stoi(digits_);
    digits_.clear();
}

void AnsiInterpreter::execute(char command, ConsoleSink& sink) {
    int col = sink.column();
    int row = sink.row();
    int top = sink.window_top();
    int bottom = sink.window_bottom();
    switch (command) {
        case 'A':
            sink.move_to(col, std::max(top, row - at_least_one(param(0))));
            break;
        case 'B':
            sink.move_to(col, std::min(bottom, row + at_least_one(param(0))));
            break;
        case 'C':
            sink.move_to(std::min(80, col + at_least_one(param(0))), row);
            break;
        case 'D':
            sink.move_to(std::max(1, col - at_least_one(param(0))), row);
            break;
        case 'H':
        case 'f':
            sink.move_to(at_least_one(param(1)), top - 1 + at_least_one(param(0)));
            break;
        case 'J':
            if (param(0) == 2) sink.clear_window();
            break;
        case 'K':
            sink.clear_to_eol();
            break;
        case 'm':
            set_graphics(sink);
            break;
        case 's':
            saved_column_ = col;
            saved_row_ = row;
            break;
        case 'u':
            sink.move_to(saved_column_, saved_row_);
            break;
        default:
            break;
    }
}

void AnsiInterpreter::set_graphics(ConsoleSink& sink) {
    int attr = sink.attr();
    for (int i = 0; i < 10; ++i) {
        int p = param(i);
        if (p < 0) {
            if (i > 0) break;
            p = 0;
        }
        int fg = attr & 15;
        int bg = (attr >> 4) & 7;
        if (p == 0) {
            attr = 7;
        } else if (p == 1) {
            attr |= 8;
        } else if (p == 7) {
            attr = (fg * 16) % 128 + bg;
        } else if (p == 8) {
            attr = 0;
        } else if (p >= 30 && p <= 37) {
            int bright = attr & 8;
            attr = (attr & 0xF0) | kAnsiColour[static_cast<size_t>(p - 30)] | bright;
        } else if (p >= 40 && p <= 47) {
            attr = (attr & 0x0F) | (kAnsiColour[static_cast<size_t>(p - 40)] << 4);
        }
    }
    sink.set_attr(static_cast<uint8_t>(attr));
}

}  // namespace kit
