// The program's start and end: the CONFIG test, the session, the normal run
// in the order the caller meets it, and the exit routines.
#include <memory>

#include "host/player_file.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "platform/clock.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/terminal.hpp"
#include "tribute/lotto_files.hpp"
#include "tribute/runelot.hpp"

namespace runelot {

namespace {

bool IsConfig(int argc, char** argv) {
    if (argc < 2) return false;
    std::string arg = argv[1];
    for (char& c : arg)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return arg == "CONFIG";
}

// A start-up file is missing: the message, a key (left unread, for the
// host), and the end of the program with nothing written.
[[noreturn]] void HaltWithMessage(const char* first_line) {
    kit::door_write_line(first_line);
    kit::door_write_line("Halting!");
    kit::door_write_line("(hit a key)");
    kit::door_wait_for_key();
    plat::halt(0);
}

// A record number without a flag byte: no game for that caller.
bool HasFlag(int32_t record) { return record >= 0 && record < kFlagCount; }

// The last exit routine of the module: a run-time error is reported in
// words on the local console (and on standard error when that console is
// not a terminal, so a BBS log keeps it).
void ReportRunError() {
    const plat::ExitState& state = plat::exit_state();
    if (!state.runtime_error) return;
    std::string line = "Runtime error " + std::to_string(state.exit_code) + ": " + RunErrorWords(state.exit_code);
    kit::local_write_line("");
    kit::local_write_line(line);
    if (!plat::stdout_is_terminal()) plat::write_stderr_line("runelot: " + line);
}

}  // namespace

void RunLotto(LottoRun& run) {
    if (!LoadConfig(run)) HaltWithMessage("Cant open runelot.dat! Did you install the igm?");
    if (!ReadToday(run)) HaltWithMessage("Cant open time.dat. Did you run the igm from drakmoor?");
    // The play file is tested before a daily reset writes to it, so a
    // missing one is reported on the first run of a day as on any other.
    if (!FlagsFileOpens(run)) HaltWithMessage("Cant open runeplay.dat! Did you install the igm?");
    if (run.today != run.stored_day) DailyReset(run);
    LoadFlags(run);

    run.record = kit::door_session().user_record;
    if (!HasFlag(run.record) || run.flags[static_cast<size_t>(run.record)] != 0) {
        kit::door_set_fg(10);
        kit::door_write_line("  There appears to be an invisible shield, keeping you from");
        kit::door_write_line("  advancing on the hill!  (Try again tomorrow!)");
    } else {
        run.player = host::runelot_read_player(run.host_dir + host::kPlayerFile, run.record);
        PlayGame(run);
        SaveGame(run);
    }
    kit::door_set_fg(10);
    kit::door_write_line("Returning to Drakmoor..");
    kit::door_write_line("");
}

int runelot_main(int argc, char** argv) {
    kit::door_init(argc, argv);
    plat::push_exit_handler(ReportRunError);
    std::string program_dir = kit::door_program_dir();
    if (IsConfig(argc, argv)) {
        std::string file = argc > 0 ? plat::base_name(argv[0]) : std::string();
        kit::door_local_console();
        RunConfig(program_dir, file.empty() ? std::string("runelot") : file);
        return 0;
    }
    kit::door_start();

    auto run = std::make_shared<LottoRun>();
    run->program_dir = program_dir;
    // A caller who drops once the machine has drawn its code still has the
    // game saved; before that nothing is written.
    plat::push_exit_handler([run] { SaveGame(*run); });
    RunLotto(*run);
    return 0;
}

}  // namespace runelot
