#include "lottery/tickets.hpp"

#include "lottery/lottery.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"

namespace lottery {

namespace {

// The record line keeps at most this many characters.
constexpr size_t kRecordTextMax = 80;

// Splits text into lines (CR LF, LF or a lone CR end a line).
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A whole number on a ticket line, or run-time error 106.
int32_t number_line(std::string_view line) {
    plat::ValResult v = plat::val(trim_blanks(line));
    if (!v.ok) plat::run_error(plat::rte::bad_numeric_format);
    return v.value;
}

// The buyer's record number: it names the winner's mail file, so only a
// plain decimal number of zero or more is taken.
int32_t record_line(std::string_view line) {
    std::string_view text = trim_blanks(line.substr(0, std::min(line.size(), kRecordTextMax)));
    if (text.empty()) plat::run_error(plat::rte::bad_numeric_format);
    for (char c : text)
        if (c < '0' || c > '9') plat::run_error(plat::rte::bad_numeric_format);
    return number_line(text);
}

}  // namespace

bool NumberAccepted(const Game& game, size_t place, int32_t number) {
    if (place == 0 && number == kHouseNumber) return true;
    return number >= 1 && number <= game.high;
}

std::string TicketText(int32_t record, std::span<const int32_t> numbers) {
    std::string text = std::to_string(record) + "\r\n";
    for (int32_t n : numbers) text += std::to_string(n) + "\r\n";
    return text;
}

void StoreTicket(const std::string& program_dir, const Game& game, int32_t record,
                 std::span<const int32_t> numbers) {
    AppendCreating(program_dir + game.ticket_file, TicketText(record, numbers));
}

std::vector<Ticket> ParseTickets(std::string_view text, const Game& game) {
    std::vector<std::string_view> lines = split_lines(text);
    while (!lines.empty() && trim_blanks(lines.back()).empty()) lines.pop_back();
    std::vector<Ticket> tickets;
    size_t at = 0;
    while (at < lines.size()) {
        Ticket t;
        t.record = record_line(lines[at++]);
        for (int i = 0; i < game.count; ++i) {
            if (at >= lines.size()) plat::run_error(plat::rte::bad_numeric_format);
            t.numbers.push_back(number_line(lines[at++]));
        }
        tickets.push_back(std::move(t));
    }
    return tickets;
}

}  // namespace lottery
