#include "tribute/lotto_files.hpp"

#include <algorithm>
#include <vector>

#include "host/day_counter.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "tribute/lotto_rules.hpp"

namespace runelot {

namespace {

std::string config_path(std::string_view program_dir) { return std::string(program_dir) + kConfigFile; }
std::string flags_path(std::string_view program_dir) { return std::string(program_dir) + kFlagsFile; }

}  // namespace

bool LoadConfig(LottoRun& run) {
    plat::TextReader file;
    if (file.try_open(config_path(run.program_dir)) != 0) return false;
    run.host_dir = file.read_line();
    std::string day = file.read_line();
    file.close();
    run.stored_day = ParseDay(day);
    return true;
}

bool ReadToday(LottoRun& run) {
    std::string path = run.host_dir + host::kDayCounterFile;
    plat::TextReader probe;
    if (probe.try_open(path) != 0) return false;
    probe.close();
    std::optional<int32_t> day = host::read_day_number(path);
    if (!day) return false;  // gone between the two opens
    run.today = DayInRange(*day);
    return true;
}

bool FlagsFileOpens(const LottoRun& run) {
    plat::RecordFile file(kFlagCount);
    if (file.try_open(flags_path(run.program_dir), plat::Access::read) != 0) return false;
    file.close();
    return true;
}

void DailyReset(LottoRun& run) {
    // In place, not through a new file: a node that writes its caller's flag
    // at this moment must not write into a file that is being replaced.
    plat::RecordFile flags(kFlagCount);
    flags.open(flags_path(run.program_dir), plat::Access::read_write);
    std::vector<uint8_t> zeros(kFlagCount, 0);
    flags.write(zeros);
    flags.close();
    WriteConfig(run.program_dir, run.host_dir, run.today);
    run.stored_day = run.today;
}

void LoadFlags(LottoRun& run) {
    std::optional<std::string> bytes = plat::read_file(flags_path(run.program_dir));
    if (!bytes) plat::run_error(plat::rte::file_not_found);
    run.flags.fill(0);
    size_t n = std::min(bytes->size(), run.flags.size());
    for (size_t i = 0; i < n; ++i) run.flags[i] = static_cast<uint8_t>((*bytes)[i]);
}

void SaveFlag(const LottoRun& run) {
    plat::RecordFile flags(1);
    flags.open(flags_path(run.program_dir), plat::Access::read_write);
    flags.seek(run.record);
    const uint8_t played[1] = {run.flags[static_cast<size_t>(run.record)]};
    flags.write(played);
    flags.close();
}

void WriteConfig(std::string_view program_dir, std::string_view host_dir, int day) {
    plat::rewrite_lines(config_path(program_dir), {std::string(host_dir), std::to_string(day)});
}

void CreateFlags(std::string_view program_dir) {
    plat::RecordFile flags(kFlagCount);
    flags.create(flags_path(program_dir));
    std::vector<uint8_t> zeros(kFlagCount, 0);
    flags.write(zeros);
    flags.close();
}

}  // namespace runelot
