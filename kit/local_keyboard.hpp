// The local keyboard: keys the sysop types at the node's own terminal, as a
// PC keyboard delivers them (special keys as 0 followed by the scan code).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace kit {

// PC scan codes of the special keys.
namespace scan {
inline constexpr uint8_t f1 = 59, f2 = 60, f3 = 61, f4 = 62, f5 = 63, f6 = 64, f7 = 65, f8 = 66,
                         f9 = 67, f10 = 68;
inline constexpr uint8_t home = 71, up = 72, page_up = 73, left = 75, right = 77, end = 79, down = 80,
                         page_down = 81, insert = 82, del = 83;
}  // namespace scan

class LocalKeyboard {
public:
    virtual ~LocalKeyboard() = default;
    // A descriptor to wait on for keys; -1 when there is none.
    virtual int fd() const = 0;
    virtual bool key_pressed() = 0;
    // The next byte of a key; requires key_pressed().
    virtual uint8_t read_byte() = 0;
};

// Turns bytes from a terminal into PC keys: escape sequences of cursor and
// function keys become 0 + scan code, DEL becomes BS, UTF-8 becomes CP437.
// A sequence cut at the end of `bytes` is kept in `pending` for the next
// call; an ESC with nothing after it is the Escape key.
void decode_terminal_keys(std::string& pending, std::string_view bytes, std::deque<uint8_t>& keys);

// The keyboard of the terminal on standard input.
class TerminalKeyboard final : public LocalKeyboard {
public:
    int fd() const override;
    bool key_pressed() override;
    uint8_t read_byte() override;

private:
    void fill();
    std::deque<uint8_t> keys_;
    std::string pending_;
};

// A keyboard fed by a test.
class ScriptedKeyboard final : public LocalKeyboard {
public:
    void type(std::string_view bytes) {
        for (char c : bytes) keys_.push_back(static_cast<uint8_t>(c));
    }
    int fd() const override { return -1; }
    bool key_pressed() override { return !keys_.empty(); }
    uint8_t read_byte() override {
        uint8_t b = keys_.front();
        keys_.pop_front();
        return b;
    }

private:
    std::deque<uint8_t> keys_;
};

}  // namespace kit
