// The telnet channel over a real socket pair: the input filter, escaping,
// the opening offer, a peer that closes, a full send queue, and the
// inherited socket left as the BBS gave it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "kit/telnet_channel.hpp"
#include "kit/tests/standin/peer.hpp"
#include "platform/socket.hpp"

namespace kit {
namespace {

using peer::bytes_of;

std::string str(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

const std::string kOffer = str({255, 251, 1, 255, 251, 0});

struct FilterCase {
    const char* name;
    std::string in;
    std::string data;
    std::string answers;
};

std::string feed_all(TelnetFilter& f, const std::string& in, std::string& answers) {
    std::vector<uint8_t> data(in.size() + 1);
    std::vector<uint8_t> ans;
    int n = f.feed(bytes_of(in), static_cast<int>(in.size()), data.data(), ans);
    answers.append(ans.begin(), ans.end());
    return std::string(data.begin(), data.begin() + n);
}

// The filter run on each case whole and one byte at a time (commands split
// across reads), with the same result.
TEST(TelnetFilter, CommandsOptionsAndDataBytes) {
    const FilterCase cases[] = {
        {"plain data", "abc\x01\x7F", "abc\x01\x7F", ""},
        {"IAC IAC is a data byte 255", str({'A', 255, 255, 'B'}), str({'A', 255, 'B'}), ""},
        {"DO ECHO", str({255, 253, 1}), "", str({255, 251, 1})},
        {"DO BINARY", str({255, 253, 0}), "", str({255, 251, 0})},
        {"DO SUPPRESS-GO-AHEAD", str({255, 253, 3}), "", str({255, 251, 3})},
        {"DO TERMINAL-TYPE", str({255, 253, 24}), "", str({255, 252, 24})},
        {"WILL NAWS", str({255, 251, 31}), "", str({255, 252, 31})},
        {"DONT BINARY: the answer does not depend on the command", str({255, 254, 0}), "",
         str({255, 251, 0})},
        {"WONT 5", str({255, 252, 5}), "", str({255, 252, 5})},
        {"NOP keeps the next key", str({255, 241, 'k'}), "k", ""},
        {"AYT and GA keep their keys", str({'x', 255, 246, 'y', 255, 249, 'z'}), "xyz", ""},
        {"a stray SE", str({255, 240, 'q'}), "q", ""},
        {"subnegotiation dropped whole",
         str({'a', 255, 250, 24, 0, 'V', 'T', '1', '0', '0', 255, 240, 'b'}), "ab", ""},
        {"escaped 255 inside a subnegotiation",
         str({255, 250, 31, 0, 80, 255, 255, 0, 24, 255, 240, 'c'}), "c", ""},
        {"a command inside a subnegotiation ends it",
         str({255, 250, 24, 1, 255, 253, 1, 'd'}), "d", str({255, 251, 1})},
        {"CR NUL is CR", str({'a', 13, 0, 'b'}), str({'a', 13, 'b'}), ""},
        {"CR LF stays", "a\r\nb", "a\r\nb", ""},
        {"NUL alone stays", str({'a', 0, 'b'}), str({'a', 0, 'b'}), ""},
        {"CR then IAC IAC", str({13, 255, 255, 0}), str({13, 255, 0}), ""},
        {"a repeated request is answered once", str({255, 253, 1, 255, 253, 1, 255, 253, 1}), "",
         str({255, 251, 1})},
        {"a changed request is answered again",
         str({255, 253, 1, 255, 254, 1, 255, 253, 1}), "",
         str({255, 251, 1, 255, 251, 1, 255, 251, 1})},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        TelnetFilter whole;
        std::string answers;
        EXPECT_EQ(feed_all(whole, c.in, answers), c.data);
        EXPECT_EQ(answers, c.answers);

        TelnetFilter split;
        std::string data, split_answers;
        for (char b : c.in) data += feed_all(split, std::string(1, b), split_answers);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(split_answers, c.answers);
    }
}

TEST(TelnetFilter, EscapeDoublesEvery255) {
    const std::string in = str({1, 255, 2, 255, 255});
    std::vector<uint8_t> out(in.size() * 2);
    int n = TelnetFilter::escape(bytes_of(in), static_cast<int>(in.size()), out.data());
    EXPECT_EQ(std::string(out.begin(), out.begin() + n), str({1, 255, 255, 2, 255, 255, 255, 255}));
}

// A telnet channel on one end of a socket pair; the test is the caller on
// the other end.
class TelnetChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        int a = -1, b = -1;
        ASSERT_TRUE(plat::socket_pair(a, b));
        door_ = a;
        caller_ = b;
    }
    void TearDown() override {
        channel_.reset();
        plat::close_fd(door_);
        plat::close_fd(caller_);
    }
    void open() {
        channel_ = std::make_unique<TelnetChannel>();
        ASSERT_TRUE(channel_->open_handle(door_));
        ASSERT_TRUE(channel_->carrier());
        ASSERT_EQ(peer::read_for(caller_, kOffer.size()), kOffer);
    }
    std::string read_keys(size_t n) { return peer::read_keys(*channel_, n); }
    void send(std::string_view s) {
        int queued = 0;
        EXPECT_TRUE(channel_->send_buffer(bytes_of(s), static_cast<int>(s.size()), queued));
    }

