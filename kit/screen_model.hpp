// The local console as a model: 80 x 25 cells of character and attribute,
// a cursor, the local text attribute and a scrolling window (rows 1-24 once
// a session starts, so row 25 keeps the status line).
//
// Columns and rows count from 1. Text written at the cursor follows a
// terminal's rules: CR, LF, BS and TAB move the cursor, BEL is ignored, a
// line wraps when a character is written past column 80, and a line feed on
// the window's last row scrolls the window only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kit {

// What the local ANSI interpreter drives: a console with a cursor, a text
// attribute and a scrolling window.
class ConsoleSink {
public:
    virtual ~ConsoleSink() = default;
    virtual void write_text(std::string_view text) = 0;
    virtual int column() const = 0;
    virtual int row() const = 0;
    virtual void move_to(int column, int row) = 0;
    virtual int window_top() const = 0;
    virtual int window_bottom() const = 0;
    virtual uint8_t attr() const = 0;
    virtual void set_attr(uint8_t attr) = 0;
    virtual void clear_window() = 0;
    virtual void clear_to_eol() = 0;
};

struct Cell {
    uint8_t ch = ' ';
    uint8_t attr = 7;
};

class ScreenModel final : public ConsoleSink {
public:
    static constexpr int kColumns = 80;
    static constexpr int kRows = 25;

    ScreenModel();

    // Writes plain text at the cursor in the current attribute.
    void write_text(std::string_view text) override;

    int column() const override { return column_; }
    int row() const override { return row_; }
    // Moves the cursor, clamped to the window.
    void move_to(int column, int row) override;
    int window_top() const override { return top_; }
    int window_bottom() const override { return bottom_; }
    void set_window(int top, int bottom);

    uint8_t attr() const override { return attr_; }
    void set_attr(uint8_t attr) override { attr_ = attr; }

    // Blanks the window in the current attribute and homes the cursor.
    void clear_window() override;
    // Blanks from the cursor to the end of its row.
    void clear_to_eol() override;
    // Writes cells directly (for the status line): no cursor movement, no
    // change of the current attribute, no scrolling.
    void put_cells(int column, int row, std::string_view text, uint8_t attr);

    const Cell& cell(int column, int row) const { return cells_[row - 1][column - 1]; }
    std::string row_text(int row) const;  // trailing blanks removed

    // Rows changed since the renderer last looked (bit r-1 for row r).
    uint32_t take_dirty() {
        uint32_t d = dirty_;
        dirty_ = 0;
        return d;
    }
    void mark_all_dirty() { dirty_ = (1u << kRows) - 1; }

private:
    void put_char(uint8_t c);
    void line_feed();
    void scroll_window();
    void mark(int row) { dirty_ |= 1u << (row - 1); }

    std::array<std::array<Cell, kColumns>, kRows> cells_ {};
    int column_ = 1;
    int row_ = 1;
    bool wrap_pending_ = false;
    int top_ = 1;
    int bottom_ = kRows;
    uint8_t attr_ = 7;
    uint32_t dirty_ = 0;
};

}  // namespace kit
