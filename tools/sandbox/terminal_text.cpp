#include "tools/sandbox/terminal_text.hpp"

#include <cstdint>

#include "kit/cp437.hpp"

namespace sandbox {

std::string cp437_for_terminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto b = static_cast<uint8_t>(ch);
        if (b < 0x80)
            out += ch;
        else
            kit::append_utf8(out, kit::cp437_to_unicode(b));
    }
    return out;
}

namespace {

// The length of the UTF-8 sequence a lead byte starts (1 for a stray
// continuation byte or an invalid lead, which are dropped).
size_t sequence_length(uint8_t lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF8) return 4;
    return 1;
}

}  // namespace

std::string KeyDecoder::feed(std::string_view bytes) {
    pending_.append(bytes);
    std::string out;
    size_t i = 0;
    while (i < pending_.size()) {
        auto lead = static_cast<uint8_t>(pending_[i]);
        if (lead < 0x80) {
            out += pending_[i++];
            continue;
        }
        size_t len = sequence_length(lead);
        if (len == 1) {
            ++i;
            continue;
        }
        if (i + len > pending_.size()) break;  // wait for the rest
        out += kit::utf8_to_cp437(std::string_view(pending_).substr(i, len));
        i += len;
    }
    pending_.erase(0, i);
    return out;
}

}  // namespace sandbox
