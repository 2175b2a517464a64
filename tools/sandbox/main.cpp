// sandbox: a stand-in host game for trying the programs.
//
//   sandbox init DIR [--force]         lays out a sample game
//   sandbox play DIR                   this terminal becomes a caller
//   sandbox serve DIR [--port 2323]    telnet callers on 127.0.0.1
//   sandbox day DIR                    advances the game's day counter
#include <string>
#include <vector>

#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/terminal.hpp"
#include "platform/val.hpp"
#include "tools/sandbox/hosting.hpp"
#include "tools/sandbox/sample_game.hpp"

namespace {

constexpr uint16_t kDefaultPort = 2323;

constexpr const char* kUsage[] = {
    "usage: sandbox init DIR [--force]        lay out a sample game in DIR",
    "       sandbox play DIR                  play it in this terminal",
    "       sandbox serve DIR [--port 2323]   take telnet callers on 127.0.0.1",
    "       sandbox day DIR                   advance the game's day counter",
};

int usage() {
    for (const char* line : kUsage) plat::write_stderr_line(line);
    return 2;
}

int sandbox_main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return usage();
    const std::string& command = args[0];
    const std::string& dir = args[1];
    std::string message;
    if (command == "init") {
        bool force = args.size() == 3 && args[2] == "--force";
        if (args.size() > 3 || (args.size() == 3 && !force)) return usage();
        sandbox::InitResult r = sandbox::init_game(dir, plat::program_dir(), force, message);
        plat::write_stderr_line(message);
        return r == sandbox::InitResult::created ? 0 : 1;
    }
    if (command == "day" && args.size() == 2) {
        bool ok = sandbox::advance_day(dir, message);
        plat::write_stderr_line(message);
        return ok ? 0 : 1;
    }
    if (command == "play" && args.size() == 2) return sandbox::play(sandbox::game_path(dir));
    if (command == "serve" && (args.size() == 2 || (args.size() == 4 && args[2] == "--port"))) {
        uint16_t port = kDefaultPort;
        if (args.size() == 4) {
            plat::ValResult v = plat::val(args[3]);
            if (!v.ok || v.value < 0 || v.value > 65535) return usage();
            port = static_cast<uint16_t>(v.value);
        }
        return sandbox::serve(sandbox::game_path(dir), port);
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) { return plat::run_program(argc, argv, sandbox_main); }
