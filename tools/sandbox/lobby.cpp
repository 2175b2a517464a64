#include "tools/sandbox/lobby.hpp"

#include <cctype>

#include "kit/door_output.hpp"
#include "host/player_file.hpp"
#include "host/registry.hpp"
#include "platform/files.hpp"

namespace sandbox {

namespace {

constexpr size_t kLineMax = 20;
constexpr const char* kReset = "\x1b[0m";

// PC colour numbers to ANSI colour digits.
constexpr char kAnsiDigit[8] = {'0', '4', '2', '6', '1', '5', '3', '7'};

std::string colour(int c) {
    std::string s = "\x1b[";
    s += c >= 8 ? "1;3" : "0;3";
    s += kAnsiDigit[c & 7];
    s += 'm';
    return s;
}

std::string pad(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string thousands(int64_t v) {
    std::string digits = std::to_string(v < 0 ? -v : v);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return v < 0 ? "-" + out : out;
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace

std::vector<RegistryEntry> read_registry(const std::string& game_dir) {
    std::vector<RegistryEntry> entries;
    std::string path = game_dir + host::kRegistryFile;
    if (!plat::file_exists(path)) return entries;
    std::vector<std::string> lines = plat::read_lines(path, 1024);
    for (size_t i = 0; i < lines.size(); i += 2) {
        if (trim(lines[i]).empty()) continue;
        entries.push_back({lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string()});
    }
    return entries;
}

std::vector<host::PlayerRecord> read_players(const std::string& game_dir) {
    std::vector<host::PlayerRecord> players;
    std::optional<std::string> bytes = plat::read_file(game_dir + host::kPlayerFile);
    if (!bytes) return players;
    for (size_t at = 0; at + host::kPlayerRecordSize <= bytes->size(); at += host::kPlayerRecordSize) {
        host::PlayerRecord p;
        for (size_t i = 0; i < host::kPlayerRecordSize; ++i) p.bytes[i] = static_cast<uint8_t>((*bytes)[at + i]);
        players.push_back(p);
    }
    return players;
}

std::string render_codes(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '`') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size()) break;
        if (std::optional<int> c = kit::backtick_foreground(text[i + 1])) out += colour(*c);
        ++i;
    }
    out += kReset;
    return out;
}

std::string strip_codes(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '`')
            ++i;
        else
            out += text[i];
    }
    return out;
}

Lobby::Lobby(std::string game_dir, int node, Sink out)
    : game_dir_(std::move(game_dir)), node_(node), out_(std::move(out)) {}

void Lobby::start() { show_players(); }

void Lobby::prompt() {
    line_.clear();
    write("\r\n" + colour(2) + "  Your choice: " + colour(15));
}

void Lobby::show_players(std::string_view note) {
    screen_ = Screen::players;
    listed_records_.clear();
    std::string s = "\x1b[2J\x1b[1;1H";
    s += colour(10) + "  Drakmoor sandbox" + colour(2) + "  -  node " + std::to_string(node_) + "\r\n";
    s += colour(2) + "  -=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-\r\n\r\n";
    s += colour(15) + "  Who plays?\r\n\r\n";
    std::vector<host::PlayerRecord> players = read_players(game_dir_);
    for (size_t r = 0; r < players.size(); ++r) {
        const host::PlayerRecord& p = players[r];
        if (p.is_empty_slot()) continue;
        listed_records_.push_back(static_cast<int32_t>(r));
        std::string n = std::to_string(listed_records_.size());
        s += colour(14) + "  " + pad(n, 3) + colour(10) + pad(p.name(), 22) + colour(2) + "level " +
             pad(std::to_string(p.level()), 4) + "gold " + pad(thousands(p.gold()), 14) +
             (p.sex() == host::kSexFemale ? "female" : "male  ");
        if (p.dead() != 0) s += colour(12) + "  dead";
        s += "\r\n";
    }
    if (listed_records_.empty()) s += colour(12) + "  The game has no players (player.dat).\r\n";
    s += "\r\n" + colour(14) + "  Q  " + colour(2) + "Quit\r\n";
    if (!note.empty()) s += "\r\n" + colour(12) + "  " + std::string(note) + "\r\n";
    write(s);
    prompt();
}

