#include "common/lock_file.hpp"

#include "kit/door_output.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace common {

namespace {

constexpr int kWaitMs = 50;
constexpr int kStaleAfterWaits = 9;

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
        if (code == 0) return;
        if (code != plat::rte::file_exists) plat::run_error(code);
        plat::sleep_ms(kWaitMs);
        if (++waits == kStaleAfterWaits) plat::try_delete_file(lock);
    }
}

void unlock_file(std::string_view path) {
    std::string lock = lock_file_name(path);
    if (plat::file_exists(lock)) plat::try_delete_file(lock);
}

}  // namespace common
