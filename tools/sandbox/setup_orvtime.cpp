// orvtime after its CONFIG run: "orvtime.dat" in its folder and its entry in
// the module list. The data file is one record of 406 bytes: the host
// directory as a short string in 256 bytes (length byte, then at most 255
// characters), then 150 played-today flags, all clear. The day file
// "orvatime.dat" is not part of the setup: the first visit creates it.
#include <algorithm>
#include <string>

#include "platform/files.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

namespace {

constexpr size_t kRecordSize = 406;
constexpr size_t kPathMax = 255;

}  // namespace

void setup_orvtime(const ProgramSetup& setup) {
    std::string record(kRecordSize, '\0');
    size_t length = std::min(setup.game_dir.size(), kPathMax);
    record[0] = static_cast<char>(length);
    record.replace(1, length, setup.game_dir, 0, length);
    plat::rewrite_file(setup.in_program_dir("orvtime.dat"), record);
    add_registry_entry(setup, host::orvtime_entry(setup.program));
}

}  // namespace sandbox
