// The program: the command line, the start-up of a caller's visit in its
// fixed order, and the runs for the system operator.
#include <memory>

#include "common/text_helpers.hpp"
#include "host/info_file.hpp"
#include "kit/door_session.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"
#include "team/kelvane_main.hpp"
#include "team/operator_runs.hpp"
#include "team/screens.hpp"
#include "team/team_files.hpp"

namespace kelvane {

int kelvane_main(int argc, char** argv) {
    kit::door_init(argc, argv);
    // The state outlives this function: the exit routine runs after it.
    auto state = std::make_shared<KelvaneState>();
    KelvaneState& s = *state;
    s.program_dir = kit::door_program_dir();
    if (argc < 2) {
        ShowUsage();
        return 0;
    }
    std::string command = common::upper_case(argv[1]);
    // The operator's runs show the local console on the terminal.
    if (command == "CONFIG" || command == "MAINT") kit::door_local_console();
    if (plat::file_exists(s.config_path())) LoadConfig(s);
    if (command == "CONFIG") {
        RunSetup(s, argv[0]);
        return 0;
    }
    if (command == "MAINT") {
        RunMaintenance(s);
        return 0;
    }

    s.node = argv[1];
    kit::door_set_program_name("Kelvane");
    kit::door_start_named();
    // The exit routine goes in before the info file is read, so that a
    // missing file is reported like every other fatal error; it writes back
    // only what was loaded.
    plat::push_exit_handler([state] { SaveOnExit(*state); });
    host::InfoFile info = host::read_info_file(s.info_path());
    s.info_loaded = true;
    kit::DoorSession& session = kit::door_session();
    session.node = plat::val_or(s.node, 0);
    session.real_name = info.caller_name();
    session.alias = session.real_name;

    LoadConfig(s);
    FindCallerTeam(s, info.line(1));
    DailyReset(s);
    LoadDrawTable(s);
    TeamOptionsMenu(s);
}

}  // namespace kelvane
