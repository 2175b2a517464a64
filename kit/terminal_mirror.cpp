#include "kit/terminal_mirror.hpp"

#include "kit/ansi_interpreter.hpp"
#include "kit/cp437.hpp"
#include "platform/terminal.hpp"

namespace kit {

std::string sgr_for_attr(uint8_t attr) {
    int fg = attr & 15;
    int bg = (attr >> 4) & 7;
    std::string s = "\x1b[0;";
    if (fg >= 8) s += "1;";
    s += std::to_string(30 + kAnsiColour[static_cast<size_t>(fg & 7)]);
    s += ';';
    s += std::to_string(40 + kAnsiColour[static_cast<size_t>(bg)]);
    s += 'm';
    return s;
}

std::string TerminalMirror::draw_rows(const ScreenModel& model, uint32_t rows, uint8_t& current_attr) {
    std::string out;
    for (int r = 1; r <= ScreenModel::kRows; ++r) {
        if ((rows & (1u << (r - 1))) == 0) continue;
        out += "\x1b[" + std::to_string(r) + ";1H";
        for (int c = 1; c <= ScreenModel::kColumns; ++c) {
            const Cell& cell = model.cell(c, r);
            if (cell.attr != current_attr) {
                out += sgr_for_attr(cell.attr);
                current_attr = cell.attr;
            }
            append_utf8(out, cp437_to_unicode(cell.ch));
        }
    }
    return out;
}

void TerminalMirror::render(ScreenModel& model) {
    std::string out;
    if (!started_) {
        started_ = true;
        out += "\x1b[0m\x1b[2J";
        model.mark_all_dirty();
    }
    uint32_t rows = model.take_dirty();
    if (rows != 0) out += draw_rows(model, rows, current_attr_);
    out += "\x1b[" + std::to_string(model.row()) + ";" + std::to_string(model.column()) + "H";
    plat::write_stdout(out);
}

void TerminalMirror::finish() {
    if (!started_) return;
    plat::write_stdout("\x1b[0m\x1b[25;1H\r\n");
    started_ = false;
}

}  // namespace kit
