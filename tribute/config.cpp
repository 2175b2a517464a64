// The install dialogue ("CONFIG"), at the local console without a caller:
// the host's directory, then install or uninstall.
#include <cctype>

#include "host/registry.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "tribute/lotto_files.hpp"
#include "tribute/runelot.hpp"

namespace runelot {

namespace {

constexpr int kPathInputMax = 255;

// Asks until the directory holds the host's module list; an empty answer
// ends the program.
std::string AskHostDir() {
    for (;;) {
        kit::local_write_line("");
        kit::local_write_line("Enter the path to Drakmoor:");
        std::string dir = kit::door_input_line(kPathInputMax);
        if (dir.empty()) {
            kit::local_write_line("Exiting..");
            plat::halt(0);
        }
        dir = host::with_final_separator(dir);
        bool verified = plat::file_exists(dir + host::kRegistryFile);
        kit::local_write_line(verified ? "Verified!" : "No good!");
        kit::local_write_line("");
        if (verified) return dir;
    }
}

}  // namespace

void RunConfig(const std::string& program_dir, const std::string& program_file) {
    std::string host_dir = AskHostDir();
    plat::TextReader config;
    bool installed = config.try_open(program_dir + kConfigFile) == 0;
    config.close();
    kit::local_write(installed ? "Uninstall Edric's Lotto? (Y/N) [Y] " : "Install Edric's Lotto? (Y/N) [Y] ");
    char key = static_cast<char>(std::toupper(static_cast<unsigned char>(kit::door_read_key())));
    bool yes = key != 'N';
    kit::local_write_line(yes ? "Y" : "N");
    if (!yes) return;
    if (installed)
        Uninstall(host_dir, program_dir, program_file);
    else
        Install(host_dir, program_dir, program_file);
    kit::local_write_line("Done!");
}

void Install(const std::string& host_dir, const std::string& program_dir, const std::string& program_file) {
    host::runelot_install(host_dir, host::ModuleProgram{program_dir, program_file});
    WriteConfig(program_dir, host_dir, -1);
    CreateFlags(program_dir);
}

void Uninstall(const std::string& host_dir, const std::string& program_dir, const std::string& program_file) {
    host::runelot_uninstall(host_dir, host::ModuleProgram{program_dir, program_file});
    plat::delete_file(program_dir + kConfigFile);
    plat::delete_file(program_dir + kFlagsFile);
}

}  // namespace runelot
