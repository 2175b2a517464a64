// The serial channel with a pseudo-terminal as the modem line: the test
// holds the master end (the caller), the channel the slave end.
#include <gtest/gtest.h>

#include <filesystem>

#include "kit/serial_channel.hpp"
#include "kit/tests/standin/peer.hpp"
#include "platform/serial.hpp"
#include "platform/socket.hpp"
#include "platform/testing/temp_dir.hpp"

namespace kit {
namespace {

using peer::bytes_of;
using peer::carrier_lost_within;
using peer::read_keys;

plat::LineState line_of(int fd) {
    plat::LineState st;
    EXPECT_TRUE(plat::serial_get_line(fd, st));
    return st;
}

// What the line settings become, checked on a termios record (a pty keeps
// only the rate and the stop bits).
TEST(SerialLine, SettingsMapToTermios) {
    struct Case {
        int baud;
        char parity;
        int data, stop;
        int want_baud;
        char want_parity;
        int want_data, want_stop;
    };
    const Case cases[] = {
        {115200, 'N', 8, 1, 115200, 'N', 8, 1}, {2400, 'E', 7, 1, 2400, 'E', 7, 1},
        {9600, 'O', 8, 2, 9600, 'O', 8, 2},     {19200, 'M', 6, 1, 19200, 'M', 6, 1},
        {38400, 'S', 8, 1, 38400, 'N', 8, 1},   {300, 'N', 5, 3, 300, 'N', 5, 2},
        {-1, 'E', 8, 1, 4800, 'E', 8, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.baud) + c.parity + std::to_string(c.data) + std::to_string(c.stop));
        termios t {};
        ::cfsetospeed(&t, B4800);
        ::cfsetispeed(&t, B4800);
        t.c_lflag = ICANON | ECHO;
        t.c_oflag = OPOST;
        ASSERT_EQ(plat::apply_line_settings(t, c.baud, c.parity, c.data, c.stop), 0);
        plat::LineState st = plat::line_state_of(t);
        EXPECT_EQ(st.baud, c.want_baud);
        EXPECT_EQ(st.parity, c.want_parity);
        EXPECT_EQ(st.data_bits, c.want_data);
        EXPECT_EQ(st.stop_bits, c.want_stop);
        EXPECT_TRUE(st.raw);
    }
    termios t {};
    EXPECT_EQ(plat::apply_line_settings(t, 12345, 'N', 8, 1), EINVAL);
    EXPECT_EQ(plat::apply_line_settings(t, 9600, 'N', 9, 1), EINVAL);
    EXPECT_EQ(plat::apply_line_settings(t, 9600, 'N', 8, 4), EINVAL);
}

class SerialPtyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plat::open_pty(pty_)); }
    void TearDown() override {
        plat::close_fd(pty_.master);
        plat::close_fd(pty_.slave);
    }
    plat::PtyPair pty_;
};

TEST_F(SerialPtyTest, OpenHandleMakesTheLineRawKeepingItsRate) {
    const plat::LineState before = line_of(pty_.slave);  // a new pty is cooked
    ASSERT_FALSE(before.raw);
    const int flags = plat::fd_status_flags(pty_.slave);

    SerialChannel ch;
    ASSERT_TRUE(ch.open_handle(pty_.slave));
    EXPECT_TRUE(ch.carrier());
    EXPECT_EQ(ch.handle(), pty_.slave);
    plat::LineState st = line_of(pty_.slave);
    EXPECT_TRUE(st.raw);
    EXPECT_EQ(st.baud, before.baud);
    EXPECT_EQ(st.stop_bits, 1);
    EXPECT_EQ(ch.baud_rate(), before.baud);
    EXPECT_EQ(plat::fd_status_flags(pty_.slave), flags);  // the BBS's descriptor keeps its flags
}

TEST_F(SerialPtyTest, SetLineRateMappingAndErrors) {
    SerialChannel ch;
    ASSERT_TRUE(ch.open_handle(pty_.slave));
    ch.set_line(11520, 'N', 8, 2);
    EXPECT_EQ(line_of(pty_.slave).baud, 115200);
    EXPECT_EQ(line_of(pty_.slave).stop_bits, 2);
    ch.set_line(-1, 'X', 8, 1);
    EXPECT_EQ(line_of(pty_.slave).baud, 115200);
    EXPECT_EQ(line_of(pty_.slave).stop_bits, 1);
    ch.set_line(9600, 'E', 7, 3);
    EXPECT_EQ(line_of(pty_.slave).baud, 9600);
    EXPECT_EQ(line_of(pty_.slave).stop_bits, 2);
    EXPECT_EQ(ch.error_text, "");
    ch.set_line(12345, 'N', 8, 1);
    EXPECT_EQ(ch.error_text, "Error setting up communications parameters: #22 / Invalid argument");
    EXPECT_EQ(line_of(pty_.slave).baud, 9600);
}

TEST_F(SerialPtyTest, BytesPassBothWaysAndHangUpEndsTheCarrier) {
    {
        SerialChannel ch;
        ASSERT_TRUE(ch.open_handle(pty_.slave));
        const std::string typed = "k\xFF\r\x00z";
        peer::write_all(pty_.master, std::string_view(typed.data(), 5));
        EXPECT_EQ(read_keys(ch, 5), std::string(typed.data(), 5));
        std::string shown;
        for (int i = 0; i < 20000; ++i) shown += static_cast<char>(i % 256);
        int queued = 0;
        EXPECT_TRUE(ch.send_buffer(bytes_of(shown), static_cast<int>(shown.size()), queued));
        EXPECT_EQ(peer::read_for(pty_.master, shown.size()), shown);
        int a = 5, b = 0x21;
        ch.line_status(a, b);
        EXPECT_EQ(a, 5);
        EXPECT_EQ(b, 1 + 128);

        const auto start = peer::Clock::now();
        plat::close_fd(pty_.master);
        pty_.master = -1;
        EXPECT_TRUE(carrier_lost_within(ch, 1000));
        EXPECT_LT(peer::ms_since(start), 1000);
    }
    EXPECT_GE(plat::fd_status_flags(pty_.slave), 0);  // the inherited descriptor stays open
}

TEST_F(SerialPtyTest, OpenPortTakesComNumberMinusOne) {
    plat::testing::TempDir dev;
    std::filesystem::create_symlink(pty_.slave_name, dev / "ttyS4");
    SerialChannel ch(dev / "ttyS");
    ASSERT_TRUE(ch.open_port_with_line(5, 11520, 'N', 8, 1));
    EXPECT_TRUE(ch.carrier());
    EXPECT_NE(ch.handle(), pty_.slave);
    EXPECT_EQ(line_of(pty_.slave).baud, 115200);
    peer::write_all(pty_.master, "hi");
    EXPECT_EQ(read_keys(ch, 2), "hi");
    ch.close();
    EXPECT_FALSE(ch.carrier());
    EXPECT_EQ(ch.handle(), -1);

    SerialChannel missing(dev / "ttyS");
    EXPECT_FALSE(missing.open_port(4));
    EXPECT_EQ(missing.error_text, "Unable to open communications port");
    EXPECT_FALSE(missing.carrier());
}

}  // namespace
}  // namespace kit
