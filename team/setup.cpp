// "CONFIG": the setup screen on the local console.
#include "common/colour_writers.hpp"
#include "host/registry.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/terminal.hpp"
#include "team/operator_runs.hpp"

namespace kelvane {

namespace {

constexpr char kDefaultHostDir[] = "c:\\drakmoor\\";

// The program as the host will start it: an absolute directory, since the
// host runs its modules from its own directory.
host::ModuleProgram this_program(const KelvaneState& s, std::string_view argv0) {
    std::string dir = s.program_dir;
    if (dir.rfind("./", 0) == 0) dir.erase(0, 2);
    if (dir.empty() || (dir[0] != '/' && dir[0] != '\\')) dir = plat::current_dir() + dir;
    std::string file = plat::base_name(argv0);
    if (file.empty()) file = "kelvane";
    return {dir, file};
}

void write_config(const KelvaneState& s, const std::string& extra) {
    plat::rewrite_lines(s.config_path(), {s.host_dir, extra});
}

void install(const KelvaneState& s, const host::ModuleProgram& program) {
    if (host::kelvane_already_installed(s.host_dir, program)) return;
    host::kelvane_install(s.host_dir, program);
}

void uninstall(KelvaneState& s, const host::ModuleProgram& program) {
    plat::TextReader cfg;
    if (cfg.try_open(s.config_path()) == 0) {
        s.host_dir = cfg.read_line(255);
        cfg.close();
    }
    common::local_write_line_codes(s.host_dir + host::kRegistryFile);
    if (!host::kelvane_uninstall(s.host_dir, program)) return;
    plat::try_delete_file(s.config_path());
    host::show_uninstalled();
}

}  // namespace

void ShowUsage() {
    for (const char* line : {"", "    KELVANE Commandline Options", "", "    CONFIG   -  Run Kelvane Configuration",
                             "    MAINT    -  Run Kelvane Maintenance"}) {
        kit::local_write_line(line);
        // Also on standard output: without a session the local console is
        // not drawn on the terminal.
        plat::write_stdout(std::string(line) + "\n");
    }
}

void RunSetup(KelvaneState& s, std::string_view argv0) {
    host::ModuleProgram program = this_program(s, argv0);
    kit::local_clear_screen();
    common::local_write_line_codes("                    `%Kelvane Setup!");
    common::local_write_line_codes("");

    bool had_config = plat::file_exists(s.config_path());
    std::string path;
    std::string extra;
    if (had_config) {
        plat::TextReader cfg;
        cfg.open(s.config_path());
        path = cfg.read_line(255);
        extra = cfg.read_line(12);
        cfg.close();
    }
    bool asked = path.empty();
    if (asked) {
        path = host::ask_host_dir(kDefaultHostDir);
        extra.clear();
    }
    s.host_dir = path;

    if (!had_config) {
        install(s, program);
        write_config(s, extra);
    } else if (asked) {
        // A configuration without its host directory gets the one just
        // asked for, rather than asking again at every setup.
        write_config(s, extra);
    }

    for (;;) {
        kit::local_clear_screen();
        common::local_write_line_codes("");
        common::local_write_line_codes("  `0(`2U`0)`2ninstall Kelvane");
        common::local_write_line_codes("  `0(`2Q`0)`2uit CONFIG");
        common::local_write_line_codes("");
        common::local_write_codes("  `2Your command: `%");
        char key = kit::door_read_key();
        if (key == 'Q' || key == 'q') return;
        if (key == 'U' || key == 'u') uninstall(s, program);
    }
}

}  // namespace kelvane
