#include "common/text_helpers.hpp"

#include "platform/files.hpp"

namespace common {

namespace {

std::string cut(std::string text, size_t max) {
    if (text.size() > max) text.resize(max);
    return text;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string strip_codes(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '`') {
            ++i;  // the code character goes with its back-tick
            continue;
        }
        out += text[i];
    }
    return cut(std::move(out), kMaxText);
}

std::string center_text(std::string_view text, int width) {
    int visible = static_cast<int>(strip_codes(text).size());
    std::string out;
    if (visible < width) out.assign(static_cast<size_t>((width - visible) / 2), ' ');
    out += text;
    return cut(std::move(out), kMaxText);
}

std::string pad_right(std::string_view text, int width) {
    std::string out(text);
    if (!out.empty() && width > 0 && out.size() < static_cast<size_t>(width))
        out.resize(static_cast<size_t>(width), ' ');
    return cut(std::move(out), kMaxText);
}

std::string format_commas(int64_t n, size_t max) {
    std::string digits = std::to_string(n);
    size_t first = digits[0] == '-' ? 1 : 0;
    std::string out;
    int count = 0;
    for (size_t i = digits.size(); i > first; --i) {
        if (count > 0 && count % 3 == 0) out.insert(out.begin(), ',');
        out.insert(out.begin(), digits[i - 1]);
        ++count;
    }
    if (first == 1) out.insert(out.begin(), '-');
    return cut(std::move(out), max);
}

std::string upper_case(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upper(c);
    return out;
}

std::string trim_left(std::string_view text, size_t max) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return cut(std::string(text), max);
    return cut(std::string(text.substr(start)), max);
}

std::string trim_right(std::string_view text, size_t max) {
    size_t end = text.find_last_not_of(' ');
    if (end == std::string_view::npos) return cut(std::string(text.substr(0, 1)), max);
    return cut(std::string(text.substr(0, end + 1)), max);
}

std::string field_of(std::string_view line, int n) {
    for (int i = 1; i < n; ++i) {
        size_t bar = line.find('|');
        if (bar == std::string_view::npos) break;
        line.remove_prefix(bar + 1);
    }
    return std::string(line.substr(0, line.find('|')));
}

std::string replace_word(std::string_view word, std::string_view replacement, size_t max,
                         std::string_view text) {
    std::string out(text);
    if (word.empty()) return cut(std::move(out), max);
    std::string upper_word = upper_case(word);
    size_t from = 0;
    while (from + word.size() <= out.size()) {
        size_t at = std::string::npos;
        for (size_t i = from; i + word.size() <= out.size(); ++i) {
            bool same = true;
            for (size_t k = 0; k < word.size() && same; ++k) same = upper(out[i + k]) == upper_word[k];
            if (same) {
                at = i;
                break;
            }
        }
        if (at == std::string::npos) break;
        std::string with(replacement);
        if (!with.empty() && static_cast<unsigned char>(out[at]) < '[') with[0] = upper(with[0]);
        out.replace(at, word.size(), with);
        from = at + with.size();
    }
    return cut(std::move(out), max);
}

bool file_can_open(std::string_view path) {
    plat::FileHandle f;
    return f.try_open(path, plat::Access::read, plat::Share::deny_none) == 0;
}

}  // namespace common
