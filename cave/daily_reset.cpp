#include "cave/daily_reset.hpp"

#include "common/lock_file.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"

namespace cave {

namespace {

constexpr size_t kStampLineMax = 80;

int stamp_value(const plat::LocalDate& date) { return date.year + date.month + date.day; }

}  // namespace

std::string day_stamp(const plat::LocalDate& date) { return std::to_string(stamp_value(date)); }

bool DailyReset(const CaveState& state) {
    std::string config = config_path(state.program_dir);
    common::FileLock lock(config, false);
    plat::LocalDate today = plat::local_date();
    std::string stamp = day_stamp(today);
    if (!plat::file_exists(kDayFile)) plat::rewrite_lines(kDayFile, {std::to_string(stamp_value(today) - 1)});
    plat::TextReader reader;
    reader.open(kDayFile);
    std::string stored = reader.read_line(kStampLineMax);
    reader.close();
    if (stored == stamp) return false;

    plat::rewrite_lines(kDayFile, {stamp});
    CaveConfig fresh;
    fresh.host_path = plat::current_dir();
    WriteConfigFile(config, fresh);
    return true;
}

}  // namespace cave
