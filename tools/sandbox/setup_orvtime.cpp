// orvtime after its CONFIG run: "orvtime.dat" in its folder (the host
// directory as a short string in 256 bytes, then 150 played-today flags,
// all clear) and its entry in the module list.
#include <string>

#include "platform/files.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

void setup_orvtime(const ProgramSetup& setup) {
    std::string record(406, '\0');
    record[0] = static_cast<char>(setup.game_dir.size());
    record.replace(1, setup.game_dir.size(), setup.game_dir);
    plat::rewrite_file(setup.in_program_dir("orvtime.dat"), record);
    add_registry_entry(setup, host::orvtime_entry(setup.program));
}

}  // namespace sandbox
