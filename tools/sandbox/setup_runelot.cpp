// runelot after its install: "runelot.dat" (the host directory, and -1 as
// the stored day so the first visit resets the day), "runeplay.dat" with
// nobody marked as played, and its entry in the module list.
#include <string>

#include "platform/files.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

void setup_runelot(const ProgramSetup& setup) {
    plat::rewrite_lines(setup.in_program_dir("runelot.dat"), {setup.game_dir, "-1"});
    plat::rewrite_file(setup.in_program_dir("runeplay.dat"), std::string(150, '\0'));
    add_registry_entry(setup, host::runelot_entry(setup.program, setup.game_dir));
}

}  // namespace sandbox
