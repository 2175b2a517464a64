// The sandbox's telnet peer and the terminal's text conversions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/sandbox/telnet.hpp"
#include "tools/sandbox/terminal_text.hpp"

namespace sandbox {
namespace {

std::string cmd(uint8_t command, uint8_t option) {
    return {static_cast<char>(tn::iac), static_cast<char>(command), static_cast<char>(option)};
}

TEST(TelnetPeer, ClientStripsCommandsAnswersOnceAndKeepsData) {
    struct Case {
        const char* what;
        std::vector<std::string> chunks;  // fed one after another
        std::string data;
        std::string answers;
    };
    const std::string ff(1, '\xFF');
    const Case cases[] = {
        {"the door's opening offers are accepted",
         {cmd(tn::will, tn::opt_echo) + cmd(tn::will, tn::opt_binary) + "hi"},
         "hi",
         cmd(tn::do_, tn::opt_echo) + cmd(tn::do_, tn::opt_binary)},
        {"a repeated offer gets no second answer",
         {cmd(tn::will, tn::opt_echo), cmd(tn::will, tn::opt_echo)},
         "",
         cmd(tn::do_, tn::opt_echo)},
        {"unknown options are refused once",
         {cmd(tn::will, 31) + cmd(tn::will, 31) + cmd(tn::do_, 24) + cmd(tn::do_, 24)},
         "",
         cmd(tn::dont, 31) + cmd(tn::wont, 24)},
        {"a doubled 255 is one data byte, also split between reads",
         {"a" + ff, ff + "b"},
         "a" + ff + "b",
         ""},
        {"a command split between reads",
         {std::string(1, '\xFF'), std::string(1, static_cast<char>(tn::will)), std::string(1, tn::opt_sga) + "x"},
         "x",
         cmd(tn::do_, tn::opt_sga)},
        {"subnegotiation and two-byte commands are dropped",
         {"a" + ff + "\xFA\x18\x01" + ff + "\xF0" + "b" + ff + "\xF1" + "c"},
         "abc",
         ""},
        {"an option turned off is confirmed",
         {cmd(tn::will, tn::opt_echo) + cmd(tn::wont, tn::opt_echo)},
         "",
         cmd(tn::do_, tn::opt_echo) + cmd(tn::dont, tn::opt_echo)},
    };
    for (const Case& c : cases) {
        TelnetPeer peer = TelnetPeer::client();
        std::string data, answers;
        for (const std::string& chunk : c.chunks) data += peer.feed(chunk, answers);
        EXPECT_EQ(data, c.data) << c.what;
        EXPECT_EQ(answers, c.answers) << c.what;
    }
}

TEST(TelnetPeer, ServerOffersEchoAndDoesNotAnswerTheClientsAgreement) {
    TelnetPeer server = TelnetPeer::server();
    EXPECT_EQ(server.offer({tn::opt_echo, tn::opt_sga}), cmd(tn::will, tn::opt_echo) + cmd(tn::will, tn::opt_sga));
    std::string answers;
    // The client agrees, asks for binary and offers its window size.
    server.feed(cmd(tn::do_, tn::opt_echo) + cmd(tn::do_, tn::opt_sga) + cmd(tn::do_, tn::opt_binary) + cmd(tn::will, 31),
                answers);
    EXPECT_EQ(answers, cmd(tn::will, tn::opt_binary) + cmd(tn::dont, 31));
    EXPECT_TRUE(server.our_option(tn::opt_echo));
}

TEST(TelnetPeer, EscapeDoublesByte255Only) {
    EXPECT_EQ(TelnetPeer::escape(std::string("a\xFF" "b\xFE", 4)), std::string("a\xFF\xFF" "b\xFE", 5));
}

TEST(TerminalText, Cp437ShowsAsUtf8AndControlBytesPass) {
    EXPECT_EQ(cp437_for_terminal("\x1b[1;33m\xC9\xCD\r\n\b"), "\x1b[1;33m\xE2\x95\x94\xE2\x95\x90\r\n\b");
}

TEST(TerminalText, KeysTurnIntoCp437AcrossReads) {
    KeyDecoder keys;
    EXPECT_EQ(keys.feed("\x1b[A"), "\x1b[A");  // arrows pass as they are
    EXPECT_EQ(keys.feed("caf\xC3"), "caf");    // the rest of the character follows
    EXPECT_EQ(keys.feed("\xA9!"), "\x82!");
    EXPECT_EQ(keys.feed("\xE2\x82\xAC" "x"), "x");  // the euro sign has no CP437 form
    EXPECT_EQ(keys.feed("\xC3\xBF"), "\x98");      // y with diaeresis
}

}  // namespace
}  // namespace sandbox
