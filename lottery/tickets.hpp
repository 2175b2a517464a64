// The three games and their ticket files.
//
// A ticket file holds the tickets in the order they were bought: the
// buyer's record number on one line, then each chosen number on its own
// line, in decimal, lines ended by CR LF. The first number may be the house
// number 5837, which wins every draw.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lottery {

inline constexpr int32_t kHouseNumber = 5837;

struct Game {
    int number;               // 1, 2, 3: "lottery #<number>" on the console
    const char* ticket_file;  // in program_dir
    const char* aside_file;   // the draw's copy while it checks the tickets
    int count;                // numbers per ticket
    int32_t high;             // numbers run from 1 to high
};

inline constexpr Game kPick1{1, "lottery1.dat", "lottery1.drw", 1, 10};
inline constexpr Game kPick3{2, "lottery2.dat", "lottery2.drw", 3, 10};
inline constexpr Game kPick6{3, "lottery3.dat", "lottery3.drw", 6, 20};
inline constexpr std::array<Game, 3> kGames{kPick1, kPick3, kPick6};

struct Ticket {
    int32_t record = 0;
    std::vector<int32_t> numbers;
    bool operator==(const Ticket&) const = default;
};

// True when the entered number may stand at this place of a ticket: 1 to
// the game's high number, or the house number as the first number.
bool NumberAccepted(const Game& game, size_t place, int32_t number);

// The ticket's lines as they are appended to the ticket file.
std::string TicketText(int32_t record, std::span<const int32_t> numbers);

// Appends a ticket to program_dir + the game's ticket file (AppendCreating).
void StoreTicket(const std::string& program_dir, const Game& game, int32_t record,
                 std::span<const int32_t> numbers);

// Reads the tickets of a ticket file's contents. Every ticket is a record
// line (a whole number of at most 80 characters) and the game's count of
// number lines. A line that is not a whole number, or a ticket cut short by
// the end of the text, is run-time error 106; empty lines at the very end
// are no ticket.
std::vector<Ticket> ParseTickets(std::string_view text, const Game& game);

}  // namespace lottery
