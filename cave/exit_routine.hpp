// orvtime's exit routine: runs on every end of a caller's run once the
// caller is known, also when the kit ends the session (carrier lost, idle
// or time limit).
#pragma once

#include <memory>

#include "cave/cave_state.hpp"

namespace cave {

// Chains the save of the caller's played flag and record in front of the
// exit chain (which ends with the exit report and the kit's exit hook). The
// routine shares the state, as it runs after the main routine has returned
// or unwound.
void InstallExitRoutine(std::shared_ptr<const CaveState> state);

// The save itself: under its lock orvtime.dat is read again as it is now
// and gets the host directory and, when the caller played, his flag, so
// flags other nodes saved meanwhile are kept; then, under the player file's
// lock, the caller's record goes back in place if it was read at start.
void SaveOnExit(const CaveState& state);

}  // namespace cave
