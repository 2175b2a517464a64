#include "platform/val.hpp"

namespace plat {

ValResult val(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    }
    if (i >= s.size()) return {};
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return {};
        v = v * base + d;
        if (v > 2'147'483'648LL) return {};
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return {};
    return {static_cast<int32_t>(v), true};
}

int32_t val_or(std::string_view text, int32_t fallback) {
    ValResult r = val(text);
    return r.ok ? r.value : fallback;
}

}  // namespace plat
