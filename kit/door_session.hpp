// The door session: start-up from the command line and the drop file, the
// session record, the handler hooks and the exit hook.
//
// One session per process. Behind the door_* free functions is one Kit
// object that owns the session, hooks, console, channel and keyboard; tests
// build the kit with fakes (kit/testing/scripted_caller.hpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kit {

struct DoorSession {
    int32_t security_level = 0;
    std::string alias;
    bool clean_mode = false;
    int32_t comm_handle = 0;
    uint8_t comm_type = 0;  // 0 local, 1 serial, 2 telnet, 3 native door
    bool ansi = true;
    bool fairy = false;
    int32_t time_allowed = 0;  // seconds from start_time
    int32_t node = 0;
    std::string real_name;
    int32_t user_record = 0;  // caller's record in the player file, 0-based
    char last_key = 0;
    bool last_key_extended = false;
    uint8_t last_key_source = 0;  // 0 none, 1 local keyboard, 2 remote caller
    int32_t last_key_time = 0;    // seconds since midnight
    bool timers_running = false;
    int32_t last_tick_ms = 0;
    int32_t idle_limit = 300;
    int32_t start_time = 0;  // seconds since midnight
    uint8_t fg = 0;
    uint8_t bg = 0;
    uint8_t status_fg = 15;
    uint8_t status_bg = 1;
};

// Handler hooks; door_init installs the defaults.
struct DoorHooks {
    std::function<void(char letter, const std::string& value)> on_unknown_switch;
    std::function<void()> on_carrier_lost;
    std::function<void()> on_local_login;
    std::function<void()> on_status_line;
    std::function<bool(uint8_t scan_code)> on_local_extended_key;
    std::function<void()> on_idle_timeout;
    std::function<void(int minutes_left)> on_idle_warning;
    std::function<void()> on_time_expired;
    std::function<void(int minutes_left)> on_time_warning;
    std::function<void()> on_no_drop_file;
};

// Build differences between the programs that link the kit.
enum class Flavour {
    standard,  // runelot, lottery, kelvane, orvtime
    grumbold,  // info file without LOCAL; carrier-lost line; status colours untouched
};

// Sets every field and hook to its default, takes the command line
// (args[0] is the program as started) and chains the kit's exit hook in
// front of the program's exit chain. Must run before anything else of the kit.
void door_init(int argc, char** argv, Flavour flavour = Flavour::standard);
void door_init(std::vector<std::string> args, Flavour flavour = Flavour::standard);

// Reads the command line, fills the session from the drop file or the local
// login, opens the channel, starts the timers and clears the screen. Returns
// only when the session is usable; otherwise shows a message and halts(0).
void door_start();

// For a run without a session (a maintenance run, a setup dialogue): shows
// the local screen on the terminal and reads its keys in raw mode, as
// door_start does for a session. Does nothing when standard output is not a
// terminal; the exit hook puts the terminal back.
void door_local_console();

// The program's display name for the status line (default "Vestra"); set it
// before door_start_named.
void door_set_program_name(std::string name);
// door_start, then 3600 seconds when comm_handle is -1, then the program's
// display name on the status line.
void door_start_named();

// The directory of the program as started, ending in a separator.
std::string door_program_dir();

DoorSession& door_session();
DoorHooks& door_hooks();
// The text in the middle of the status line.
const std::string& door_program_name();
// The command line as given to door_init (args[0] is the program).
const std::vector<std::string>& door_args();

// The default handlers, for programs and tests that call them directly.
void door_usage_screen();
void door_local_login();

}  // namespace kit
