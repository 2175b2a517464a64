#include "platform/random.hpp"

#include "platform/clock.hpp"

namespace plat {

namespace {

RandomSource* g_source = nullptr;

RandomSource& seeded() {
    static SeededRandom s(clock().tick_ms());
    return s;
}

}  // namespace

int32_t random(int32_t n) { return (g_source != nullptr ? *g_source : seeded()).next(n); }

void set_random(RandomSource* source) { g_source = source; }

SeededRandom::SeededRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}

int32_t SeededRandom::next(int32_t n) {
    if (n <= 0) return 0;
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    uint64_t r = state_ * 0x2545F4914F6CDD1Dull;
    // Multiply-shift keeps the draw uniform enough for game odds.
    return static_cast<int32_t>(((r >> 32) * static_cast<uint64_t>(n)) >> 32);
}

int32_t ScriptedRandom::next(int32_t n) {
    ++draws;
    if (n <= 0) return 0;
    if (values_.empty()) return 0;
    int32_t v = values_.front();
    values_.pop_front();
    v %= n;
    return v < 0 ? v + n : v;
}

}  // namespace plat
