// lottery as a sysop sets it up: "lottery.CFG" naming the host directory,
// the three ticket files present and empty (so the nightly /M run draws all
// three games), and an entry added to the module list by hand.
#include <string>

#include "platform/files.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

void setup_lottery(const ProgramSetup& setup) {
    plat::rewrite_lines(setup.in_program_dir("lottery.CFG"), {setup.game_dir});
    for (const char* tickets : {"lottery1.dat", "lottery2.dat", "lottery3.dat"})
        plat::rewrite_file(setup.in_program_dir(tickets), "");
    add_registry_entry(setup, {setup.program.dir + setup.program.file + " -Dinfo.*", "`0The Lottery"});
}

}  // namespace sandbox
