#include "kit/local_keyboard.hpp"

#include "kit/cp437.hpp"
#include "platform/terminal.hpp"

namespace kit {

namespace {

constexpr char kEsc = 27;

// Scan code of a CSI or SS3 key sequence; 0 when unknown.
uint8_t scan_code_of(std::string_view params, char final) {
    switch (final) {
        case 'A': return scan::up;
        case 'B': return scan::down;
        case 'C': return scan::right;
        case 'D': return scan::left;
        case 'H': return scan::home;
        case 'F': return scan::end;
        case 'P': return scan::f1;
        case 'Q': return scan::f2;
        case 'R': return scan::f3;
        case 'S': return scan::f4;
        case '~': break;
        default: return 0;
    }
    std::string_view n = params.substr(0, params.find(';'));
    if (n == "1" || n == "7") return scan::home;
    if (n == "2") return scan::insert;
    if (n == "3") return scan::del;
    if (n == "4" || n == "8") return scan::end;
    if (n == "5") return scan::page_up;
    if (n == "6") return scan::page_down;
    if (n == "11") return scan::f1;
    if (n == "12") return scan::f2;
    if (n == "13") return scan::f3;
    if (n == "14") return scan::f4;
    if (n == "15") return scan::f5;
    if (n == "17") return scan::f6;
    if (n == "18") return scan::f7;
    if (n == "19") return scan::f8;
    if (n == "20") return scan::f9;
    if (n == "21") return scan::f10;
    return 0;
}

size_t utf8_length(uint8_t lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

void decode_terminal_keys(std::string& pending, std::string_view bytes, std::deque<uint8_t>& keys) {
    std::string in = pending + std::string(bytes);
    pending.clear();
    size_t i = 0;
    while (i < in.size()) {
        auto b = static_cast<uint8_t>(in[i]);
        if (b == kEsc) {
            if (i + 1 >= in.size()) {  // Escape on its own
                keys.push_back(27);
                ++i;
                continue;
            }
            char intro = in[i + 1];
            if (intro != '[' && intro != 'O') {
                keys.push_back(27);
                ++i;
                continue;
            }
            size_t j = i + 2;
            while (j < in.size() && (static_cast<uint8_t>(in[j]) < 0x40 || static_cast<uint8_t>(in[j]) > 0x7E))
                ++j;
            if (j >= in.size()) {  // cut in the middle: wait for the rest
                pending = in.substr(i);
                return;
            }
            if (uint8_t code = scan_code_of(std::string_view(in).substr(i + 2, j - i - 2), in[j])) {
                keys.push_back(0);
                keys.push_back(code);
            }
            i = j + 1;
            continue;
        }
        if (b == 127) {
            keys.push_back(8);
            ++i;
            continue;
        }
        if (b < 0x80) {
            keys.push_back(b);
            ++i;
            continue;
        }
        size_t len = utf8_length(b);
        if (i + len > in.size()) {
            pending = in.substr(i);
            return;
        }
        std::string cp = utf8_to_cp437(std::string_view(in).substr(i, len));
        for (char c : cp) keys.push_back(static_cast<uint8_t>(c));
        i += len;
    }
}

int TerminalKeyboard::fd() const { return 0; }  // standard input

void TerminalKeyboard::fill() {
    std::string bytes = plat::read_stdin_available();
    if (!bytes.empty() || !pending_.empty()) decode_terminal_keys(pending_, bytes, keys_);
}

bool TerminalKeyboard::key_pressed() {
    if (keys_.empty()) fill();
    return !keys_.empty();
}

uint8_t TerminalKeyboard::read_byte() {
    if (keys_.empty()) fill();
    if (keys_.empty()) return 0;
    uint8_t b = keys_.front();
    keys_.pop_front();
    return b;
}

}  // namespace kit
