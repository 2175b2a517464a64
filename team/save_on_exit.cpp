// SaveOnExit: the end of every caller's visit, however it ends.
#include "common/error_report.hpp"
#include "common/lock_file.hpp"
#include "host/info_file.hpp"
#include "host/player_file.hpp"
#include "kit/door_input.hpp"
#include "platform/files.hpp"
#include "team/team_files.hpp"

namespace kelvane {

void delete_own_notices(const KelvaneState& s);
void save_caller_allowances(const KelvaneState& s);

namespace {

// Writes the caller's team record where the team is now, keeping the
// treasury the file holds: every treasury move already reached the file,
// and another member's moves may have come after this copy's last notice.
void save_caller_team(KelvaneState& s) {
    common::FileLock lock(s.team_file(), false);
    if (!plat::file_exists(s.team_file())) return;
    int index = LocateTeam(s);
    if (index < 0) return;  // the team is gone: nothing of it to write
    TeamRecord team = s.team;
    team.treasury = team_bytes_treasury(read_team_record(s, index));
    write_team_record(s, index, encode_team(team));
}

}  // namespace

void SaveOnExit(KelvaneState& s) {
    delete_own_notices(s);
    // Only what was loaded goes back: a visit that ended before the player
    // file was read writes no player record, and a record number beyond
    // the end of the player file is not added to it.
    if (s.players_loaded && s.p < s.player_count) host::kelvane_write_caller(s.player_file(), s.p, s.caller());
    if (s.players_loaded && s.on_team) save_caller_team(s);
    if (s.draw_loaded) save_caller_allowances(s);
    if (s.info_loaded) {
        int32_t seconds = kit::door_time_left();
        host::rewrite_info_minutes(s.info_path(), seconds > 0 ? seconds / 60 : 0);
    }
    common::write_exit_report();
}

}  // namespace kelvane
