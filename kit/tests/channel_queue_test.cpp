// ByteQueue: capacity, order, and moving held bytes to the front.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "kit/comm_channel.hpp"

namespace kit {
namespace {

std::vector<uint8_t> pattern(int n, int start = 0) {
    std::vector<uint8_t> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<uint8_t>((start + i) * 7);
    return v;
}

TEST(ByteQueue, HoldsOneByteLessThanItsCapacity) {
    ByteQueue q;
    EXPECT_EQ(q.free(), 32767);
    std::vector<uint8_t> big = pattern(40000);
    EXPECT_EQ(q.put(big.data(), 40000), 32767);
    EXPECT_EQ(q.used(), 32767);
    EXPECT_EQ(q.free(), 0);
    EXPECT_EQ(q.put(big.data(), 1), 0);
    EXPECT_EQ(q.put(big.data(), -5), 0);

    std::vector<uint8_t> out(40000);
    EXPECT_EQ(q.take(out.data(), 40000), 32767);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 32767, big.begin()));
    EXPECT_EQ(q.used(), 0);
}

TEST(ByteQueue, PeekLeavesBytesAndTakeRemovesThem) {
    ByteQueue q(16);
    const uint8_t in[] = {1, 2, 3, 4};
    q.put(in, 4);
    uint8_t out[8] = {};
    EXPECT_EQ(q.peek(out, 2), 2);
    EXPECT_EQ(q.used(), 4);
    EXPECT_EQ(q.take(out, 8), 4);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
    q.put(in, 3);
    q.clear();
    EXPECT_EQ(q.used(), 0);
    EXPECT_EQ(q.free(), 15);
}

// A put that does not fit behind the held bytes moves them to the front;
// the order of everything that went in is kept across many rounds.
TEST(ByteQueue, KeepsOrderWhenHeldBytesMoveToTheFront) {
    ByteQueue q(64);
    std::vector<uint8_t> sent, received;
    int next = 0;
    const int puts[] = {40, 13, 30, 7, 50, 1, 63, 20};
    const int takes[] = {25, 20, 31, 2, 60, 1, 40, 64};
    for (int round = 0; round < 50; ++round) {
        for (size_t i = 0; i < std::size(puts); ++i) {
            std::vector<uint8_t> chunk = pattern(puts[i], next);
            int stored = q.put(chunk.data(), puts[i]);
            EXPECT_LE(q.used(), 63);
            sent.insert(sent.end(), chunk.begin(), chunk.begin() + stored);
            next += stored;
            std::vector<uint8_t> out(static_cast<size_t>(takes[i]));
            int got = q.take(out.data(), takes[i]);
            received.insert(received.end(), out.begin(), out.begin() + got);
        }
    }
    std::vector<uint8_t> rest(64);
    received.insert(received.end(), rest.begin(), rest.begin() + q.take(rest.data(), 64));
    EXPECT_EQ(received, sent);
    EXPECT_GT(sent.size(), 1000u);
}

}  // namespace
}  // namespace kit
