// The telnet channel: a connected socket inherited from the BBS, with the
// telnet protocol's command bytes filtered out of the caller's input and
// byte 255 escaped in the output.
//
// The socket belongs to the BBS. The channel never changes its flags (it
// works whether the BBS left it blocking or not: every receive and send is
// non-blocking by itself), never lets a send raise SIGPIPE, and never closes
// it except through an explicit close(); destroying the object leaves it
// open.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "kit/queued_channel.hpp"
#include "kit/telnet_bytes.hpp"
#include "platform/fd_io.hpp"

namespace kit {


// The input filter. Data bytes pass; IAC IAC is one data byte 255; CR NUL
// (the Enter of a client in non-binary mode) is CR. WILL, WONT, DO and DONT
// take one option byte and are answered IAC WILL option for binary, echo
// and suppress-go-ahead (0, 1, 3) and IAC WONT option for any other,
// whichever of the four it was; the same request repeated for an option is
// not answered again, so a client that refuses cannot start an endless
// exchange. Other commands (NOP, AYT, GA, ...) are two bytes and dropped. A
// subnegotiation IAC SB ... IAC SE is dropped whole; a command other than SE
// inside it ends it and is taken as that command.
class TelnetFilter {
public:
    // Filters n received bytes. Writes the data bytes to data (at most n;
    // data may be in itself) and appends answers to send; returns the
    // number of data bytes.
    int feed(const uint8_t* in, int n, uint8_t* data, std::vector<uint8_t>& answers);
    // Doubles every byte 255 of in into out (room for 2n); returns the
    // length written.
    static int escape(const uint8_t* in, int n, uint8_t* out);

private:
    enum class State : uint8_t { data, after_cr, after_iac, option, sub, sub_iac };
    void command(uint8_t c);
    void answer(uint8_t option, std::vector<uint8_t>& answers);

    State state_ = State::data;
    uint8_t command_ = 0;
    std::array<uint8_t, 256> last_request_{};  // per option: last command answered (0: none)
};

class TelnetChannel final : public QueuedChannel {
public:
    TelnetChannel() = default;
    // Stops the workers; the socket stays open.
    ~TelnetChannel() override;

    // Adopts the socket, starts the workers and offers echo and binary
    // (IAC WILL ECHO, IAC WILL BINARY) straight away.
    bool open_handle(int socket) override;
    bool open_port_with_line(int port, int baud, char parity, int data, int stop) override;
    // Starts the workers.
    bool open_port(int port) override;
    // The connection is alive: the reader watches the socket all the time,
    // so a peer that closes is seen the moment its close arrives.
    bool carrier() override;
    int handle() override { return socket_; }
    // Stops the workers, shuts the socket down both ways and closes it.
    void close() override;

    void run_reader() override;
    void run_writer() override;

private:
    // Sends bytes on the socket under the socket lock, waiting (with the
    // stop event) while it is full. False when the socket failed.
    bool send_on_socket(const uint8_t* bytes, size_t n);

    int socket_ = -1;
    plat::Device device_;
    // Held while a chunk or an answer goes out, so the reader's answers
    // never land inside a chunk the writer is sending. Never held together
    // with a queue lock.
    std::mutex socket_mutex_;
    TelnetFilter filter_;  // reader only
};

}  // namespace kit