void Lobby::show_modules(std::string_view note, std::string_view output) {
    screen_ = Screen::modules;
    entries_ = read_registry(game_dir_);
    std::string s = "\x1b[2J\x1b[1;1H";
    s += colour(10) + "  Drakmoor sandbox" + colour(2) + "  -  node " + std::to_string(node_) + "  -  " +
         colour(15) + choice_.player.name() + "\r\n";
    s += colour(2) + "  -=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-\r\n\r\n";
    s += colour(15) + "  Other places:\r\n\r\n";
    for (size_t i = 0; i < entries_.size(); ++i)
        s += colour(14) + "  " + pad(std::to_string(i + 1), 3) + render_codes(entries_[i].title) + "\r\n";
    if (entries_.empty()) s += colour(12) + "  The game has no module list (3rdparty.dat).\r\n";
    s += "\r\n" + colour(14) + "  P  " + colour(2) + "Pick another character\r\n";
    s += colour(14) + "  Q  " + colour(2) + "Quit\r\n";
    if (!note.empty()) s += "\r\n" + colour(11) + "  " + std::string(note) + "\r\n";
    if (!output.empty()) {
        s += colour(7);
        for (char c : output) s += c == '\n' ? std::string("\r\n") : std::string(1, c);
        if (output.back() != '\n') s += "\r\n";
    }
    write(s);
    prompt();
}

void Lobby::returned(std::string_view result, std::string_view program_output) {
    write(std::string(kReset) + "\r\n");
    show_modules(result, program_output);
}

Lobby::Event Lobby::submit() {
    std::string answer = trim(line_);
    for (char& c : answer) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    write("\r\n");
    if (answer == "Q") return Event::quit;
    if (answer.empty()) {
        prompt();
        return Event::none;
    }
    size_t n = 0;
    bool number = answer.size() <= 3 && answer.find_first_not_of("0123456789") == std::string::npos;
    if (number) n = std::stoul(answer);
    if (screen_ == Screen::players) {
        if (!number || n < 1 || n > listed_records_.size()) {
            show_players("No such character: " + answer);
            return Event::none;
        }
        choice_.record = listed_records_[n - 1];
        std::vector<host::PlayerRecord> players = read_players(game_dir_);
        if (static_cast<size_t>(choice_.record) >= players.size()) {
            show_players("That character is gone.");
            return Event::none;
        }
        choice_.player = players[static_cast<size_t>(choice_.record)];
        show_modules();
        return Event::none;
    }
    if (answer == "P") {
        show_players();
        return Event::none;
    }
    if (!number || n < 1 || n > entries_.size()) {
        show_modules("No such place: " + answer);
        return Event::none;
    }
    // The record may have changed while the caller looked at the list.
    std::vector<host::PlayerRecord> players = read_players(game_dir_);
    if (static_cast<size_t>(choice_.record) < players.size())
        choice_.player = players[static_cast<size_t>(choice_.record)];
    choice_.entry = entries_[n - 1];
    return Event::launch;
}

Lobby::Event Lobby::feed(std::string_view keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        char c = keys[i];
        bool was_cr = after_cr_;
        after_cr_ = c == '\r';
        Event e = Event::none;
        if (c == '\r' || (c == '\n' && !was_cr)) {
            e = submit();
        } else if (c == '\b' || c == 127) {
            if (!line_.empty()) {
                line_.pop_back();
                write("\b \b");
            }
        } else if (static_cast<unsigned char>(c) >= 32 && line_.size() < kLineMax) {
            line_ += c;
            write(std::string_view(&c, 1));
        }
        if (e != Event::none) {
            size_t rest = i + 1;
            // The line end of a client that sends CR LF or CR NUL.
            if (c == '\r' && rest < keys.size() && (keys[rest] == '\n' || keys[rest] == '\0')) ++rest;
            leftover_ = std::string(keys.substr(rest));
            return e;
        }
    }
    return Event::none;
}

std::string Lobby::take_leftover() {
    std::string out;
    out.swap(leftover_);
    return out;
}

}  // namespace sandbox
