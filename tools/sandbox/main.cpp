// sandbox: a stand-in host game for trying the programs.
//
//   sandbox init DIR [--force]   lays out a sample game
//   sandbox day DIR              advances the game's day counter by one
#include <string>
#include <vector>

#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/terminal.hpp"
#include "tools/sandbox/sample_game.hpp"

namespace {

constexpr const char* kUsage[] = {
    "usage: sandbox init DIR [--force]   lay out a sample game in DIR",
    "       sandbox day DIR              advance the game's day counter",
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
    return usage();
}

}  // namespace

int main(int argc, char** argv) { return plat::run_program(argc, argv, sandbox_main); }
