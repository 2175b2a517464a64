// grumbold as a sysop sets it up: it opens the host's TIME.DAT and
// PLAYER.DAT beside itself, so its folder gets links to the game's files;
// GRUMBOLD.DAT is made by the first visit. Its entry is added to the module
// list by hand.
#include "tools/sandbox/setup.hpp"

namespace sandbox {

void setup_grumbold(const ProgramSetup& setup) {
    link_host_file(setup, "time.dat", "time.dat");
    link_host_file(setup, "player.dat", "player.dat");
    add_registry_entry(setup, {setup.program.dir + setup.program.file + " -Dinfo.*", "`0Grumbold's House"});
}

}  // namespace sandbox
