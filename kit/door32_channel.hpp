// The native-door channel: the BBS's "DOOR32.DLL" moves the bytes.
//
// The library is loaded with dlopen from the program's directory first (its
// name matched without regard to letter case), then from the loader's
// search path. It must export, with C linkage:
//
//   int  DoorInitialize(void);
//          Non-zero when the library is ready. Called once, when the
//          channel object is created.
//   int  DoorShutdown(void);
//          Called once when the channel object goes away, after the kit's
//          threads have stopped, if DoorInitialize succeeded.
//   int  DoorWrite(const unsigned char* buffer, int count);
//          Sends all count bytes to the caller; may block until they are
//          taken, but must return once the caller is offline. Non-zero on
//          success.
//   int  DoorRead(unsigned char* buffer, int maximum);
//          Never blocks: copies up to maximum waiting bytes and returns how
//          many (0 when none are waiting).
//   int  DoorGetAvailableEventHandle(void);
//          A descriptor that polls readable while input is waiting (and
//          not otherwise).
//   int  DoorGetOfflineEventHandle(void);
//          A descriptor that polls readable once the caller has gone, and
//          stays readable.
//
// The two "event handles" are file descriptors owned by the library; the
// kit only waits on them (poll) and never reads or closes them. DoorRead and
// DoorWrite are called from two different kit threads at the same time, and
// the offline descriptor is also polled from the program's main thread.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "kit/queued_channel.hpp"
#include "platform/dynlib.hpp"

namespace kit {

// Where native libraries are looked for, in order: the program's directory,
// then "" (the loader's search path).
std::vector<std::string> native_library_dirs();

// Loads name from the first of dirs where it loads ("" means the loader's
// search path; a file in a directory is found without regard to letter
// case). False when none does; lib.error() tells why the last try failed.
bool open_native_library(plat::DynLib& lib, std::string_view name, const std::vector<std::string>& dirs);

class Door32Channel final : public QueuedChannel {
public:
    // Loads "DOOR32.DLL", resolves its six functions and calls
    // DoorInitialize; the channel is failed when any step fails.
    explicit Door32Channel(const std::vector<std::string>& dirs = native_library_dirs());
    // Stops the workers, calls DoorShutdown if DoorInitialize succeeded and
    // unloads the library.
    ~Door32Channel() override;

    // Remembers the handle and starts the workers.
    bool open_handle(int handle) override;
    bool open_port_with_line(int port, int baud, char parity, int data, int stop) override;
    bool open_port(int port) override;
    // False when the channel failed; otherwise true until the offline
    // descriptor is signalled.
    bool carrier() override;
    int handle() override { return handle_; }
    // Stops the workers.
    void close() override;
    // true: open_port(0); false: restart the workers unless failed.
    bool reacquire(bool reopen) override;

    void run_reader() override;
    void run_writer() override;

private:
    using InitFn = int (*)();
    using WriteFn = int (*)(const unsigned char*, int);
    using ReadFn = int (*)(unsigned char*, int);
    using HandleFn = int (*)();

    bool start();

    plat::DynLib lib_;
    InitFn door_initialize_ = nullptr;
    InitFn door_shutdown_ = nullptr;
    WriteFn door_write_ = nullptr;
    ReadFn door_read_ = nullptr;
    HandleFn available_handle_ = nullptr;
    HandleFn offline_handle_ = nullptr;
    bool initialised_ = false;
    int handle_ = 0;
    int available_fd_ = -1;
    int offline_fd_ = -1;
    std::atomic<bool> online_{false};
};

}  // namespace kit
