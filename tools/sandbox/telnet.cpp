#include "tools/sandbox/telnet.hpp"

namespace sandbox {

namespace {

void put(std::string& out, uint8_t command, uint8_t option) {
    out += static_cast<char>(tn::iac);
    out += static_cast<char>(command);
    out += static_cast<char>(option);
}

}  // namespace

TelnetPeer::TelnetPeer(std::initializer_list<uint8_t> ours, std::initializer_list<uint8_t> theirs) {
    for (uint8_t o : ours) ours_ok_[o] = true;
    for (uint8_t o : theirs) theirs_ok_[o] = true;
}

TelnetPeer TelnetPeer::client() { return TelnetPeer({tn::opt_binary, tn::opt_sga}, {tn::opt_binary, tn::opt_echo, tn::opt_sga}); }

TelnetPeer TelnetPeer::server() { return TelnetPeer({tn::opt_binary, tn::opt_echo, tn::opt_sga}, {tn::opt_binary, tn::opt_sga}); }

std::string TelnetPeer::offer(std::initializer_list<uint8_t> options) {
    std::string out;
    for (uint8_t o : options) {
        ours_on_[o] = true;
        put(out, tn::will, o);
    }
    return out;
}

void TelnetPeer::request(uint8_t command, uint8_t option, std::string& answers) {
    switch (command) {
    case tn::do_:  // the peer asks us to enable an option
        if (ours_ok_[option]) {
            if (!ours_on_[option]) {
                ours_on_[option] = true;
                put(answers, tn::will, option);
            }
        } else if (!ours_refused_[option]) {
            ours_refused_[option] = true;
            put(answers, tn::wont, option);
        }
        break;
    case tn::dont:
        if (ours_on_[option]) {
            ours_on_[option] = false;
            put(answers, tn::wont, option);
        }
        break;
    case tn::will:  // the peer offers to enable an option on its side
        if (theirs_ok_[option]) {
            if (!theirs_on_[option]) {
                theirs_on_[option] = true;
                put(answers, tn::do_, option);
            }
        } else if (!theirs_refused_[option]) {
            theirs_refused_[option] = true;
            put(answers, tn::dont, option);
        }
        break;
    case tn::wont:
        if (theirs_on_[option]) {
            theirs_on_[option] = false;
            put(answers, tn::dont, option);
        }
        break;
    default:
        break;
    }
}

std::string TelnetPeer::feed(std::string_view in, std::string& answers) {
    std::string data;
    for (char ch : in) {
        auto c = static_cast<uint8_t>(ch);
        switch (state_) {
        case State::data:
            if (c == tn::iac)
                state_ = State::iac;
            else
                data += ch;
            break;
        case State::iac:
            if (c == tn::iac) {
                data += ch;
                state_ = State::data;
            } else if (c >= tn::will) {
                command_ = c;
                state_ = State::option;
            } else if (c == tn::sb) {
                state_ = State::sub;
            } else {
                state_ = State::data;  // a two-byte command
            }
            break;
        case State::option:
            request(command_, c, answers);
            state_ = State::data;
            break;
        case State::sub:
            if (c == tn::iac) state_ = State::sub_iac;
            break;
        case State::sub_iac:
            // IAC SE ends it; IAC IAC is a data byte inside it; any other
            // command ends it and is taken as that command.
            if (c == tn::se) {
                state_ = State::data;
            } else if (c == tn::iac) {
                state_ = State::sub;
            } else if (c >= tn::will) {
                command_ = c;
                state_ = State::option;
            } else {
                state_ = State::data;
            }
            break;
        }
    }
    return data;
}

std::string TelnetPeer::escape(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (char ch : data) {
        out += ch;
        if (static_cast<uint8_t>(ch) == tn::iac) out += ch;
    }
    return out;
}

}  // namespace sandbox
