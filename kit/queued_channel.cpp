#include "kit/queued_channel.hpp"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "platform/fd_io.hpp"

namespace kit {

namespace {

// How often a thread blocked on a full send queue or in read_buffer asks
// carrier() again, for a loss the workers cannot see (a serial line whose
// DCD drops). Only while blocked: an idle channel never wakes for it.
constexpr std::chrono::milliseconds kCarrierRecheck{1000};

// How often flush() calls its idle routine while output is still going.
constexpr std::chrono::milliseconds kFlushIdle{100};

}  // namespace

QueuedChannel::QueuedChannel(Workers workers) : workers_(workers) {}

QueuedChannel::~QueuedChannel() { stop_workers(); }

// ---- connection state --------------------------------------------------------

void QueuedChannel::lose_connection(const std::string& text) {
    if (!loss_recorded_.exchange(true) && !text.empty()) error_text = text;
    connected_.store(false);
    arrival_.signal();
    // Taking each lock once (empty) orders the store above before any
    // waiter's next look at its condition, so no wake-up is lost.
    { std::lock_guard<std::mutex> g(rx_mutex_); }
    rx_cv_.notify_all();
    { std::lock_guard<std::mutex> g(tx_mutex_); }
    tx_space_cv_.notify_all();
    tx_data_cv_.notify_all();
}

// ---- worker threads ----------------------------------------------------------

void QueuedChannel::set_worker_procs(WorkerProc reader, WorkerProc writer) {
    reader_proc_ = reader;
    writer_proc_ = writer;
}

void QueuedChannel::run_thread(bool reader) {
    // The writer only moves what the main thread queues; see
    // yield_wakeups_in_this_thread for why it gives way.
    if (workers_ == Workers::reader_and_writer && !reader) plat::yield_wakeups_in_this_thread();
    if (workers_ == Workers::single) {
        if (reader_proc_ != nullptr)
            reader_proc_(*this);
        else
            worker();
    } else if (reader) {
        if (reader_proc_ != nullptr)
            reader_proc_(*this);
        else
            run_reader();
    } else {
        if (writer_proc_ != nullptr)
            writer_proc_(*this);
        else
            run_writer();
    }
}

bool QueuedChannel::start_workers() {
    if (workers_started_) return true;
    if (stop_event_.fd() < 0 || wake_event_.fd() < 0 || arrival_.fd() < 0) {
        failed = true;
        return false;
    }
    stop_.store(false);
    stop_event_.drain();
    wake_event_.drain();
    {
        std::lock_guard<std::mutex> g(rx_mutex_);
        rx_.clear();
        reader_starved_ = false;
    }
    {
        std::lock_guard<std::mutex> g(tx_mutex_);
        tx_.clear();
        in_flight_ = 0;
        writer_idle_ = false;
    }
    running_.store(true);
    try {
        if (workers_ == Workers::reader_and_writer) writer_ = std::thread([this] { run_thread(false); });
        reader_ = std::thread([this] { run_thread(true); });
    } catch (const std::system_error&) {
        workers_started_ = true;  // so stop_workers() joins what did start
        stop_workers();
        failed = true;
        return false;
    }
    workers_started_ = true;
    return true;
}

void QueuedChannel::stop_workers() {
    if (!workers_started_) return;
    stop_.store(true);
    running_.store(false);
    stop_event_.signal();
    { std::lock_guard<std::mutex> g(rx_mutex_); }
    rx_cv_.notify_all();
    { std::lock_guard<std::mutex> g(tx_mutex_); }
    tx_data_cv_.notify_all();
    tx_space_cv_.notify_all();
    if (reader_.joinable()) reader_.join();
    if (writer_.joinable()) writer_.join();
    workers_started_ = false;
}

// ---- reader side -------------------------------------------------------------

int QueuedChannel::receive_room() {
    std::lock_guard<std::mutex> g(rx_mutex_);
    int room = rx_.free();
    if (room == 0) reader_starved_ = true;
    return room;
}

void QueuedChannel::deliver(const uint8_t* bytes, int n) {
    if (n <= 0) return;
    bool was_empty;
    {
        std::lock_guard<std::mutex> g(rx_mutex_);
        was_empty = rx_.used() == 0;
        rx_.put(bytes, n);
    }
    // The key wait drains the arrival event before it looks at the queue,
    // so a signal is needed only when the queue was empty.
    if (was_empty) arrival_.signal();
    rx_cv_.notify_one();
}

int QueuedChannel::take_received_locked(uint8_t* dst, int n) {
    int got = rx_.take(dst, n);
    if (got > 0 && reader_starved_) {
        reader_starved_ = false;
        wake_event_.signal();
    }
    return got;
}

// ---- writer side -------------------------------------------------------------

void QueuedChannel::wake_writer_locked() {
    if (workers_ == Workers::reader_and_writer) {
        tx_data_cv_.notify_one();
    } else if (writer_idle_) {
        writer_idle_ = false;
        wake_event_.signal();
    }
}

int QueuedChannel::take_for_sending(uint8_t* dst, int max) {
    std::unique_lock<std::mutex> lk(tx_mutex_);
    if (in_flight_ != 0) {
        in_flight_ = 0;
        tx_space_cv_.notify_one();
    }
    tx_data_cv_.wait(lk, [this] { return stop_.load() || tx_.used() > 0; });
    if (stop_.load()) return 0;
    int n = tx_.take(dst, max);
    in_flight_ = n;
    lk.unlock();
    tx_space_cv_.notify_one();
    return n;
}

int QueuedChannel::take_queued_now(uint8_t* dst, int max) {
    std::unique_lock<std::mutex> lk(tx_mutex_);
    int n = tx_.take(dst, max);
    bool notify = n > 0 || in_flight_ != 0;
    in_flight_ = n;
    if (n == 0) writer_idle_ = true;
    lk.unlock();
    if (notify) tx_space_cv_.notify_one();
    return n;
}

// ---- main thread -------------------------------------------------------------

void QueuedChannel::buffer_status(int& in_free, int& out_free, int& in_used, int& out_used) {
    {
        std::lock_guard<std::mutex> g(rx_mutex_);
        in_free = rx_.free();
        in_used = rx_.used();
    }
    std::lock_guard<std::mutex> g(tx_mutex_);
    out_free = tx_.free();
    out_used = tx_.used() + in_flight_;
}

bool QueuedChannel::char_ready() {
    std::lock_guard<std::mutex> g(rx_mutex_);
    return rx_.used() > 0;
}

bool QueuedChannel::can_send(int n) {
    std::lock_guard<std::mutex> g(tx_mutex_);
    return tx_.free() >= n;
}

uint8_t QueuedChannel::read_char() {
    uint8_t c = 0;
    int got = 0;
    read_buffer(&c, 1, got);
    return got == 1 ? c : 0;
}

bool QueuedChannel::send_char(uint8_t c) {
    int queued = 0;
    send_buffer(&c, 1, queued);
    return queued == 1;
}

bool QueuedChannel::send_buffer(const uint8_t* bytes, int n, int& queued) {
    queued = 0;
    if (n <= 0) return n == 0;
    std::unique_lock<std::mutex> lk(tx_mutex_);
    bool gone = false;
    bool wake = false;
    while (queued < n) {
        const int want = std::min(n - queued, kMaxHeld);
        while (!gone && tx_.free() < want) {
            if (lost()) {
                gone = true;
                break;
            }
            if (wake) {
                wake_writer_locked();  // it has to make the room
                wake = false;
            }
            if (!tx_space_cv_.wait_for(lk, kCarrierRecheck,
                                       [&] { return tx_.free() >= want || lost(); })) {
                lk.unlock();
                gone = !carrier();
                lk.lock();
            }
        }
        const int put = tx_.put(bytes + queued, n - queued);
        queued += put;
        wake = wake || put > 0;
        if (gone || put == 0) break;
    }
    if (wake) {
        // Woken after the lock is free, the writer does not wait for it.
        if (workers_ == Workers::reader_and_writer) {
            lk.unlock();
            tx_data_cv_.notify_one();
        } else {
            wake_writer_locked();
        }
    }
    return queued == n;
}

bool QueuedChannel::send_block(const uint8_t* bytes, int n, int& queued) {
    return send_buffer(bytes, n, queued);
}

bool QueuedChannel::send_string(std::string_view s) {
    int queued = 0;
    return send_buffer(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()), queued);
}

