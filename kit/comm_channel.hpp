// The caller's connection: the byte queue and the channel interface shared
// by the serial, telnet, native-door and stdio channels.
//
// The main thread only puts into the send queue and takes from the receive
// queue; worker threads move bytes between the queues and the device. Each
// queue has its own lock and no thread ever holds both.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// A first-in first-out byte buffer of 32 768 bytes that holds at most
// 32 767. Not thread-safe by itself: every access goes through the lock of
// the queue's owner.
class ByteQueue {
public:
    static constexpr int kCapacity = 32768;

    explicit ByteQueue(int capacity = kCapacity);

    int used() const { return end_ - start_; }
    int free() const { return capacity_ - used() - 1; }
    // Stores at most free() bytes; returns how many (a negative n stores none).
    int put(const uint8_t* bytes, int n);
    // Copies at most used() bytes from the front without removing them.
    int peek(uint8_t* dst, int n) const;
    // The same, removing them.
    int take(uint8_t* dst, int n);
    void clear() { start_ = end_ = 0; }
    // A transfer buffer of the same size for the worker threads.
    uint8_t* scratch() { return scratch_.data(); }

private:
    int capacity_;
    std::vector<uint8_t> data_;
    std::vector<uint8_t> scratch_;
    int start_ = 0;
    int end_ = 0;
};

class CommChannel;
using WorkerProc = void (*)(CommChannel& channel);

// Base of all channels: the 29 operations in their slot order.
class CommChannel {
public:
    virtual ~CommChannel() = default;

    bool failed = false;
    std::string error_text;  // last error, never shown by the kit

    virtual bool open_handle(int handle) = 0;                                         // 1
    virtual bool open_port_with_line(int port, int baud, char parity, int data, int stop) = 0;  // 2
    virtual bool open_port(int port) = 0;                                             // 3
    virtual void line_status(int& a, int& b) = 0;                                     // 4
    virtual void set_line(int baud, char parity, int data, int stop) = 0;             // 5
    virtual int baud_rate() = 0;                                                      // 6
    virtual void buffer_status(int& in_free, int& out_free, int& in_used, int& out_used) = 0;  // 7
    virtual void set_dtr(bool on) = 0;                                                // 8
    virtual bool char_ready() = 0;                                                    // 9
    virtual bool carrier() = 0;                                                       // 10
    virtual bool can_send(int n) = 0;                                                 // 11
    virtual uint8_t read_char() = 0;                                                  // 12
    virtual bool send_char(uint8_t c) = 0;                                            // 13
    virtual void pending_status(int& s) = 0;                                          // 14
    virtual int handle() = 0;                                                         // 15
    virtual bool ok() = 0;                                                            // 16
    virtual void close() = 0;                                                         // 17
    virtual bool send_buffer(const uint8_t* bytes, int n, int& queued) = 0;           // 18
    virtual bool send_block(const uint8_t* bytes, int n, int& queued) = 0;            // 19
    virtual bool read_buffer(uint8_t* dst, int n, int& got) = 0;                      // 20
    virtual void purge_output() = 0;                                                  // 21
    virtual void purge_input() = 0;                                                   // 22
    virtual bool release(bool close_too) = 0;                                         // 23
    virtual bool reacquire(bool reopen) = 0;                                          // 24
    virtual void flush(const std::function<void()>& idle) = 0;                        // 25
    virtual bool send_string(std::string_view s) = 0;                                 // 26
    virtual void set_flow_control(int a, int b, int c) = 0;                           // 27
    virtual void set_worker_procs(WorkerProc reader, WorkerProc writer) = 0;          // 28
    virtual void worker() = 0;                                                        // 29

    // The thread bodies the kit's worker procs dispatch to (telnet and native
    // door: reader and writer; serial: worker()).
    virtual void run_reader() {}
    virtual void run_writer() {}

    // A descriptor that becomes readable when bytes arrive in the receive
    // queue or the caller goes away, so a key wait can sleep in poll() on it
    // together with the local keyboard. The main thread drains it before it
    // looks at the queue. -1 when the channel has none (the wait then falls
    // back to its once-a-second check).
    virtual int arrival_fd() const { return -1; }
    // Drains arrival_fd() before the receive queue is looked at.
    virtual void clear_arrival() {}
};

// Creates the channel object of a comm type (1 serial, 2 telnet, 3 native
// door); nullptr for a type the kit has no channel for. Implemented with the
// channels; the session binds the worker procs and opens it.
std::unique_ptr<CommChannel> make_channel(int comm_type);

// A channel on standard input and output (the -S switch): no telnet
// filtering, no local mirror.
std::unique_ptr<CommChannel> make_stdio_channel();

}  // namespace kit
