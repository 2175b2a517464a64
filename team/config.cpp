// LoadConfig: the two lines of "kelvane.cfg" in the program's directory.
#include "common/colour_writers.hpp"
#include "kit/door_output.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "team/team_files.hpp"

namespace kelvane {

namespace {
constexpr size_t kHostDirMax = 255;
constexpr size_t kExtraLineMax = 12;
}  // namespace

void LoadConfig(KelvaneState& s) {
    plat::TextReader cfg;
    if (cfg.try_open(s.config_path()) != 0) {
        kit::local_write_line("KELVANE.CFG does not exist!");
        plat::halt(0);
    }
    s.host_dir = cfg.read_line(kHostDirMax);
    s.config_extra = cfg.read_line(kExtraLineMax);
    cfg.close();
}

}  // namespace kelvane
