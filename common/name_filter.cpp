#include "common/name_filter.hpp"

#include "common/text_helpers.hpp"
#include "platform/files.hpp"

namespace common {

namespace {

bool is_control(char c) {
    unsigned char b = static_cast<unsigned char>(c);
    return b < 32 || b == 127;
}

bool permitted_code(char c) {
    return std::string_view("123456790!@#$%").find(c) != std::string_view::npos;
}

std::string drop_control_and_bad_codes(std::string_view text) {
    std::string printable;
    for (char c : text)
        if (!is_control(c)) printable += c;
    std::string out;
    for (size_t i = 0; i < printable.size(); ++i) {
        if (printable[i] == '`' && (i + 1 >= printable.size() || !permitted_code(printable[i + 1])))
            continue;
        out += printable[i];
    }
    return out;
}

// A line that is a ";" comment or shorter than 2 characters once blanks are
// trimmed from both ends carries no word.
bool usable(const std::string& line) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    size_t last = line.find_last_not_of(' ');
    if (line[first] == ';') return false;
    return last - first + 1 >= 2;
}

}  // namespace

std::string filter_name(std::string_view text, size_t max, std::string_view bad_words_path) {
    if (text.empty()) return std::string(text);
    std::string out = drop_control_and_bad_codes(text);

    plat::TextReader words;
    if (words.try_open(bad_words_path) == 0) {
        while (!words.eof()) {
            std::string line = words.read_line();
            if (!usable(line)) continue;
            // Word and replacement are taken as read, blanks included.
            out = replace_word(field_of(line, 1), field_of(line, 2), kMaxText, out);
        }
        words.close();
    }
    // The sysop's replacements pass the same byte rule as the caller's text.
    std::string clean;
    for (char c : out)
        if (!is_control(c)) clean += c;
    if (clean.size() > max) clean.resize(max);
    return clean;
}

}  // namespace common
