// The "CONFIG" run at the local console: registers orvtime in the host's
// module list, then offers to uninstall it again.
#pragma once

#include <string>

#include "host/registry.hpp"

namespace cave {

// The program's entry in 3rdparty.dat names the program as started.
host::ModuleProgram orvtime_program();

// Installs (asking for the host directory when orvtime.dat names none),
// then runs the uninstall menu until "Q" or the key with code 255.
void RunInstaller(const std::string& program_dir);

}  // namespace cave
