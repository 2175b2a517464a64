#include "common/lock_file.hpp"

#include <map>

#include "kit/door_output.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace common {

namespace {

constexpr int kWaitMs = 50;
constexpr int kStaleAfterWaits = 9;

// The lock files this process holds, each kept open for writing while
// denying writes to others. That open is what tells a live owner from a
// dead one: it vanishes with the process that held it.
std::map<std::string, plat::FileHandle>& held() {
    static std::map<std::string, plat::FileHandle> locks;
    return locks;
}

[[noreturn]] void missing_file(std::string_view path) {
    std::string name(path);
    kit::local_write_line(name + " does not exist!");
    plat::TextWriter log;
    if (log.try_create("error.log") == 0) {
        log.write_line(name + " Did Not Exist!");
        log.close();
    }
    plat::halt(0);
}

// Having created the lock file, takes hold of it. Fails when a stale-lock
// breaker got to the file first (it has the file open, or has deleted it,
// or another taker holds its replacement): the lock was not won.
bool take_hold(const std::string& lock) {
    plat::FileHandle hold;
    if (hold.try_open(lock, plat::Access::write, plat::Share::deny_write) != 0) return false;
    held()[lock] = std::move(hold);
    return true;
}

// Deletes a lock whose owner is gone. Nobody holding it is proven by an
// exclusive open, kept while the file is deleted, so a taker that created
// it a moment ago cannot take hold in between. A lock this process holds
// itself (a nested take) is broken too, as a dead owner's would be.
void break_if_stale(const std::string& lock) {
    auto own = held().find(lock);
    if (own != held().end()) {
        plat::try_delete_file(lock);
        held().erase(own);
        return;
    }
    plat::FileHandle probe;
    if (probe.try_open(lock, plat::Access::read, plat::Share::exclusive) != 0) return;
    plat::try_delete_file(lock);
}

}  // namespace

bool file_exists(std::string_view path) { return plat::file_exists(path); }

std::string lock_file_name(std::string_view path) {
    // Named after the guarded file as it is on disk, so nodes that spell
    // its name in different letter case still meet at one lock file.
    std::string name = plat::resolve_path(path);
    if (!name.empty()) name.back() = 'X';
    return name;
}

void lock_file(std::string_view path, bool must_exist) {
    if (must_exist && !file_exists(path)) missing_file(path);
    std::string lock = lock_file_name(path);
    int waits = 0;
    for (;;) {
        int code = plat::try_create_new(lock);
        if (code == 0 && take_hold(lock)) return;
        if (code != 0 && code != plat::rte::file_exists) plat::run_error(code);
        plat::sleep_ms(kWaitMs);
        // From the 9th wait on: a dead owner's lock is broken whenever it is
        // found, a live owner's never.
        if (++waits >= kStaleAfterWaits) break_if_stale(lock);
    }
}

void unlock_file(std::string_view path) {
    std::string lock = lock_file_name(path);
    auto own = held().find(lock);
    // Deleted before the hold is let go: while held, the name can only be
    // this process's file.
    if (plat::file_exists(lock)) plat::try_delete_file(lock);
    if (own != held().end()) held().erase(own);
}

}  // namespace common
