#include <algorithm>
#include <cstring>

#include "kit/comm_channel.hpp"

namespace kit {

ByteQueue::ByteQueue(int capacity)
    : capacity_(capacity),
      data_(static_cast<size_t>(capacity)),
      scratch_(static_cast<size_t>(capacity)) {}

int ByteQueue::put(const uint8_t* bytes, int n) {
    n = std::min(n, free());
    if (n <= 0) return 0;
    // The held bytes sit in [start_, end_); when the new ones would run past
    // the end of the array, the held ones move to the front first.
    if (end_ + n > capacity_) {
        int held = used();
        std::memmove(data_.data(), data_.data() + start_, static_cast<size_t>(held));
        start_ = 0;
        end_ = held;
    }
    std::memcpy(data_.data() + end_, bytes, static_cast<size_t>(n));
    end_ += n;
    return n;
}

int ByteQueue::peek(uint8_t* dst, int n) const {
    n = std::min(n, used());
    if (n <= 0) return 0;
    std::memcpy(dst, data_.data() + start_, static_cast<size_t>(n));
    return n;
}

int ByteQueue::take(uint8_t* dst, int n) {
    n = peek(dst, n);
    start_ += n;
    if (start_ == end_) start_ = end_ = 0;
    return n;
}

}  // namespace kit
