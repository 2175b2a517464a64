// The team file: purging empty teams, finding the caller's team, finding
// it again after other nodes renumbered the teams, deleting a team, and
// treasury moves that reach the file at once.
#include <algorithm>
#include <optional>

#include "common/lock_file.hpp"
#include "host/player_file.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"
#include "team/team_files.hpp"

namespace kelvane {

void open_retried(plat::RecordFile& file, const std::string& path, plat::Access access) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt)
        if (file.try_open(path, access) == 0) return;
}

std::vector<TeamBytes> read_team_file(const KelvaneState& s) {
    std::vector<TeamBytes> records;
    std::string path = s.team_file();
    if (!plat::file_exists(path)) return records;
    // The whole file in one read; whole records only: a damaged tail is
    // not a team.
    std::optional<std::string> bytes;
    for (int attempt = 0; attempt < kOpenAttempts && !bytes; ++attempt) bytes = plat::read_file(path);
    if (!bytes) plat::run_error(plat::rte::file_not_open);
    records.resize(bytes->size() / kTeamRecordSize);
    for (size_t i = 0; i < records.size(); ++i)
        std::copy_n(bytes->begin() + static_cast<std::ptrdiff_t>(i * kTeamRecordSize), kTeamRecordSize,
                    records[i].begin());
    return records;
}

namespace {

void purge_empty_team_file(const KelvaneState& s) {
    std::string path = s.team_file();
    if (!plat::file_exists(path)) return;
    plat::RecordFile file(kTeamRecordSize);
    open_retried(file, path, plat::Access::read);
    bool empty = file.record_count() == 0;
    file.close();
    if (empty) plat::delete_file(path);
}

bool team_name_is(std::span<const uint8_t, kTeamRecordSize> bytes, const std::string& name) {
    size_t len = std::min<size_t>(bytes[team_offset::name], team_offset::name_max);
    return name.size() == len &&
           std::equal(name.begin(), name.end(), bytes.begin() + static_cast<std::ptrdiff_t>(team_offset::name + 1));
}

}  // namespace

TeamBytes read_team_record(const KelvaneState& s, int index) {
    TeamBytes bytes{};
    plat::RecordFile file(kTeamRecordSize);
    open_retried(file, s.team_file(), plat::Access::read);
    file.seek(index);
    file.read(bytes);
    file.close();
    return bytes;
}

void write_team_record(const KelvaneState& s, int index, const TeamBytes& bytes) {
    plat::RecordFile file(kTeamRecordSize);
    open_retried(file, s.team_file(), plat::Access::read_write);
    file.seek(index);
    file.write(bytes);
    file.close();
}

void PurgeEmptyTeamFile(const KelvaneState& s) {
    common::FileLock lock(s.team_file(), false);
    purge_empty_team_file(s);
}

namespace {

void purge_empty_teams(const KelvaneState& s) {
    std::vector<TeamBytes> records = read_team_file(s);
    std::vector<TeamBytes> kept;
    for (const TeamBytes& r : records)
        if (team_bytes_has_members(r)) kept.push_back(r);
    if (kept.size() == records.size()) return;  // nothing to drop: the file stays as it is
    std::string path = s.team_file();
    if (kept.empty()) {
        plat::delete_file(path);
        return;
    }
    // The copy goes to the node's own scratch file, which then replaces the
    // team file in one rename: a crash leaves the old or the new file.
    std::string scratch = s.program_dir + s.node + ".dat";
    plat::RecordFile out(kTeamRecordSize);
    out.create(scratch);
    for (const TeamBytes& r : kept) out.write(r);
    out.close();
    plat::rename_file(scratch, path);
}

}  // namespace

void PurgeEmptyTeams(const KelvaneState& s) {
    common::FileLock lock(s.team_file(), false);
    purge_empty_teams(s);
}

void FindCallerTeam(KelvaneState& s, const std::string& info_line1) {
    plat::ValResult record = plat::val(info_line1);
    if (!record.ok || record.value < 0 || record.value >= kPlayerSlots) plat::run_error(plat::rte::range_check);
    s.p = static_cast<uint8_t>(record.value);

    std::vector<host::PlayerRecord> loaded = host::kelvane_load_players(s.player_file());
    s.player_count = static_cast<int>(std::min<size_t>(loaded.size(), kPlayerSlots));
    std::copy_n(loaded.begin(), s.player_count, s.players.begin());
    s.players_loaded = true;

    s.on_team = false;
    s.is_leader = false;
    s.team_no = 0;
    // Empty teams go before the caller's team is looked up, under the same
    // hold of the lock, so the number found is the team's number in the
    // file as it stays.
    common::FileLock lock(s.team_file(), false);
    purge_empty_team_file(s);
    purge_empty_teams(s);
    std::vector<TeamBytes> records = read_team_file(s);
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i][team_offset::members + s.p] == 0) continue;
        s.team = decode_team(records[i]);
        s.on_team = true;
        s.team_no = static_cast<int>(i);
        s.is_leader = s.team.leader == s.p;
        s.team.asleep[s.p] = 0;
        break;
    }
}

int LocateTeam(KelvaneState& s) {
    std::vector<TeamBytes> records = read_team_file(s);
    int found = -1;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!team_name_is(records[i], s.team.name)) continue;
        int index = static_cast<int>(i);
        // Among teams of one name, the one that lists the caller wins, and
        // of those the one at the number already known.
        bool lists_caller = records[i][team_offset::members + s.p] != 0;
        if (found < 0 || (lists_caller && (records[static_cast<size_t>(found)][team_offset::members + s.p] == 0 ||
                                           index == s.team_no)))
            found = index;
    }
    if (found >= 0) s.team_no = found;
    return found;
}

void DeleteTeam(const KelvaneState& s, int index) {
    std::vector<TeamBytes> records = read_team_file(s);
    {
        common::FileLock scratch_lock(kDeleteScratch, false);
        plat::RecordFile scratch(kTeamRecordSize);
        scratch.create(kDeleteScratch);
        for (size_t i = 0; i < records.size(); ++i)
            if (static_cast<int>(i) != index) scratch.write(records[i]);
        scratch.close();
    }
    // One rename replaces the team file (a copy and delete when the working
    // directory lies on another file system).
    plat::rename_file(kDeleteScratch, s.team_file());
    purge_empty_team_file(s);
}

int32_t MoveTreasury(KelvaneState& s, uint8_t kind, int32_t amount) {
    common::FileLock lock(s.team_file(), false);
    if (!plat::file_exists(s.team_file())) return 0;
    int index = LocateTeam(s);
    if (index < 0) return 0;
    TeamBytes bytes = read_team_record(s, index);
    double treasury = team_bytes_treasury(bytes);
    int32_t moved = amount;
    if (kind == kUpdateWithdrawal && !(treasury >= static_cast<double>(amount))) moved = 0;
    if (moved != 0) {
        treasury += kind == kUpdateDeposit ? static_cast<double>(moved) : -static_cast<double>(moved);
        set_team_bytes_treasury(bytes, treasury);
        write_team_record(s, index, bytes);
    }
    // Team mates on other nodes follow through the notice.
    PostUpdateLocked(s, kind, moved);
    return moved;
}

}  // namespace kelvane
