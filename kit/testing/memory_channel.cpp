#include "kit/testing/memory_channel.hpp"

namespace kit::testing {

bool MemoryChannel::open_handle(int h) {
    handle_ = h;
    if (keys_left()) line_->arrival.signal();
    return true;
}

void MemoryChannel::line_status(int& a, int& b) {
    a = 0;
    b = 8 + (carrier() ? 128 : 0);
}

void MemoryChannel::buffer_status(int& in_free, int& out_free, int& in_used, int& out_used) {
    in_used = static_cast<int>(line_->keys.size() - line_->pos);
    in_free = 32767 - in_used;
    out_used = 0;
    out_free = 32767;
}

void MemoryChannel::set_dtr(bool on) {
    if (!on) close();
}

bool MemoryChannel::carrier() {
    if (line_->hang_up_when_done && !keys_left()) line_->online = false;
    return line_->online;
}

uint8_t MemoryChannel::read_char() {
    if (!keys_left()) return 0;
    return static_cast<uint8_t>(line_->keys[line_->pos++]);
}

bool MemoryChannel::send_char(uint8_t c) {
    line_->sent += static_cast<char>(c);
    return true;
}

bool MemoryChannel::send_buffer(const uint8_t* bytes, int n, int& queued) {
    if (n < 0) n = 0;
    line_->sent.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
    queued = n;
    return true;
}

bool MemoryChannel::read_buffer(uint8_t* dst, int n, int& got) {
    got = 0;
    while (got < n && keys_left()) dst[got++] = read_char();
    return got > 0;
}

bool MemoryChannel::send_string(std::string_view s) {
    line_->sent.append(s);
    return true;
}

void MemoryChannel::clear_arrival() {
    line_->arrival.drain();
    if (keys_left()) line_->arrival.signal();
}

}  // namespace kit::testing
