#include "cave/exit_routine.hpp"

#include "cave/cave_config.hpp"
#include "host/player_file.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace cave {

void SaveOnExit(const CaveState& state) {
    SaveCallerFlag(config_path(state.program_dir), plat::current_dir(), state.record, state.played());
    if (state.player_loaded) host::orvtime_write_player(host::kPlayerFile, state.record, state.player);
}

void InstallExitRoutine(std::shared_ptr<const CaveState> state) {
    plat::push_exit_handler([state = std::move(state)] { SaveOnExit(*state); });
}

}  // namespace cave
