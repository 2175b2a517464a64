// The stdio channel: a caller on a pty the test holds (as a BBS does), or
// on pipes.
#include <gtest/gtest.h>

#include "kit/stdio_channel.hpp"
#include "kit/tests/standin/peer.hpp"
#include "platform/process.hpp"
#include "platform/serial.hpp"
#include "platform/socket.hpp"

namespace kit {
namespace {

using peer::bytes_of;
using peer::carrier_lost_within;
using peer::read_keys;

bool is_raw(int fd) {
    plat::LineState st;
    return plat::serial_get_line(fd, st) && st.raw;
}

TEST(StdioChannel, PtyCarriesBytesUnchangedAndIsRawOnlyWhileOpen) {
    plat::PtyPair pty;
    ASSERT_TRUE(plat::open_pty(pty));
    peer::Fd master(pty.master), slave(pty.slave);
    ASSERT_FALSE(is_raw(slave));
    {
        StdioChannel ch(slave, slave);
        ASSERT_TRUE(ch.open_handle(0));
        EXPECT_TRUE(ch.carrier());
        EXPECT_TRUE(is_raw(slave));
        // No telnet filtering, no line editing: bytes arrive as typed.
        const std::string typed = "a\xFF\xFB\x01\r\x03";
        peer::write_all(master, typed);
        EXPECT_EQ(read_keys(ch, typed.size()), typed);
        int queued = 0;
        const std::string shown = "x\xFFy\n";
        ch.send_buffer(bytes_of(shown), static_cast<int>(shown.size()), queued);
        EXPECT_EQ(peer::read_for(master, shown.size()), shown);
    }
    EXPECT_FALSE(is_raw(slave));
    EXPECT_GE(plat::fd_status_flags(slave), 0);
}

TEST(StdioChannel, HangUpOfThePtyEndsTheCarrier) {
    plat::PtyPair pty;
    ASSERT_TRUE(plat::open_pty(pty));
    peer::Fd master(pty.master), slave(pty.slave);
    StdioChannel ch(slave, slave);
    ASSERT_TRUE(ch.open_handle(0));
    const auto start = peer::Clock::now();
    master.close();
    EXPECT_TRUE(carrier_lost_within(ch, 1000));
    EXPECT_LT(peer::ms_since(start), 1000);
}

TEST(StdioChannel, EndOfInputEndsTheCarrierAfterTheLastBytes) {
    int in_r = -1, in_w = -1, out_r = -1, out_w = -1;
    ASSERT_TRUE(plat::make_pipe(in_r, in_w));
    ASSERT_TRUE(plat::make_pipe(out_r, out_w));
    peer::Fd a(in_r), b(in_w), c(out_r), d(out_w);
    StdioChannel ch(in_r, out_w);
    ASSERT_TRUE(ch.open_handle(0));
    peer::write_all(in_w, "bye");
    b.close();
    EXPECT_EQ(read_keys(ch, 3), "bye");
    EXPECT_TRUE(carrier_lost_within(ch, 1000));
    EXPECT_EQ(ch.read_char(), 0);
}

// Output to a pipe nobody reads any more ends the carrier; the write does
// not kill the program with SIGPIPE.
TEST(StdioChannel, OutputReaderGoneEndsTheCarrier) {
    int in_r = -1, in_w = -1, out_r = -1, out_w = -1;
    ASSERT_TRUE(plat::make_pipe(in_r, in_w));
    ASSERT_TRUE(plat::make_pipe(out_r, out_w));
    peer::Fd a(in_r), b(in_w), c(out_r), d(out_w);
    StdioChannel ch(in_r, out_w);
    ASSERT_TRUE(ch.open_handle(0));
    c.close();
    int queued = 0;
    ch.send_buffer(bytes_of("lost"), 4, queued);
    EXPECT_TRUE(carrier_lost_within(ch, 1000));
}

}  // namespace
}  // namespace kit
