#include "tools/sandbox/launcher.hpp"

#include "platform/fd_io.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace sandbox {

std::vector<std::string> info_lines(int32_t record, const host::PlayerRecord& player, int socket_fd) {
    std::string name = player.name();
    size_t blank = name.find(' ');
    std::string first = blank == std::string::npos ? name : name.substr(0, blank);
    std::string last = blank == std::string::npos ? std::string() : name.substr(blank + 1);
    return {std::to_string(record),
            "3",
            "",
            "FAIRY NO",
            std::to_string(kMinutesAllowed),
            name,
            first,
            last,
            std::to_string(socket_fd),
            "",
            "",
            "TELNET",
            "",
            "CLEAN MODE OFF"};
}

std::vector<std::string> command_args(std::string_view command, int node, const std::string& game_dir) {
    std::string line;
    for (char c : command) {
        if (c == '*')
            line += std::to_string(node);
        else
            line += c;
    }
    std::vector<std::string> args;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t end = line.find(' ', pos);
        if (end == std::string::npos) end = line.size();
        if (end > pos) args.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    if (!args.empty()) {
        std::string program = plat::to_posix(args[0]);
        if (program[0] != '/') program = game_dir + program;
        args[0] = plat::resolve_path(program);
    }
    return args;
}

int start_module(const std::string& game_dir, int node, const Choice& choice, int socket_fd, int output_fd,
                 std::string& error) {
    plat::ChildSpec spec;
    spec.argv = command_args(choice.entry.command, node, game_dir);
    if (spec.argv.empty()) {
        error = strip_codes(choice.entry.title) + " has an empty command line.";
        return -1;
    }
    plat::rewrite_lines(game_dir + "info." + std::to_string(node), info_lines(choice.record, choice.player, socket_fd));
    spec.cwd = game_dir;
    spec.inherit_fd = socket_fd;
    spec.output_fd = output_fd;
    int code = 0;
    int pid = plat::spawn_child(spec, code);
    if (pid < 0) {
        if (code == plat::rte::file_not_found || code == plat::rte::path_not_found)
            error = spec.argv[0] + " is not there (not built yet?).";
        else if (code == plat::rte::access_denied)
            error = spec.argv[0] + " cannot be run (access denied).";
        else
            error = spec.argv[0] + " could not be started (error " + std::to_string(code) + ").";
    }
    return pid;
}

bool send_all(int fd, std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t left = bytes.size();
    while (left > 0) {
        plat::IoResult r = plat::write_fd(fd, p, left);
        if (r.failed() || r.count <= 0) return false;
        p += r.count;
        left -= static_cast<size_t>(r.count);
    }
    return true;
}

std::string describe_end(std::string_view title, const plat::ChildExit& end) {
    std::string name = strip_codes(title);
    if (end.exited) return name + " ended with exit code " + std::to_string(end.code) + ".";
    return name + " was ended by signal " + std::to_string(end.signal) + ".";
}

}  // namespace sandbox
