// The host's part a caller sees: pick a character, then a module from the
// game's module list; the module runs, and the caller is back at the list
// with the way it ended shown. The same screens serve the local terminal
// (play) and telnet callers (serve); they are drawn as CP437 text with ANSI
// colours through a sink.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/player_record.hpp"

namespace sandbox {

// One entry of 3rdparty.dat: the command line ("*" stands for the node)
// and the title with back-tick colour codes.
struct RegistryEntry {
    std::string command;
    std::string title;
};

// The game's module list; empty when it has none. A last command line
// without a title gets an empty title.
std::vector<RegistryEntry> read_registry(const std::string& game_dir);

// The game's player records in record order (a trailing partial record is
// not one); empty when there is no player file.
std::vector<host::PlayerRecord> read_players(const std::string& game_dir);

// A text with the game's back-tick colour codes as ANSI: "`1".."`9" are
// colours 1-9, "`0" 10, "`!" 11, "`@" 12, "`#" 13, "`$" 14, "`%" 15; a
// back-tick with any other character shows nothing. The colour is reset
// to grey at the end.
std::string render_codes(std::string_view text);
// The same text without its codes.
std::string strip_codes(std::string_view text);

// The caller's picks.
struct Choice {
    int32_t record = -1;
    host::PlayerRecord player;
    RegistryEntry entry;
};

class Lobby {
public:
    using Sink = std::function<void(std::string_view cp437)>;
    enum class Event { none, launch, quit };

    Lobby(std::string game_dir, int node, Sink out);

    // Shows the character list.
    void start();
    // Takes the caller's keys (CP437, telnet already removed). Returns
    // launch when a module was picked (see choice()), quit when the caller
    // leaves; keys after the one that decided are kept (take_leftover()).
    Event feed(std::string_view keys);
    std::string take_leftover();
    const Choice& choice() const { return choice_; }
    int node() const { return node_; }

    // Back from a module: shows the module list with how it ended (and
    // what the program wrote on its own output, if anything).
    void returned(std::string_view result, std::string_view program_output = {});

private:
    enum class Screen { players, modules };
    void show_players(std::string_view note = {});
    void show_modules(std::string_view note = {}, std::string_view output = {});
    void prompt();
    Event submit();
    void write(std::string_view text) { out_(text); }

    std::string game_dir_;
    int node_;
    Sink out_;
    Screen screen_ = Screen::players;
    std::vector<int32_t> listed_records_;  // record of each listed character
    std::vector<RegistryEntry> entries_;
    Choice choice_;
    std::string line_;
    std::string leftover_;
    bool after_cr_ = false;
};

}  // namespace sandbox
