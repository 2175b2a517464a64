// Random(n): a uniformly drawn integer from 0 to n - 1 (0 when n is 0).
// Programs draw from the process-wide source, seeded from the tick count;
// tests install a ScriptedRandom that returns the values they script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>

namespace plat {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A value in 0 .. n-1; 0 when n is 0 or less.
    virtual int32_t next(int32_t n) = 0;
};

// Random(n) from the source in use.
int32_t random(int32_t n);
void set_random(RandomSource* source);  // nullptr: the seeded generator

// A small fast generator (xorshift64*), seeded from the tick count.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(uint64_t seed);
    int32_t next(int32_t n) override;

private:
    uint64_t state_;
};

// Returns scripted values in order, each taken modulo n; when the script is
// used up it returns 0. `draws` counts every call.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<int32_t> values) : values_(values) {}
    void push(int32_t v) { values_.push_back(v); }
    int32_t next(int32_t n) override;
    size_t remaining() const { return values_.size(); }
    int draws = 0;

private:
    std::deque<int32_t> values_;
};

class ScopedRandom {
public:
    explicit ScopedRandom(RandomSource& s) { set_random(&s); }
    ~ScopedRandom() { set_random(nullptr); }
    ScopedRandom(const ScopedRandom&) = delete;
    ScopedRandom& operator=(const ScopedRandom&) = delete;
};

}  // namespace plat
