// The kit's one object per process: the session, the hooks, the local
// console, the channel and the keyboard. Internal to the kit; programs use
// the door_* functions.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/ansi_interpreter.hpp"
#include "kit/comm_channel.hpp"
#include "kit/door_session.hpp"
#include "kit/local_keyboard.hpp"
#include "kit/screen_model.hpp"
#include "kit/terminal_mirror.hpp"

namespace kit {

// What the process runs on: decided once, kept across door_init calls, and
// replaced wholesale by tests.
struct KitEnvironment {
    bool terminal_out = false;  // standard output is the local terminal
    std::unique_ptr<LocalKeyboard> keyboard;  // nullptr: no local keyboard
    // Creates the channel for a comm type; tests put an in-memory channel here.
    std::function<std::unique_ptr<CommChannel>(int comm_type)> channel_factory;
    // The "-S" channel on standard input and output.
    std::function<std::unique_ptr<CommChannel>()> stdio_factory;
    // Step of comm type 3 after the channel opened (the server's user data).
    std::function<bool(DoorSession&)> native_login;
};

struct Kit {
    KitEnvironment env;

    DoorSession session;
    DoorHooks hooks;
    Flavour flavour = Flavour::standard;
    std::vector<std::string> args;
    std::string program_name_setting = "Vestra";
    std::string program_name = "Vestra v3.08.30";
    bool crlf_filter = true;
    bool stdio_caller = false;            // the -S switch
    std::optional<uint8_t> held_remote;   // a caller byte kept for the next read
    std::unique_ptr<CommChannel> channel; // set while the session is remote
    bool started = false;
    int unanswered_keys = 0;              // keys asked for with nobody to type

    ScreenModel screen;
    AnsiInterpreter interpreter;
    TerminalMirror mirror;
    bool mirror_on = false;
};

// The process's kit (created on first use with the real environment).
Kit& the_kit();
// Replaces the environment (tests); the session is reset by door_init.
void set_kit_environment(KitEnvironment env);
// The real environment of this process: terminal keyboard and mirror when
// standard input/output are terminals, the real channels.
KitEnvironment real_environment();

// Shows output on the local console (and the terminal mirror).
void local_show(std::string_view bytes);
// Redraws the mirror after direct changes to the screen model.
void refresh_mirror();
// True when a channel carries the session to a remote caller.
bool session_remote();
// Ends a start-up that failed: message on the local screen (and one line on
// standard error when there is no terminal), pause, exit code 0.
[[noreturn]] void start_failure(const char* message);

}  // namespace kit
