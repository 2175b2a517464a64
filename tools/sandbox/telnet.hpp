// The sandbox's side of a telnet connection: as the caller's client facing
// a program (play), and as the node server facing a telnet client (serve).
//
// Data bytes pass; IAC IAC is one data byte 255; a subnegotiation
// (IAC SB ... IAC SE) and the two-byte commands (NOP, GA, ...) are dropped.
// Option requests are answered once per change: a request for an option we
// accept turns it on and is confirmed, one we refuse is refused, and a
// request for the state an option is already in gets no answer, so two
// peers can never start an endless exchange.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "kit/telnet_bytes.hpp"

namespace sandbox {

namespace tn = kit::telnet;

class TelnetPeer {
public:
    // ours: options we enable on our side when the peer asks (DO);
    // theirs: options we let the peer enable on its side (WILL).
    TelnetPeer(std::initializer_list<uint8_t> ours, std::initializer_list<uint8_t> theirs);

    // The client a program talks to: it lets the program echo, go binary
    // and suppress go-ahead, and goes binary itself when asked.
    static TelnetPeer client();
    // The node server: it echoes and suppresses go-ahead (offered at once,
    // see offer()), goes binary when asked, and lets the client go binary.
    static TelnetPeer server();

    // Announces options on our side (IAC WILL each) and records them as on.
    std::string offer(std::initializer_list<uint8_t> options);

    // Filters received bytes: returns the data bytes and appends answers
    // to send back.
    std::string feed(std::string_view in, std::string& answers);

    // Doubles every byte 255, as data must go out.
    static std::string escape(std::string_view data);

    bool our_option(uint8_t option) const { return ours_on_[option]; }
    bool their_option(uint8_t option) const { return theirs_on_[option]; }

private:
    enum class State : uint8_t { data, iac, option, sub, sub_iac };
    void request(uint8_t command, uint8_t option, std::string& answers);

    State state_ = State::data;
    uint8_t command_ = 0;
    std::array<bool, 256> ours_ok_{};
    std::array<bool, 256> theirs_ok_{};
    std::array<bool, 256> ours_on_{};
    std::array<bool, 256> theirs_on_{};
    std::array<bool, 256> ours_refused_{};
    std::array<bool, 256> theirs_refused_{};
};

}  // namespace sandbox
