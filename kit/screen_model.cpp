#include "kit/screen_model.hpp"

#include <algorithm>

namespace kit {

ScreenModel::ScreenModel() { mark_all_dirty(); }

void ScreenModel::write_text(std::string_view text) {
    for (char ch : text) {
        auto c = static_cast<uint8_t>(ch);
        if (c < 32 || wrap_pending_) {
            put_char(c);
            continue;
        }
        // The common case, a printable character inside the line.
        cells_[row_ - 1][column_ - 1] = Cell{c, attr_};
        mark(row_);
        if (column_ == kColumns)
            wrap_pending_ = true;
        else
            ++column_;
    }
}

void ScreenModel::put_char(uint8_t c) {
    switch (c) {
        case '\r':
            column_ = 1;
            wrap_pending_ = false;
            return;
        case '\n':
            wrap_pending_ = false;
            line_feed();
            return;
        case '\b':
            wrap_pending_ = false;
            if (column_ > 1) --column_;
            return;
        case '\t':
            column_ = std::min(kColumns, ((column_ - 1) / 8 + 1) * 8 + 1);
            return;
        case '\a':
            return;
        default:
            break;
    }
    if (wrap_pending_) {
        wrap_pending_ = false;
        column_ = 1;
        line_feed();
    }
    cells_[row_ - 1][column_ - 1] = Cell{c, attr_};
    mark(row_);
    if (column_ == kColumns)
        wrap_pending_ = true;
    else
        ++column_;
}

void ScreenModel::line_feed() {
    if (row_ == bottom_)
        scroll_window();
    else if (row_ < kRows)
        ++row_;
}

void ScreenModel::scroll_window() {
    for (int r = top_; r < bottom_; ++r) cells_[r - 1] = cells_[r];
    cells_[bottom_ - 1].fill(Cell{' ', attr_});
    for (int r = top_; r <= bottom_; ++r) mark(r);
}

void ScreenModel::move_to(int column, int row) {
    column_ = std::clamp(column, 1, kColumns);
    row_ = std::clamp(row, top_, bottom_);
    wrap_pending_ = false;
}

void ScreenModel::set_window(int top, int bottom) {
    top_ = std::clamp(top, 1, kRows);
    bottom_ = std::clamp(bottom, top_, kRows);
    row_ = std::clamp(row_, top_, bottom_);
}

void ScreenModel::clear_window() {
    for (int r = top_; r <= bottom_; ++r) {
        cells_[r - 1].fill(Cell{' ', attr_});
        mark(r);
    }
    move_to(1, top_);
}

void ScreenModel::clear_to_eol() {
    for (int c = column_; c <= kColumns; ++c) cells_[row_ - 1][c - 1] = Cell{' ', attr_};
    mark(row_);
}

void ScreenModel::put_cells(int column, int row, std::string_view text, uint8_t attr) {
    if (row < 1 || row > kRows) return;
    for (size_t i = 0; i < text.size(); ++i) {
        int c = column + static_cast<int>(i);
        if (c < 1 || c > kColumns) break;
        cells_[row - 1][c - 1] = Cell{static_cast<uint8_t>(text[i]), attr};
    }
    mark(row);
}

std::string ScreenModel::row_text(int row) const {
    std::string s;
    for (const Cell& c : cells_[row - 1]) s += static_cast<char>(c.ch);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

}  // namespace kit
