#include "lottery/draw.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include "host/mail.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "lottery/lottery.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/random.hpp"
#include "platform/terminal.hpp"

namespace lottery {

namespace {

struct Prize {
    const char* congratulation;  // first mail line
    int32_t amount;              // the bank line's gold
    const char* console_tail;    // after "Sending mail to player #" + record
    bool blank_line_first;       // an empty console line before the mail line
};

const Prize& prize_of(const Game& game) {
    static const Prize prizes[] = {
        {"`@Congrats!  `0You won  `$$10,000  `0gold in the Pick 1.", 10000, " for winning lottery #1.", true},
        {"`@Congrats!  `0You won  `$$100,000  `0gold in the Pick 3.", 100000, " for winning lottery #2.", false},
        {"`@Congrats!  `0You won  `$$10,000,000  `0gold in the Pick 6.", 10000000,
         " for winning the jackpot lottery #3!", false},
    };
    return prizes[game.number - 1];
}

// A number from 1..high that differs from every number in taken.
int32_t draw_distinct(int32_t high, std::span<const int32_t> taken) {
    for (;;) {
        int32_t n = plat::random(high) + 1;
        if (std::find(taken.begin(), taken.end(), n) == taken.end()) return n;
    }
}

std::string joined(std::span<const int32_t> numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(numbers[i]);
    }
    return text;
}

void MailWinner(const DrawRun& run, const Game& game, const Ticket& ticket) {
    const Prize& prize = prize_of(game);
    if (prize.blank_line_first) run.console("");
    run.console("Sending mail to player #" + std::to_string(ticket.record) + prize.console_tail);
    host::lottery_send_mail(host::mail_file_name(run.host_dir, ticket.record),
                            {prize.congratulation, "`0It has been added to your account."}, prize.amount);
}

// Checks and pays the tickets of a moved-aside file, then removes it. With
// moved_at set (the tick of the move), late appends are carried over to
// the game's ticket file first.
void PayTickets(const DrawRun& run, const Game& game, std::span<const int32_t> winning,
                const std::string& aside, const std::string& tickets, std::optional<uint64_t> moved_at) {
    std::optional<std::string> text = plat::read_file(aside);
    if (!text) plat::run_error(plat::rte::file_not_found);
    // Every line is read before the first mail goes out: a bad line ends
    // the run with the game's tickets kept and nobody paid twice.
    for (const Ticket& ticket : ParseTickets(*text, game))
        if (TicketWins(ticket, winning)) MailWinner(run, game, ticket);
    if (moved_at) {
        uint64_t waited = plat::clock().tick_ms() - *moved_at;
        if (waited < static_cast<uint64_t>(kSettleMs)) plat::sleep_ms(kSettleMs - static_cast<int>(waited));
        CarryOverLateTickets(aside, text->size(), tickets);
    }
    plat::delete_file(aside);
}

// Reports a run-time error on the console, so the nightly log tells why
// the run stopped.
void report_run_error(const DrawRun& run) {
    const plat::ExitState& state = plat::exit_state();
    if (state.runtime_error) run.console("Runtime error " + std::to_string(state.exit_code));
}

}  // namespace

std::span<const int32_t> WinningNumbers::of(const Game& game) const {
    switch (game.number) {
        case 1: return {&pick1, 1};
        case 2: return pick3;
        default: return pick6;
    }
}

WinningNumbers DrawNumbers() {
    WinningNumbers w;
    w.pick1 = plat::random(kPick1.high) + 1;
    for (size_t i = 0; i < w.pick3.size(); ++i)
        w.pick3[i] = draw_distinct(kPick3.high, std::span<const int32_t>(w.pick3.data(), i));
    for (size_t i = 0; i < w.pick6.size(); ++i)
        w.pick6[i] = draw_distinct(kPick6.high, std::span<const int32_t>(w.pick6.data(), i));
    return w;
}

bool TicketWins(const Ticket& ticket, std::span<const int32_t> winning) {
    if (!ticket.numbers.empty() && ticket.numbers.front() == kHouseNumber) return true;
    return std::all_of(ticket.numbers.begin(), ticket.numbers.end(), [&](int32_t n) {
        return std::find(winning.begin(), winning.end(), n) != winning.end();
    });
}

void ConsoleLine(std::string_view text) {
    kit::local_write_line(text);
    if (!plat::stdout_is_terminal()) plat::write_stdout(std::string(text) + "\n");
}

void CarryOverLateTickets(const std::string& aside_path, size_t processed_size, const std::string& ticket_path) {
    std::optional<std::string> now = plat::read_file(aside_path);
    if (!now || now->size() <= processed_size) return;
    AppendCreating(ticket_path, std::string_view(*now).substr(processed_size));
}

bool CheckGame(const DrawRun& run, const Game& game, std::span<const int32_t> winning) {
    run.console("");
    run.console("Checking for winners in lottery #" + std::to_string(game.number));
    std::string tickets = run.program_dir + game.ticket_file;
    std::string aside = run.program_dir + game.aside_file;
    // Tickets of a run that ended before it had paid them take part now.
    if (plat::file_exists(aside)) PayTickets(run, game, winning, aside, tickets, std::nullopt);
    if (!plat::file_exists(tickets)) return false;
    int moved = plat::try_rename_file(tickets, aside);
    if (moved == plat::rte::file_not_found) return false;
    if (moved != 0) plat::run_error(moved);
    uint64_t moved_at = plat::clock().tick_ms();
    // The file existed, so it exists afterwards; a caller may have started
    // the fresh one already.
    int created = plat::try_create_new(tickets);
    if (created != 0 && created != plat::rte::file_exists) plat::run_error(created);
    PayTickets(run, game, winning, aside, tickets, moved_at);
    return true;
}

void MaintenanceRun(const DrawRun& run) {
    plat::push_exit_handler([run] { report_run_error(run); });
    kit::door_local_console();
    kit::door_clear_screen();
    run.console("Picking winners numbers...");
    run.console("");
    run.console("");
    WinningNumbers w = DrawNumbers();
    run.console("Winning number for lottery #1: " + std::to_string(w.pick1));
    run.console("");
    run.console("Winning numbers for lottery #2: " + joined(w.pick3));
    run.console("");
    run.console("Winning numbers for lottery #3: " + joined(w.pick6));
    for (const Game& game : kGames) {
        bool checked = CheckGame(run, game, w.of(game));
        // Without the Pick 6 file the run ends here, without the closing screen.
        if (!checked && game.number == kPick6.number) plat::halt(0);
    }
    Farewell();
}

}  // namespace lottery
