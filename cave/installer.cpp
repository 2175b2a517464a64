#include "cave/installer.hpp"

#include "cave/cave_config.hpp"
#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"

namespace cave {

namespace {

constexpr char kDefaultHostDir[] = "C:\\drakmoor\\";
constexpr char kProgramFile[] = "orvtime";
constexpr unsigned char kEndKey = 255;

// Registers the program and starts its data file afresh; returns the host
// directory it was registered in.
std::string install(const std::string& program_dir) {
    kit::local_clear_screen();
    common::local_write_line_codes("                    `%Orv Time Setup!");
    common::local_write_line_codes("");
    std::string config = config_path(program_dir);
    std::string host_dir;
    if (plat::file_exists(config)) host_dir = LoadConfig(config, true).host_path;
    if (host_dir.empty()) host_dir = host::ask_host_dir(kDefaultHostDir);

    host::orvtime_install(host_dir, orvtime_program());
    CaveConfig fresh;
    fresh.host_path = host_dir;
    SaveConfig(config, fresh);
    return host_dir;
}

// False when the operator chose to leave.
bool uninstall_menu(const std::string& program_dir, const std::string& host_dir) {
    kit::local_clear_screen();
    common::local_write_line_codes("`0(`2U`0)`2ninstall OrvTime");
    common::local_write_line_codes("`0(`2Q`0)`2uit CONFIG");
    char key = kit::door_read_key();
    if (static_cast<unsigned char>(key) == kEndKey) return false;
    char choice = common::upper_case(std::string(1, key))[0];
    if (choice == 'Q') return false;
    if (choice == 'U') {
        host::orvtime_uninstall(host_dir, orvtime_program());
        std::string config = config_path(program_dir);
        if (plat::file_exists(config)) plat::delete_file(config);
        host::show_uninstalled();
    }
    return true;
}

}  // namespace

host::ModuleProgram orvtime_program() {
    std::string file = plat::base_name(kit::door_args().empty() ? std::string() : kit::door_args()[0]);
    return {kit::door_program_dir(), file.empty() ? kProgramFile : file};
}

void RunInstaller(const std::string& program_dir) {
    std::string host_dir = install(program_dir);
    while (uninstall_menu(program_dir, host_dir)) {
    }
}

}  // namespace cave
