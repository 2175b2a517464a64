#include "host/player_file.hpp"

#include <string>

#include "common/lock_file.hpp"
#include "kit/door_output.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"

namespace host {

namespace {

using plat::Access;
using plat::RecordFile;
using plat::Share;

void read_at(RecordFile& file, int32_t record, PlayerRecord& player) {
    file.seek(record);
    file.read(player.bytes);
}

void write_at(RecordFile& file, int32_t record, const PlayerRecord& player) {
    file.seek(record);
    file.write(player.bytes);
}

// kelvane's open: up to 1000 attempts in a row; after the last failure the
// file stays closed and its first use reports error 103.
void open_retried(RecordFile& file, std::string_view path) {
    for (int i = 0; i < kKelvaneOpenAttempts; ++i)
        if (file.try_open(path) == 0) return;
}

[[noreturn]] void grumbold_open_failed(int code) {
    kit::door_newline();
    kit::door_write_backtick("  `b** `%ERROR!  Can't open player.dat file, man. `b**",
                             kit::BacktickSet::grumbold);
    kit::door_newline();
    plat::halt(code);
}

void grumbold_open(RecordFile& file, std::string_view path, Share share) {
    int code = 0;
    for (int attempt = 1; attempt <= kGrumboldOpenAttempts; ++attempt) {
        code = file.try_open(path, Access::read_write, share);
        if (code == 0) return;
        if (code != plat::rte::access_denied) break;
        if (attempt < kGrumboldOpenAttempts) plat::sleep_ms(kGrumboldRetryMs);
    }
    grumbold_open_failed(code);
}

// Tries the open every 50 ms for up to 5 seconds from the first attempt;
// returns the last failure code, 0 once open.
int lottery_open(RecordFile& file, std::string_view path, Share share) {
    uint64_t start = plat::clock().tick_ms();
    for (;;) {
        int code = file.try_open(path, Access::read_write, share);
        if (code == 0) return 0;
        if (plat::clock().tick_ms() - start >= static_cast<uint64_t>(kLotteryRetryLimitMs)) return code;
        plat::sleep_ms(kLotteryRetryStepMs);
    }
}

}  // namespace

PlayerRecord read_player(std::string_view path, int32_t record) {
    RecordFile file(kPlayerRecordSize);
    file.open(path);
    PlayerRecord player;
    read_at(file, record, player);
    file.close();
    return player;
}

void write_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    RecordFile file(kPlayerRecordSize);
    file.open(path);
    write_at(file, record, player);
    file.close();
}

std::vector<PlayerRecord> kelvane_load_players(std::string_view path) {
    common::FileLock lock(path, true);
    RecordFile file(kPlayerRecordSize);
    open_retried(file, path);
    std::vector<PlayerRecord> players;
    // Whole records only: a cut-off last record ends the table like the end
    // of the file does.
    int64_t present = file.record_count();
    while (static_cast<int64_t>(players.size()) < present && players.size() < kMaxPlayers) {
        PlayerRecord player;
        file.read(player.bytes);
        players.push_back(player);
    }
    file.close();
    return players;
}

void kelvane_write_other_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    common::FileLock lock(path, true);
    RecordFile file(kPlayerRecordSize);
    open_retried(file, path);
    write_at(file, record, player);
    file.close();
}

void kelvane_write_caller(std::string_view path, int32_t record, const PlayerRecord& player) {
    RecordFile file(kPlayerRecordSize);
    open_retried(file, path);
    write_at(file, record, player);
    file.close();
}

PlayerRecord orvtime_read_player(std::string_view path, int32_t record) {
    common::FileLock lock(path, true);
    return read_player(path, record);
}

void orvtime_write_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    common::FileLock lock(path, true);
    write_player(path, record, player);
}

bool grumbold_read_player(std::string_view path, int32_t record, PlayerRecord& player) {
    if (record > kGrumboldRecordLimit) return false;
    RecordFile file(kPlayerRecordSize);
    grumbold_open(file, path, Share::deny_none);
    read_at(file, record, player);
    file.close();
    return true;
}

bool grumbold_write_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    if (record > kGrumboldRecordLimit) return false;
    RecordFile file(kPlayerRecordSize);
    grumbold_open(file, path, Share::deny_write);
    write_at(file, record, player);
    file.close();
    return true;
}

bool lottery_read_player(std::string_view path, int32_t record, PlayerRecord& player) {
    RecordFile file(kPlayerRecordSize);
    if (lottery_open(file, path, Share::exclusive) != 0) return false;
    PlayerRecord read;
    read_at(file, record, read);
    file.close();
    player = read;
    return true;
}

void lottery_write_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    RecordFile file(kPlayerRecordSize);
    if (int code = lottery_open(file, path, Share::deny_write)) plat::run_error(code);
    write_at(file, record, player);
    file.close();
}

PlayerRecord runelot_read_player(std::string_view path, int32_t record) {
    return read_player(path, record);
}

void runelot_write_player(std::string_view path, int32_t record, const PlayerRecord& player) {
    write_player(path, record, player);
}

}  // namespace host
