#include "lottery/lottery.hpp"

#include "platform/files.hpp"

namespace lottery {

std::string LoadConfig(const std::string& program_dir) {
    plat::TextReader file;
    if (file.try_open(program_dir + kConfigFile) != 0) return program_dir;
    std::string dir = file.read_line(255);
    file.close();
    // File names are appended to the directory directly: a sysop who left
    // off the final separator still means the directory. An empty line
    // names the current directory, where the host runs its modules.
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

}  // namespace lottery
