#include <array>

#include "host/player_file.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "lottery/draw.hpp"
#include "lottery/lottery.hpp"
#include "platform/clock.hpp"
#include "platform/halt.hpp"
#include "platform/random.hpp"

namespace lottery {

namespace {

constexpr std::array<const char*, 5> kClerks{"Pell", "Wistan", "Marga", "Deyn", "Obric"};

// The caller's record; when the player file stays locked for the whole
// retry time the record stays all zero, and the caller cannot pay.
void ReadCaller(Lottery& lot) {
    host::lottery_read_player(lot.host_dir + kPlayerFile, lot.record, lot.player);
}

}  // namespace

int lottery_main(int argc, char** argv) {
    // The random generator seeds itself from the tick count on first use.
    kit::door_init(argc, argv);
    Lottery lot;
    lot.program_dir = kit::door_program_dir();
    lot.host_dir = LoadConfig(lot.program_dir);
    const std::vector<std::string>& args = kit::door_args();
    std::string first = args.size() > 1 ? args[1] : std::string();
    if (first == "/m" || first == "/M") MaintenanceRun(DrawRun{lot.program_dir, lot.host_dir});

    kit::door_hooks().on_local_login = RefuseLocalMode;
    kit::door_start();
    lot.record = kit::door_session().user_record;

    DailyReset(lot.program_dir, plat::local_date());
    if (TurnedAway(lot.program_dir, lot.record)) TurnAwayScreen();
    if (first == "/?") ShowUsage();

    ReadCaller(lot);
    kit::door_clear_screen();
    kit::door_newline();
    kit::door_clear_screen();
    TitleScreen();

    lot.clerk = kClerks[static_cast<size_t>(plat::random(static_cast<int32_t>(kClerks.size())))];
    TicketBooth(lot);
}

}  // namespace lottery