    int door_ = -1;
    int caller_ = -1;
    std::unique_ptr<TelnetChannel> channel_;
};

TEST_F(TelnetChannelTest, OffersEchoThenBinaryFirst) {
    channel_ = std::make_unique<TelnetChannel>();
    ASSERT_TRUE(channel_->open_handle(door_));
    EXPECT_EQ(peer::read_for(caller_, 6), kOffer);
    EXPECT_EQ(channel_->handle(), door_);
    EXPECT_EQ(channel_->baud_rate(), 115200);
    int a = -1, b = -1;
    channel_->line_status(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 8 + 128);
}

TEST_F(TelnetChannelTest, Byte255TravelsEscapedBothWays) {
    open();
    peer::write_all(caller_, str({'A', 255, 255, 'B'}));
    EXPECT_EQ(read_keys(3), str({'A', 255, 'B'}));
    send(str({'x', 255, 'y'}));
    EXPECT_EQ(peer::read_for(caller_, 4), str({'x', 255, 255, 'y'}));
}

TEST_F(TelnetChannelTest, AnswersNegotiationOnTheSocketAndKeepsTheKeys) {
    open();
    peer::write_all(caller_, str({255, 253, 1, 'h', 255, 241, 'i', 255, 253, 24, '\r', 0}));
    EXPECT_EQ(read_keys(3), "hi\r");
    EXPECT_EQ(peer::read_for(caller_, 6), str({255, 251, 1, 255, 252, 24}));
    EXPECT_FALSE(channel_->char_ready());
}

// A long stream with many 255s, queued in uneven pieces while the caller
// reads slowly, arrives whole and in order: partial sends resume exactly
// where they stopped, even inside an escaped pair.
TEST_F(TelnetChannelTest, LongOutputArrivesWholeAndInOrder) {
    open();
    std::string text;
    for (int i = 0; i < 150000; ++i) text += static_cast<char>(i % 3 == 0 ? 255 : (i * 31) % 251);
    std::string expected;
    for (char c : text) {
        expected += c;
        if (static_cast<uint8_t>(c) == 255) expected += c;
    }
    std::string got;
    std::thread reader([&] { got = peer::read_for(caller_, expected.size(), 20000); });
    size_t pos = 0;
    const size_t pieces[] = {1, 255, 4000, 17, 32767, 40000, 3};
    for (size_t i = 0; pos < text.size(); ++i) {
        size_t n = std::min(pieces[i % std::size(pieces)], text.size() - pos);
        send(std::string_view(text).substr(pos, n));
        pos += n;
    }
    reader.join();
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
}

TEST_F(TelnetChannelTest, PeerThatClosesIsNoticedAtOnce) {
    open();
    const auto start = peer::Clock::now();
    plat::close_fd(caller_);
    caller_ = -1;
    EXPECT_TRUE(peer::carrier_lost_within(*channel_, 1000));
    EXPECT_LT(peer::ms_since(start), 1000);
    EXPECT_EQ(channel_->error_text, "Error in communications(1), #0 / Success");
    int a = 0, b = 0;
    channel_->line_status(a, b);
    EXPECT_EQ(b, 8);
    // Reads no longer wait.
    EXPECT_EQ(channel_->read_char(), 0);
}

constexpr int kPiece = 4096;

// Fills the socket and then the send queue while the caller does not read,
// until a piece of kPiece bytes no longer fits and the writer has settled.
// Returns how many bytes were queued.
size_t fill_send_queue(TelnetChannel& ch) {
    const std::string piece(kPiece, 'z');
    size_t total = 0;
    for (int round = 0; round < 100 && ch.can_send(kPiece); ++round) {
        while (ch.can_send(kPiece)) {
            int queued = 0;
            ch.send_buffer(bytes_of(piece), kPiece, queued);
            total += static_cast<size_t>(queued);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return total;
}

TEST_F(TelnetChannelTest, FullSendQueueWaitsForTheCallerToRead) {
    open();
    fill_send_queue(*channel_);
    ASSERT_FALSE(channel_->can_send(kPiece));
    std::thread drain([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        peer::read_until_quiet(caller_, 300);
    });
    const auto start = peer::Clock::now();
    const std::string piece(kPiece, 'w');
    int queued = 0;
    EXPECT_TRUE(channel_->send_buffer(bytes_of(piece), kPiece, queued));
    EXPECT_EQ(queued, kPiece);
    EXPECT_GE(peer::ms_since(start), 150);
    drain.join();
}

// Bytes the writer has taken but the socket has not yet accepted still
// count as waiting to go, so a program that waits for out_used == 0 before
// it ends loses none of its last screen.
TEST_F(TelnetChannelTest, OutputCountsAsPendingUntilTheSocketTookIt) {
    open();
    const size_t total = fill_send_queue(*channel_);
    int in_free = 0, out_free = 0, in_used = 0, out_used = 0;
    channel_->buffer_status(in_free, out_free, in_used, out_used);
    EXPECT_GT(out_used, 32767 - kPiece);
    std::string got;
    std::thread slow_reader([&] {
        for (;;) {
            std::string part = peer::read_for(caller_, 8192, 300);
            if (part.empty()) break;
            got += part;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    for (int i = 0; i < 1000; ++i) {
        channel_->buffer_status(in_free, out_free, in_used, out_used);
        if (out_used == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(out_used, 0);
    channel_.reset();
    slow_reader.join();
    EXPECT_EQ(got.size(), total);
    EXPECT_EQ(got.find_first_not_of('z'), std::string::npos);
}

TEST_F(TelnetChannelTest, FullSendQueueWithTheCallerGoneReturnsAtOnce) {
    open();
    fill_send_queue(*channel_);
    plat::close_fd(caller_);
    caller_ = -1;
    ASSERT_TRUE(peer::carrier_lost_within(*channel_, 1000));
    const auto start = peer::Clock::now();
    const std::string lots(100000, 'q');
    int queued = -1;
    EXPECT_FALSE(channel_->send_buffer(bytes_of(lots), 100000, queued));
    EXPECT_LE(queued, 32767);
    EXPECT_LT(peer::ms_since(start), 100);
}

// The socket is the BBS's: blocking or not as the BBS left it, its flags
// untouched, and still open (and usable) after the channel is gone.
TEST_F(TelnetChannelTest, InheritedSocketWorksInEitherModeAndIsLeftAsItWas) {
    for (bool nonblocking : {false, true}) {
        SCOPED_TRACE(nonblocking ? "non-blocking socket" : "blocking socket");
        ASSERT_TRUE(plat::set_nonblocking(door_, nonblocking));
        const int flags = plat::fd_status_flags(door_);
        open();
        peer::write_all(caller_, "ping");
        EXPECT_EQ(read_keys(4), "ping");
        send("pong");
        EXPECT_EQ(peer::read_for(caller_, 4), "pong");
        EXPECT_EQ(plat::fd_status_flags(door_), flags);
        channel_.reset();
        EXPECT_EQ(plat::fd_status_flags(door_), flags);
        peer::write_all(door_, "still");
        EXPECT_EQ(peer::read_for(caller_, 5), "still");
    }
}

TEST_F(TelnetChannelTest, ReadBufferWaitsForTheBytesAsked) {
    open();
    std::thread typist([&] {
        for (char c : std::string("slow")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            peer::write_all(caller_, std::string(1, c));
        }
    });
    uint8_t buf[4] = {};
    int got = 0;
    EXPECT_TRUE(channel_->read_buffer(buf, 4, got));
    EXPECT_EQ(std::string(buf, buf + got), "slow");
    typist.join();
}

TEST_F(TelnetChannelTest, ExplicitCloseShutsTheSocketDown) {
    open();
    channel_->close();
    EXPECT_FALSE(channel_->carrier());
    EXPECT_EQ(channel_->handle(), -1);
    EXPECT_EQ(plat::fd_status_flags(door_), -1);
    door_ = -1;
    EXPECT_EQ(peer::read_for(caller_, 1, 500), "");
}

TEST(TelnetChannel, BadDescriptorFailsToOpen) {
    TelnetChannel ch;
    EXPECT_FALSE(ch.open_handle(-1));
    EXPECT_TRUE(ch.failed);
    EXPECT_FALSE(ch.carrier());
    EXPECT_EQ(ch.error_text, "Error in initializing socket, #9 / Bad file descriptor");
}

}  // namespace
}  // namespace kit
