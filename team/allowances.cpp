// The daily allowances: the day key, the daily reset of "teamdraw.dat"
// and loading the table for the visit.
#include "common/lock_file.hpp"
#include "platform/files.hpp"
#include "team/team_files.hpp"

namespace kelvane {

namespace {

constexpr uint8_t kDailyInvasions = 1;
constexpr uint8_t kDailyPartyPoints = 100;

// True when the table file holds its whole record.
bool draw_file_whole() {
    if (!plat::file_exists(kDrawFile)) return false;
    plat::RecordFile file(kDrawTableSize);
    open_retried(file, kDrawFile, plat::Access::read);
    bool whole = file.record_count() >= 1;
    file.close();
    return whole;
}

std::string stored_day_key() {
    plat::TextReader day;
    if (day.try_open(kDayFile) != 0) return {};
    std::string key = day.read_line(255);
    day.close();
    return key;
}

}  // namespace

std::string DayKey(const plat::LocalDate& date) { return std::to_string(date.year + date.month + date.day); }

int32_t BaseLimit(int level) {
    int power = level / 2 + 2;  // division truncating toward zero
    if (power < 0) return 0;
    int64_t limit = level % 2 != 0 ? 1 : 3;
    for (int i = 0; i < power && limit <= kLimitCap; ++i) limit *= 10;
    return static_cast<int32_t>(std::min<int64_t>(limit, kLimitCap));
}

void DailyReset(KelvaneState& s) {
    std::string key = DayKey(plat::local_date());
    // The whole test-and-reset runs under the table's lock, so two nodes
    // starting at once on a new day cannot reset after the other's caller
    // has already drawn on the new allowances.
    common::FileLock lock(kDrawFile, false);
    s.day_key = key;
    if (plat::file_exists(kDayFile) && draw_file_whole() && stored_day_key() == key) return;

    plat::TextWriter day;
    day.create(kDayFile);
    day.write_line(key);
    day.close();

    DrawTable draw;
    for (int i = 0; i < kPlayerSlots; ++i) {
        draw.withdraw_left[static_cast<size_t>(i)] = BaseLimit(s.players[static_cast<size_t>(i)].level());
        draw.invasions_left[static_cast<size_t>(i)] = kDailyInvasions;
        draw.party_points[static_cast<size_t>(i)] = kDailyPartyPoints;
    }
    plat::RecordFile table(kDrawTableSize);
    table.create(kDrawFile);
    table.write(encode_draw(draw));
    table.close();
}

void LoadDrawTable(KelvaneState& s) {
    common::FileLock lock(kDrawFile, true);
    plat::RecordFile table(kDrawTableSize);
    open_retried(table, kDrawFile, plat::Access::read);
    std::array<uint8_t, kDrawTableSize> bytes{};
    table.read(bytes);
    table.close();
    s.draw = decode_draw(bytes);
    s.draw_loaded = true;
}

// Writes the caller's three entries into the table as it is in the file
// now: each node changes only its own caller's entries. When another node
// has reset the table for a new day since this visit loaded it, the reset
// values stay.
void save_caller_allowances(const KelvaneState& s) {
    common::FileLock lock(kDrawFile, false);
    if (!draw_file_whole() || stored_day_key() != s.day_key) return;
    plat::RecordFile table(kDrawTableSize);
    open_retried(table, kDrawFile, plat::Access::read_write);
    std::array<uint8_t, kDrawTableSize> bytes{};
    table.read(bytes);
    DrawTable current = decode_draw(bytes);
    current.withdraw_left[s.p] = s.draw.withdraw_left[s.p];
    current.invasions_left[s.p] = s.draw.invasions_left[s.p];
    current.party_points[s.p] = s.draw.party_points[s.p];
    table.seek(0);
    table.write(encode_draw(current));
    table.close();
}

}  // namespace kelvane
