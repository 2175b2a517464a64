// What the telnet, native-door, stdio and serial channels share: the
// receive and send queues, each behind its own lock, the worker threads, and
// the main thread's side of the data operations.
//
// Threads. The main thread only puts into the send queue and takes from the
// receive queue. The reader only puts into the receive queue and the writer
// only takes from the send queue; a serial channel runs both in one worker.
// No thread ever holds both queue locks, and no thread holds a queue lock
// while it waits on the device.
//
// Waiting. Nothing polls on a timer. The writer sleeps on a condition until
// bytes are queued (the serial worker sleeps in its device wait instead);
// the reader sleeps in a wait on the device together with the stop event, so
// a connection that closes is noticed the moment it closes; the main thread
// sleeps on conditions (a full send queue, read_buffer) or, in a key wait, on
// arrival_fd(). An idle session has no thread waking at all.
//
// Derived classes implement the device side and must call stop_workers() in
// their destructor, before their own members go away.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "kit/comm_channel.hpp"
#include "platform/wake_event.hpp"

namespace kit {

class QueuedChannel : public CommChannel {
public:
    // The most bytes a queue holds.
    static constexpr int kMaxHeld = ByteQueue::kCapacity - 1;
    // Reads from the device are at most this long.
    static constexpr int kReadChunk = 1024;

    ~QueuedChannel() override;

    // The queues' figures; out_used also counts the bytes the writer has
    // taken but not yet handed to the device, so 0 means all was sent.
    void buffer_status(int& in_free, int& out_free, int& in_used, int& out_used) override;
    // Whether the receive queue holds a byte. The reader moves bytes from
    // the device as they arrive, so there is nothing to ask the device.
    bool char_ready() override;
    bool can_send(int n) override;
    // One byte, waiting for it while the caller is there; 0 when gone.
    uint8_t read_char() override;
    bool send_char(uint8_t c) override;
    void pending_status(int& s) override { s = 0; }
    bool ok() override { return !failed; }
    // Queues n bytes, waiting on a condition while the queue has no room for
    // them and the caller is there. With the caller gone it queues what fits
    // and returns at once. More than the queue holds goes in parts, each
    // waiting for room. Returns whether all n were queued.
    bool send_buffer(const uint8_t* bytes, int n, int& queued) override;
    bool send_block(const uint8_t* bytes, int n, int& queued) override;
    // Takes n bytes, waiting on a condition for them while the caller is
    // there; with the caller gone it takes what is there. Returns whether
    // all n were read.
    bool read_buffer(uint8_t* dst, int n, int& got) override;
    void purge_output() override;
    void purge_input() override;
    // true: close(); false: stop the workers only.
    bool release(bool close_too) override;
    // Waits until every queued byte was handed to the device, calling idle
    // between waits; stops waiting when the carrier is gone.
    void flush(const std::function<void()>& idle) override;
    bool send_string(std::string_view s) override;
    void set_worker_procs(WorkerProc reader, WorkerProc writer) override;
    void worker() override {}

    // A channel without modem lines (telnet, native door, stdio); the serial
    // channel has its own.
    // a := 0, b := 8, plus 128 while connected.
    void line_status(int& a, int& b) override;
    void set_line(int, char, int, int) override {}
    int baud_rate() override { return 115200; }
    // Lowering DTR closes the channel.
    void set_dtr(bool on) override;
    // true: open_port(0); false: restart the workers.
    bool reacquire(bool reopen) override;
    void set_flow_control(int, int, int) override {}

    int arrival_fd() const override { return arrival_.fd(); }
    void clear_arrival() override { arrival_.drain(); }

protected:
    enum class Workers { reader_and_writer, single };

    explicit QueuedChannel(Workers workers = Workers::reader_and_writer);

    // ---- connection state ----
    // True from creation until a worker sees the caller go.
    bool connected() const { return connected_.load(); }
    // The caller is gone or the workers are not running: nothing waits.
    bool lost() const { return !connected_.load() || !running_.load(); }
    // Called by a worker (or close()) when the caller is gone: stores text
    // in error_text when it is not empty (only the first loss does), clears
    // connected() and wakes every waiting thread.
    void lose_connection(const std::string& text);

    // ---- worker threads ----
    // Starts the workers once (guarded); false, with `failed` set, when
    // they cannot be started. Both queues start empty.
    bool start_workers();
    // Stops and joins the workers; nothing when they are not running.
    void stop_workers();
    bool workers_started() const { return workers_started_; }
    // For the workers: true once they must end.
    bool stopping() const { return stop_.load(); }
    // Readable once the workers must end (stays readable).
    int stop_fd() const { return stop_event_.fd(); }
    // Readable when the main thread made room in the receive queue or (one
    // worker) queued bytes to send; clear it before looking at the queues.
    int wake_fd() const { return wake_event_.fd(); }
    void clear_wake() { wake_event_.drain(); }

    // ---- reader side ----
    // Free room in the receive queue. When there is none, the reader is
    // marked as waiting for room and wake_fd() fires once some is made.
    int receive_room();
    // The receive queue's transfer area (reader only).
    uint8_t* receive_scratch() { return rx_.scratch(); }
    // Puts n bytes (at most receive_room()) into the receive queue and wakes
    // the main thread.
    void deliver(const uint8_t* bytes, int n);

    // ---- writer side ----
    // Waits on a condition until bytes are queued or the workers stop; moves
    // up to max of them into dst. 0 means stop. The bytes count as in flight
    // (for flush) until the next call.
    int take_for_sending(uint8_t* dst, int max);
    // The same without waiting (one worker): 0 when nothing is queued, in
    // which case wake_fd() fires when bytes are queued.
    int take_queued_now(uint8_t* dst, int max);

private:
    void run_thread(bool reader);
    void wake_writer_locked();
    int take_received_locked(uint8_t* dst, int n);

    const Workers workers_;
    WorkerProc reader_proc_ = nullptr;
    WorkerProc writer_proc_ = nullptr;
    bool workers_started_ = false;  // main thread only
    std::thread reader_;
    std::thread writer_;

    std::atomic<bool> connected_{true};
    std::atomic<bool> loss_recorded_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    plat::WakeEvent stop_event_;
    plat::WakeEvent wake_event_;
    plat::WakeEvent arrival_;

    std::mutex rx_mutex_;
    ByteQueue rx_;
    std::condition_variable rx_cv_;  // bytes arrived or the caller went
    bool reader_starved_ = false;    // reader waits for room

    std::mutex tx_mutex_;
    ByteQueue tx_;
    std::condition_variable tx_data_cv_;   // writer: bytes queued or stop
    std::condition_variable tx_space_cv_;  // main thread: room made or all sent
    int in_flight_ = 0;                    // taken by the writer, not yet handed on
    bool writer_idle_ = false;             // one worker: waiting for bytes to send
};

}  // namespace kit
