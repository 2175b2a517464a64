// The team module's files: configuration, the team file, the allowance
// table and the day file, the cross-node notices, and the exit routine.
//
// Locks (lock files, common/lock_file.hpp): the team file's guards every
// read or write of "teamfile.dat" and every notice file; the allowance
// table's guards "teamdraw.dat" and "kvtime.dat". No operation here nests
// one lock inside the same lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "team/kelvane_state.hpp"

namespace kelvane {

// Opens of the team, player and allowance files are tried this many times
// in a row; after the last failure the file stays closed and its first read
// or write is a run-time error.
inline constexpr int kOpenAttempts = 1000;
void open_retried(plat::RecordFile& file, const std::string& path, plat::Access access);

// ---- configuration

// Reads program_dir + "kelvane.cfg" into host_dir and config_extra. When
// the file is missing: "KELVANE.CFG does not exist!" on the local console
// and halt(0).
void LoadConfig(KelvaneState& s);

// ---- start-up

// Deletes a team file of length 0.
void PurgeEmptyTeamFile(const KelvaneState& s);
// Rewrites the team file without the teams that have no member (a file
// left without teams is deleted).
void PurgeEmptyTeams(const KelvaneState& s);
// Takes p from the info file's line 1 (a value outside 0-149 is run-time
// error 201), loads the player file, then, under one hold of the team
// file's lock, purges an empty team file and the teams without members and
// finds the caller's team.
void FindCallerTeam(KelvaneState& s, const std::string& info_line1);

// The decimal text of year + month + day.
std::string DayKey(const plat::LocalDate& date);
// The daily withdrawal limit of a level: (1 for odd, 3 for even levels)
// times 10 to the power (level div 2 + 2), at most 2,000,000,000.
int32_t BaseLimit(int level);
inline constexpr int32_t kLimitCap = 2000000000;

// On the first start of a day (or when the table or day file is missing
// or damaged) refills every player's allowances and stores today's key.
void DailyReset(KelvaneState& s);
void LoadDrawTable(KelvaneState& s);

// ---- the team file (these take the team file's lock themselves)

// Every whole record of the team file, in order; empty without a file.
// Requires the team file's lock.
std::vector<TeamBytes> read_team_file(const KelvaneState& s);

// Record index of the team file, read or written whole. Require the team
// file's lock.
TeamBytes read_team_record(const KelvaneState& s, int index);
void write_team_record(const KelvaneState& s, int index, const TeamBytes& bytes);

// Finds the caller's team again by its name and sets team_no; -1 (and
// team_no unchanged) when the team is gone. Requires the team file's lock.
int LocateTeam(KelvaneState& s);

// Removes team record index from the team file; the teams after it move
// down one number. Requires the team file's lock.
void DeleteTeam(const KelvaneState& s, int index);

// Moves amount gold into (kind 3) or out of (kind 4) the caller's team's
// safe: under the team file's lock the record is found by name, its
// treasury changed and written back, and the notice posted. A withdrawal
// larger than the safe in the file holds moves nothing. Returns the amount
// moved; 0 without a notice when the team's record is gone.
int32_t MoveTreasury(KelvaneState& s, uint8_t kind, int32_t amount);

// ---- notices

// Writes notice "tup" + count + "." + node for the caller's team, under the
// team file's lock; PostUpdateLocked requires that lock held.
void PostUpdate(KelvaneState& s, uint8_t kind, int32_t amount);
void PostUpdateLocked(KelvaneState& s, uint8_t kind, int32_t amount);
// Applies the other nodes' notices for the caller's team to `team` and
// marks every notice not yet seen by the caller as seen.
void ApplyUpdates(KelvaneState& s);

// ---- the end of a visit

// The exit routine: deletes this node's notices, writes back what was
// loaded (the caller's player record, team record and allowances), the
// minutes left into the info file, then the exit report.
void SaveOnExit(KelvaneState& s);

}  // namespace kelvane
