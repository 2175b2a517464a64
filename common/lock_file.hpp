// Lock files: the guard kelvane and orvtime put around the shared files
// between nodes.
//
// The lock for a file P is a second file named like P with its last
// character replaced by "X" (player.dat -> player.daX); its presence means
// "taken". It is created atomically (create-if-absent), so two nodes can
// never both hold it. A taker that finds it present waits in 50 ms steps;
// from the 9th wait on it deletes the lock if its owner is gone (a crashed
// node's lock). While a process holds a lock it keeps the lock file
// open, which is how a waiter tells a live owner from a dead one: a live
// owner's lock is never broken, so the 9th-wait break cannot put two nodes
// inside one lock. Waits go through plat::sleep_ms.
#pragma once

#include <string>
#include <string_view>

namespace common {

// True when exactly that path names an existing file.
bool file_exists(std::string_view path);

// path with its last character replaced by "X". An existing guarded file
// lends its on-disk spelling (PLAYER.DAT on disk gives PLAYER.DAX for any
// spelling of the name), so every node names the same lock file.
std::string lock_file_name(std::string_view path);

// Takes the lock for path. With must_exist, a missing path is fatal: the
// local screen shows path + " does not exist!", "error.log" is created anew
// holding path + " Did Not Exist!", and the program ends with exit code 0.
// A lock file that cannot be created for another reason than being present
// is a run-time error.
void lock_file(std::string_view path, bool must_exist);

// Releases the lock: deletes the lock file if it exists.
void unlock_file(std::string_view path);

// Holds the lock for path while it lives: lock_file on construction,
// unlock_file on destruction, so a run-time error or halt between the two
// does not leave the lock behind for the next taker to wait out.
class FileLock {
public:
    FileLock(std::string_view path, bool must_exist) : path_(path) { lock_file(path_, must_exist); }
    ~FileLock() { unlock_file(path_); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::string path_;
};

}  // namespace common
