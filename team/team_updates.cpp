// Notices between nodes: "tup" + count + "." + node in the working
// directory. Posting, applying and deleting them all hold the team file's
// lock, so two nodes marking one notice seen cannot undo each other's mark
// (which would apply it twice) and no node reads a notice half written.
#include "common/lock_file.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "team/team_files.hpp"

namespace kelvane {

namespace {

constexpr char kAllNotices[] = "tup*.*";

struct Pending {
    std::string file;
    TeamUpdate update;
};

// The notice in file, or nothing when it is gone or not whole.
bool read_notice(const std::string& file, TeamUpdate& update) {
    if (!plat::file_exists(file)) return false;
    plat::RecordFile notice(kTeamUpdateSize);
    open_retried(notice, file, plat::Access::read);
    if (notice.record_count() < 1) {
        notice.close();
        return false;
    }
    std::array<uint8_t, kTeamUpdateSize> bytes{};
    notice.read(bytes);
    notice.close();
    update = decode_update(bytes);
    return true;
}

void write_notice(const std::string& file, const TeamUpdate& update) {
    plat::RecordFile notice(kTeamUpdateSize);
    notice.create(file);
    notice.write(encode_update(update));
    notice.close();
}

void apply(KelvaneState& s, const TeamUpdate& u) {
    switch (u.kind) {
        case kUpdateJoined:
            if (u.player < kPlayerSlots) s.team.members[u.player] = 1;
            break;
        case kUpdateLeft:
            if (u.player < kPlayerSlots) s.team.members[u.player] = 0;
            break;
        case kUpdateDeposit: s.team.treasury += u.amount; break;
        case kUpdateWithdrawal: s.team.treasury -= u.amount; break;
        default: break;
    }
}

}  // namespace

void PostUpdateLocked(KelvaneState& s, uint8_t kind, int32_t amount) {
    ++s.update_count;
    TeamUpdate u;
    u.kind = kind;
    u.player = s.p;
    u.amount = amount;
    u.on_team = s.on_team ? 1 : 0;
    u.team = static_cast<uint8_t>(s.team_no);
    u.seen[s.p] = 1;
    write_notice("tup" + std::to_string(s.update_count) + "." + s.node, u);
}

void PostUpdate(KelvaneState& s, uint8_t kind, int32_t amount) {
    common::FileLock lock(s.team_file(), false);
    PostUpdateLocked(s, kind, amount);
}

void ApplyUpdates(KelvaneState& s) {
    // Most key presses find no notice at all: no lock for them.
    if (plat::find_files("", kAllNotices).empty()) return;
    common::FileLock lock(s.team_file(), false);
    std::vector<Pending> pending;
    for (const std::string& file : plat::find_files("", kAllNotices)) {
        Pending n{file, {}};
        if (read_notice(file, n.update) && n.update.seen[s.p] == 0) pending.push_back(std::move(n));
    }
    if (pending.empty()) return;
    // Teams may have been renumbered since the caller's team was last
    // found: find it again before comparing numbers. A team that is gone
    // takes no notice.
    bool team_found = s.on_team && LocateTeam(s) >= 0;
    for (Pending& n : pending) {
        if (team_found && n.update.team == s.team_no) apply(s, n.update);
        n.update.seen[s.p] = 1;
        write_notice(n.file, n.update);
    }
}

// Deletes this node's own notices, seen by the others or not.
void delete_own_notices(const KelvaneState& s) {
    common::FileLock lock(s.team_file(), false);
    // Matched by hand rather than by the pattern "tup*." + node, so a node
    // text holding wildcard characters cannot reach other nodes' notices.
    for (const std::string& file : plat::find_files("", kAllNotices)) {
        size_t dot = file.rfind('.');
        if (dot != std::string::npos && plat::same_name(file.substr(dot + 1), s.node)) plat::try_delete_file(file);
    }
}

}  // namespace kelvane