bool QueuedChannel::read_buffer(uint8_t* dst, int n, int& got) {
    got = 0;
    if (n <= 0) return n == 0;
    std::unique_lock<std::mutex> lk(rx_mutex_);
    for (;;) {
        got += take_received_locked(dst + got, n - got);
        if (got == n || lost()) break;
        if (!rx_cv_.wait_for(lk, kCarrierRecheck, [&] { return rx_.used() > 0 || lost(); })) {
            lk.unlock();
            bool present = carrier();
            lk.lock();
            if (!present) {
                got += take_received_locked(dst + got, n - got);
                break;
            }
        }
    }
    return got == n;
}

void QueuedChannel::purge_output() {
    {
        std::lock_guard<std::mutex> g(tx_mutex_);
        tx_.clear();
    }
    tx_space_cv_.notify_one();
}

void QueuedChannel::purge_input() {
    std::lock_guard<std::mutex> g(rx_mutex_);
    rx_.clear();
    if (reader_starved_) {
        reader_starved_ = false;
        wake_event_.signal();
    }
}

bool QueuedChannel::release(bool close_too) {
    if (close_too)
        close();
    else
        stop_workers();
    return true;
}

void QueuedChannel::flush(const std::function<void()>& idle) {
    for (;;) {
        {
            std::unique_lock<std::mutex> lk(tx_mutex_);
            auto done = [this] { return (tx_.used() == 0 && in_flight_ == 0) || lost(); };
            if (tx_space_cv_.wait_for(lk, kFlushIdle, done)) return;
        }
        if (!carrier()) return;
        if (idle) idle();
    }
}

void QueuedChannel::line_status(int& a, int& b) {
    a = 0;
    b = 8 + (carrier() ? 128 : 0);
}

void QueuedChannel::set_dtr(bool on) {
    if (!on) close();
}

bool QueuedChannel::reacquire(bool reopen) {
    if (reopen) return open_port(0);
    return start_workers();
}

}  // namespace kit
