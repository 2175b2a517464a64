#include "cave/orvtime.hpp"

#include <memory>
#include <string>

#include "cave/cave_state.hpp"
#include "cave/daily_reset.hpp"
#include "cave/exit_routine.hpp"
#include "cave/guessing_game.hpp"
#include "cave/installer.hpp"
#include "cave/visit.hpp"
#include "common/colour_writers.hpp"
#include "common/error_report.hpp"
#include "common/text_helpers.hpp"
#include "host/info_file.hpp"
#include "host/player_file.hpp"
#include "kit/door_session.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"

namespace cave {

namespace {

constexpr int kUsagePauseMs = 1000;

void show_usage() {
    common::local_write_line_codes("`2Orvald's Timer!");
    common::local_write_line_codes("");
    common::local_write_line_codes("`%You must run this with the CONFIG parameter to configure.");
    common::local_write_line_codes("Otherwise just run it through DRAKMOOR.");
    plat::sleep_ms(kUsagePauseMs);
}

// The caller's record number and name from the node's info file. A record
// number that is not a number, or one that has no played flag, ends the
// program before anything is read or written for a wrong player.
void read_info(CaveState& state) {
    host::InfoFile info = host::read_info_file(host::info_file_name(state.node));
    plat::ValResult record = info.record_number();
    if (!record.ok) plat::run_error(plat::rte::bad_numeric_format);
    if (record.value < 0 || record.value >= static_cast<int32_t>(kPlayedCount)) plat::run_error(plat::rte::range_check);
    state.record = record.value;

    kit::DoorSession& session = kit::door_session();
    std::string name = info.caller_name();
    session.real_name = name;
    session.alias = name;
    session.user_record = state.record;
    plat::ValResult node = plat::val(state.node);
    if (node.ok) session.node = node.value;
}

// Today's flags: orvtime.dat as it is now, or none when it does not exist.
void load_played(CaveState& state) {
    std::string path = config_path(state.program_dir);
    state.config = plat::file_exists(path) ? LoadConfig(path, true) : CaveConfig{};
}

void visit(CaveState& state) {
    if (state.played()) {
        ShowDarkerCave();
        return;
    }
    if (!EnterCave(state)) return;
    AskWager(state);
    PlayGame(state);
}

}  // namespace

int orvtime_main(int argc, char** argv) {
    kit::door_init(argc, argv);
    // Every end from here on, installer runs included, is reported.
    plat::push_exit_handler([] { common::write_exit_report(); });
    auto shared = std::make_shared<CaveState>();
    CaveState& state = *shared;
    state.program_dir = kit::door_program_dir();
    if (argc < 2) {
        kit::door_local_console();
        show_usage();
        return 0;
    }
    state.node = argv[1];
    if (common::upper_case(state.node) == "CONFIG") {
        kit::door_local_console();
        RunInstaller(state.program_dir);
        return 0;
    }

    kit::door_set_program_name("Orvald's Timer");
    kit::door_start_named();
    read_info(state);
    InstallExitRoutine(shared);
    state.player = host::orvtime_read_player(host::kPlayerFile, state.record);
    state.player_loaded = true;
    DailyReset(state);
    load_played(state);
    visit(state);
    return 0;
}

}  // namespace cave
