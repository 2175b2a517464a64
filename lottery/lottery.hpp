// lottery: a ticket booth for three daily number games, and the nightly
// draw that pays the winners through the host's mail.
//
// A caller's visit: start-up and the day's turn-away list, the title, the
// clerk at the counter who takes 100 gold, the game menu, the number entry
// that appends the ticket to the game's ticket file, and the farewell.
// "/M" runs the draw instead (draw.hpp); "/?" shows the usage screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/player_record.hpp"
#include "lottery/tickets.hpp"
#include "platform/clock.hpp"

namespace lottery {

// Files beside the program (program_dir) and in the host's directory.
inline constexpr char kConfigFile[] = "lottery.CFG";
inline constexpr char kMaintFile[] = "MAINT.DAT";
inline constexpr char kUsersFile[] = "USERS.DAT";
inline constexpr char kPlayerFile[] = "PLAYER.DAT";

inline constexpr int32_t kTicketPrice = 100;

// The caller's visit: where the files are, who the caller is, and what the
// booth has chosen for this visit.
struct Lottery {
    std::string program_dir;  // the program's directory, with a final separator
    std::string host_dir;     // the host's directory: PLAYER.DAT and the mail files
    int32_t record = 0;       // the caller's record number in the player file
    host::PlayerRecord player;  // all zero until (and unless) the read succeeds
    int32_t price = kTicketPrice;
    std::string price_text = "100";
    std::string clerk;
};

// The program: a caller's visit, the draw ("/m" or "/M") or the usage
// screen ("/?"). Every path ends the program through plat::halt.
int lottery_main(int argc, char** argv);

// ---- configuration and the day's files (config.cpp, daily_reset.cpp) ----

// host_dir from line 1 of program_dir + lottery.CFG; program_dir when the
// file cannot be opened. A directory without a final separator gets one.
std::string LoadConfig(const std::string& program_dir);

// The date as MAINT.DAT keeps it: year, month and day, the last two as two
// digits (5 January 2024 is "20240105").
std::string DateText(const plat::LocalDate& date);

// The first visit on a new date empties the turn-away list (USERS.DAT) and
// records the date in MAINT.DAT.
void DailyReset(const std::string& program_dir, const plat::LocalDate& today);

// True when USERS.DAT lists the record number (a line that is not a whole
// number counts as -1). A missing or unreadable list turns nobody away.
bool TurnedAway(const std::string& program_dir, int32_t record);

// Adds the record number to USERS.DAT, so the caller is turned away for the
// rest of the day.
void RecordVisitor(const std::string& program_dir, int32_t record);

// Appends text to a file in one write, creating the file empty first when
// it is missing (never truncating what another node wrote a moment ago).
// When the file is moved away or deleted between the creation and the open
// (the draw, the daily reset), it is created and opened again; other
// failures are run-time errors.
void AppendCreating(const std::string& path, std::string_view text);

// ---- screens -------------------------------------------------------------

// Text with the lottery's back-tick colour codes (and "`c", which clears
// the screen and writes two line ends); SayLine adds a line end.
void Say(std::string_view text);
void SayLine(std::string_view text = {});

// The local-login hook: this module only runs for a caller.
[[noreturn]] void RefuseLocalMode();
// "Orvald's cave looks darker ..." and the end of the visit.
[[noreturn]] void TurnAwayScreen();
// The usage screen on the local console, then the end of the program.
[[noreturn]] void ShowUsage();
void TitleScreen();

// The counter: the clerk offers a ticket for the price.
[[noreturn]] void TicketBooth(Lottery& lot);
// The game menu, reached after paying.
[[noreturn]] void TicketMenu(Lottery& lot);
// The number entry of one game: the ticket is stored when its last number
// is accepted, then the thank-you screen and the farewell.
[[noreturn]] void EnterNumbers(Lottery& lot, const Game& game);
// The last screen of every visit (and of the draw), then the program ends.
[[noreturn]] void Farewell();

}  // namespace lottery
