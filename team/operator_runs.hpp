// The runs for the system operator, without a caller and without the exit
// routine: the usage text, the CONFIG setup and the nightly MAINT run.
#pragma once

#include <string_view>

#include "team/kelvane_state.hpp"

namespace kelvane {

// The five lines of command-line help, on the local console.
void ShowUsage();
// The setup screen: host directory, install into the host's module list,
// the configuration file, and the uninstall menu. argv0 is the program as
// started.
void RunSetup(KelvaneState& s, std::string_view argv0);
// Removes deleted players (named "X") from every team. Emptied teams stay
// for the next caller's start-up to purge.
void RunMaintenance(KelvaneState& s);

}  // namespace kelvane
