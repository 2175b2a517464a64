#include "platform/halt.hpp"

#include <cerrno>
#include <new>
#include <vector>

namespace plat {

namespace {

std::vector<std::function<void()>>& chain() {
    static std::vector<std::function<void()>> handlers;
    return handlers;
}

void record_halt(int code) {
    exit_state().exit_code = code;
}

void record_run_error(int code) {
    ExitState& s = exit_state();
    s.exit_code = code;
    s.runtime_error = true;
    // A stand-in for the address of the failing instruction: nonzero while
    // the error is pending, so a report routine can tell it is there.
    s.error_address = 0x0100u + static_cast<unsigned>(code & 0xFF);
}

}  // namespace

void halt(int code) {
    throw Halt{code};
}

void run_error(int code) {
    throw RunError{code};
}

int error_code_from_errno(int err) {
    switch (err) {
        case ENOENT: return rte::file_not_found;
        case ENOTDIR: return rte::path_not_found;
        case ENAMETOOLONG: return rte::path_not_found;
        case EMFILE:
        case ENFILE: return rte::too_many_open_files;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EAGAIN:
        case ETXTBSY: return rte::access_denied;
        case EBADF: return rte::bad_handle;
        case ENOSPC:
        case EFBIG:
        case EDQUOT: return rte::write_error;
        case EXDEV: return 17;
        default: return rte::write_error;
    }
}

ExitState& exit_state() {
    static ExitState state;
    return state;
}

void push_exit_handler(std::function<void()> handler) {
    chain().push_back(std::move(handler));
}

void pop_exit_handler() {
    if (!chain().empty()) chain().pop_back();
}

void run_exit_chain() {
    while (!chain().empty()) {
        std::function<void()> handler = std::move(chain().back());
        chain().pop_back();
        try {
            handler();
        } catch (const Halt& h) {
            record_halt(h.code);
        } catch (const RunError& e) {
            record_run_error(e.code);
        } catch (const std::bad_alloc&) {
            record_run_error(rte::heap_overflow);
        }
    }
}

int run_program(const std::function<void()>& body) {
    try {
        body();
        record_halt(0);
    } catch (const Halt& h) {
        record_halt(h.code);
    } catch (const RunError& e) {
        record_run_error(e.code);
    } catch (const std::bad_alloc&) {
        record_run_error(rte::heap_overflow);
    }
    run_exit_chain();
    return exit_state().exit_code & 0xFF;
}

int run_program(int argc, char** argv, int (*body)(int, char**)) {
    return run_program([&] {
        int code = body(argc, argv);
        if (code != 0) halt(code);
    });
}

void reset_program_state() {
    chain().clear();
    exit_state() = ExitState{};
}

}  // namespace plat
