#include "platform/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/halt.hpp"

namespace plat {

namespace {

ChildExit decode(int status) {
    ChildExit e;
    if (WIFEXITED(status)) {
        e.exited = true;
        e.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        e.signal = WTERMSIG(status);
    }
    return e;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void become_child(const ChildSpec& spec, char* const* argv, int report_fd) {
    if (spec.new_session) ::setsid();
    // Signal dispositions other than "ignore" are reset by exec; put back
    // the defaults of the ones a door relies on being fresh.
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    int null_fd = ::open("/dev/null", O_RDWR);
    int out = spec.output_fd >= 0 ? spec.output_fd : null_fd;
    ::dup2(null_fd, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    if (null_fd > STDERR_FILENO && null_fd != spec.inherit_fd) ::close(null_fd);
    if (spec.inherit_fd >= 0) ::fcntl(spec.inherit_fd, F_SETFD, 0);
    if (!spec.cwd.empty() && ::chdir(spec.cwd.c_str()) != 0) {
        int err = errno;
        ssize_t ignored = ::write(report_fd, &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    ::execv(argv[0], argv);
    int err = errno;
    ssize_t ignored = ::write(report_fd, &err, sizeof err);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

int spawn_child(const ChildSpec& spec, int& error) {
    error = 0;
    if (spec.argv.empty()) {
        error = rte::file_not_found;
        return -1;
    }
    std::vector<char*> argv;
    for (const std::string& a : spec.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The child reports a failed exec on this pipe; a successful exec
    // closes it (close-on-exec) and the parent reads nothing.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = error_code_from_errno(errno);
        return -1;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        error = error_code_from_errno(errno);
        ::close(report[0]);
        ::close(report[1]);
        return -1;
    }
    if (pid == 0) {
        ::close(report[0]);
        become_child(spec, argv.data(), report[1]);
    }
    ::close(report[1]);
    int child_errno = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &child_errno, sizeof child_errno);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof child_errno)) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        error = error_code_from_errno(child_errno);
        return -1;
    }
    return pid;
}

std::optional<ChildExit> poll_child(int pid) {
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid) return decode(status);
    if (r < 0) return ChildExit{};  // not our child (any more)
    return std::nullopt;
}

ChildExit wait_child(int pid) {
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r == pid ? decode(status) : ChildExit{};
}

void terminate_child(int pid) {
    if (pid > 0) ::kill(pid, SIGTERM);
}

void kill_child(int pid) {
    if (pid > 0) ::kill(pid, SIGKILL);
}

bool make_pipe(int& read_end, int& write_end) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read_end = fds[0];
    write_end = fds[1];
    return true;
}

void ensure_standard_descriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) continue;
        int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

}  // namespace plat
