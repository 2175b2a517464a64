// The nightly draw ("/M"): draws the winning numbers of the three games,
// checks every stored ticket and mails each winner a prize the host pays
// into the winner's bank.
//
// Progress lines go to the console (the local screen, and standard output
// when that is not the terminal, for the nightly batch's log); the closing
// screen is the booth's farewell on the local screen.
//
// No ticket is lost to the draw: each ticket file is first moved aside in
// one rename, and recreated empty (only if it existed), so a caller buying
// meanwhile starts a fresh file for the next draw. The moved file is removed
// only after every winner of its game has been mailed; a run that ends
// before that leaves it, and the next run checks it first.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "lottery/tickets.hpp"

namespace lottery {

struct WinningNumbers {
    int32_t pick1 = 0;
    std::array<int32_t, 3> pick3{};  // distinct
    std::array<int32_t, 6> pick6{};  // distinct
    std::span<const int32_t> of(const Game& game) const;
};

// Pick 1 from 1..10; Pick 3 three distinct numbers from 1..10; Pick 6 six
// distinct numbers from 1..20; each number drawn again until it differs
// from those before it.
WinningNumbers DrawNumbers();

// A ticket wins when every one of its numbers is among the winning ones
// (repeats included), or when its first number is the house number.
bool TicketWins(const Ticket& ticket, std::span<const int32_t> winning);

// How long after moving a ticket file aside the draw waits before it takes
// its last look at it, so an append that opened the file just before the
// move has landed and is carried over to the next draw.
inline constexpr int kSettleMs = 250;

// A progress line on the console.
void ConsoleLine(std::string_view text);

// One run of the draw: where the files are and where progress lines go.
struct DrawRun {
    std::string program_dir;  // the ticket files
    std::string host_dir;     // the winners' mail files
    std::function<void(std::string_view)> console = ConsoleLine;
};

// Checks one game: the tickets left by an earlier run first, then the
// tickets in its file. False when the game's ticket file is missing.
bool CheckGame(const DrawRun& run, const Game& game, std::span<const int32_t> winning);

// Moves what was appended to the moved-aside file after the first
// processed_size bytes back into the game's ticket file (the next draw's).
void CarryOverLateTickets(const std::string& aside_path, size_t processed_size, const std::string& ticket_path);

// The whole "/M" run; ends the program.
[[noreturn]] void MaintenanceRun(const DrawRun& run);

}  // namespace lottery
