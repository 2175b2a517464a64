// "MAINT": the nightly run that takes deleted players off their teams.
#include <array>

#include "common/lock_file.hpp"
#include "platform/files.hpp"
#include "team/operator_runs.hpp"
#include "team/team_files.hpp"

namespace kelvane {

void RunMaintenance(KelvaneState& s) {
    LoadConfig(s);

    std::array<bool, kPlayerSlots> deleted{};
    int last = -1;
    {
        common::FileLock lock(s.player_file(), true);
        plat::RecordFile players(host::kPlayerRecordSize);
        players.open(s.player_file(), plat::Access::read);
        host::PlayerRecord record;
        while (last + 1 < kPlayerSlots && players.record_count() > last + 1) {
            players.read(record.bytes);
            ++last;
            deleted[static_cast<size_t>(last)] = record.is_empty_slot();
        }
        players.close();
    }

    common::FileLock lock(s.team_file(), true);
    plat::RecordFile teams(kTeamRecordSize);
    open_retried(teams, s.team_file(), plat::Access::read_write);
    // Records 0 to 149 at most.
    int64_t count = std::min<int64_t>(teams.record_count(), kPlayerSlots);
    for (int64_t t = 0; t < count; ++t) {
        TeamBytes bytes{};
        teams.seek(t);
        teams.read(bytes);
        bool changed = false;
        for (int i = 0; i <= last; ++i) {
            uint8_t& member = bytes[team_offset::members + static_cast<size_t>(i)];
            if (member != 0 && deleted[static_cast<size_t>(i)]) {
                member = 0;
                changed = true;
            }
        }
        if (!changed) continue;
        teams.seek(t);
        teams.write(bytes);
    }
    teams.close();
}

}  // namespace kelvane
