#include "kit/door_session.hpp"

#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/drop_files.hpp"
#include "kit/kit_state.hpp"
#include "platform/clock.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/terminal.hpp"
#include "platform/val.hpp"

namespace kit {

namespace {

// What the command line asks for.
struct CommandLine {
    std::string drop_path;
    int32_t handle = -1;
    int32_t node = 0;
    bool local = false;
    bool telnet = false;
    bool winserver = false;
    bool stdio = false;
};

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

CommandLine scan_command_line(Kit& k) {
    CommandLine cl;
    for (size_t i = 1; i < k.args.size(); ++i) {
        const std::string& arg = k.args[i];
        if (upper(arg) == "/DEBUG") continue;
        if (arg.size() < 2 || (arg[0] != '-' && arg[0] != '/')) continue;
        char letter = upper(arg.substr(1, 1))[0];
        std::string value = arg.substr(2);
        switch (letter) {
            case 'D': cl.drop_path = value; break;
            case 'H': cl.handle = plat::val_or(value, -1); break;
            case 'L': cl.local = true; break;
            case 'N': cl.node = plat::val_or(value, 0); break;
            case 'T': cl.telnet = true; break;
            case 'W': cl.winserver = true; break;
            case 'S': cl.stdio = true; break;
            default:
                if (k.hooks.on_unknown_switch) k.hooks.on_unknown_switch(letter, value);
                break;
        }
    }
    return cl;
}

void read_drop_file(Kit& k, const std::string& path) {
    DoorSession& s = k.session;
    switch (drop_format_of(path)) {
        case DropFormat::door32_sys: read_door32_sys(path, s); break;
        case DropFormat::door_sys: read_door_sys(path, s); break;
        case DropFormat::dorinfo: read_dorinfo(path, s); break;
        case DropFormat::host_info: read_host_info(path, s, k.flavour != Flavour::grumbold); break;
        case DropFormat::none: start_failure("  Drop File Not Found");
    }
}

// Fills the session from the command line and the drop file.
void choose_session_source(Kit& k, const CommandLine& cl) {
    DoorSession& s = k.session;
    if (cl.local) {
        s.time_allowed = 3600;
        s.node = cl.node;
        if (k.hooks.on_local_login) k.hooks.on_local_login();
    } else if (cl.winserver) {
        s.comm_handle = 1;
        s.comm_type = 3;
    } else if (cl.handle >= 0 && cl.node >= 1) {
        s.comm_handle = cl.handle;
        s.node = cl.node;
        s.comm_type = cl.telnet ? 2 : 1;
        // No drop file tells the caller's time: an hour, as a local session.
        s.time_allowed = 3600;
    } else if (!cl.drop_path.empty()) {
        read_drop_file(k, cl.drop_path);
    } else if (k.hooks.on_no_drop_file) {
        k.hooks.on_no_drop_file();
    }
}

void bind_workers(CommChannel& channel) {
    channel.set_worker_procs([](CommChannel& c) { c.run_reader(); }, [](CommChannel& c) { c.run_writer(); });
}

// Opens the caller's channel; false when there is no caller to talk to.
bool open_channel(Kit& k) {
    DoorSession& s = k.session;
    if (k.stdio_caller) {
        if (!k.env.stdio_factory) return false;
        k.channel = k.env.stdio_factory();
        if (!k.channel) return false;
        bind_workers(*k.channel);
        return k.channel->open_handle(0) && k.channel->carrier();
    }
    if (s.comm_handle == 0 || s.comm_type == 0) return true;  // a local session
    if (s.comm_type > 3 || !k.env.channel_factory) return false;
    k.channel = k.env.channel_factory(s.comm_type);
    if (!k.channel) return false;
    bind_workers(*k.channel);
    if (!k.channel->open_handle(s.comm_handle) || !k.channel->carrier()) return false;
    if (s.comm_type == 3 && !(k.env.native_login && k.env.native_login(s))) return false;
    return true;
}

void start_timers(DoorSession& s) {
    s.last_key_time = plat::seconds_since_midnight();
    s.timers_running = true;
    s.last_tick_ms = plat::ms_since_midnight() - 500;
    s.start_time = plat::seconds_since_midnight();
}

// The kit's exit hook: runs on every program end.
void kit_exit_hook() {
    Kit& k = the_kit();
    local_write_line("");
    local_write_line("");
    local_write_line("");
    door_set_attr(7);
    if (k.channel) {
        // Let what the caller has not received yet go out before the channel
        // goes (the caller's last screen), but never wait long for it.
        for (int i = 0; i < 200 && k.channel->carrier(); ++i) {
            int in_free = 0, out_free = 0, in_used = 0, out_used = 0;
            k.channel->buffer_status(in_free, out_free, in_used, out_used);
            if (out_used == 0) break;
            plat::sleep_ms(10);
        }
        k.channel.reset();
    }
    k.session.timers_running = false;
    if (k.mirror_on) {
        k.mirror.finish();
        k.mirror_on = false;
    }
    plat::restore_terminal();
}

std::string program_file_name(const Kit& k) {
    return k.args.empty() ? std::string() : plat::base_name(k.args[0]);
}

}  // namespace

void door_usage_screen() {
    Kit& k = the_kit();
    std::string prog = program_file_name(k);
    local_clear_screen();
    for (const std::string& line : {
             std::string(), std::string(" USAGE:"), std::string(), " " + prog + " <PARAMETERS>", std::string(),
             std::string("  -D         PATH\\FILENAME OF DROPFILE"),
             std::string("  -H         COM PORT (OR SOCKET HANDLE IF -T USED)"),
             std::string("  -L         LOCAL MODE"), std::string("  -N         NODE NUMBER"),
             std::string("  -T         -H PARAMETER IS A SOCKET HANDLE"),
             std::string("  -W         WINSERVER DOOR32 MODE"),
             std::string("  -S         CALLER IS ON STDIN/STDOUT"), std::string(), std::string(" Examples:"),
             std::string(), " " + prog + " -L", std::string("  -  Run In Local Mode"),
             " " + prog + " -H1000 -N3 -T", std::string("  -  Open Socket Handle 1000 On Node #3"),
             " " + prog + " -DC:\\TELEHUB\\NODE1\\DOOR32.SYS", std::string("  -  Load Settings From DOOR32.SYS"),
             " " + prog + " -W", std::string("     Run As A WINServer Native Door")})
        local_write_line(line);
    if (!k.env.terminal_out)
        plat::write_stderr_line(prog + ": no drop file (-D) and no handle and node (-H, -N) given; -L runs locally");
    plat::halt(0);
}

void door_local_login() {
    Kit& k = the_kit();
    local_clear_screen();
    local_write_line("");
    local_write_line("  LOCAL LOGIN");
    local_write_line("");
    local_write("  Enter your name : ");
    std::string name = door_edit_field("SYSOP", "qwertyuiopasdfghjklzxcvbnmQWERTYUIOPASDFGHJKLZXCVBNM ", 0, 40, 40, 31);
    k.session.real_name = name;
    k.session.alias = name;
}

void door_init(std::vector<std::string> args, Flavour flavour) {
    Kit& k = the_kit();
    KitEnvironment env = std::move(k.env);
    set_kit_environment(std::move(env));
    Kit& fresh = the_kit();
    fresh.args = std::move(args);
    fresh.flavour = flavour;
    fresh.hooks.on_carrier_lost = door_carrier_lost;
    fresh.hooks.on_local_login = door_local_login;
    fresh.hooks.on_status_line = door_paint_status_line;
    fresh.hooks.on_idle_timeout = door_idle_timeout;
    fresh.hooks.on_time_expired = door_time_expired;
    fresh.hooks.on_no_drop_file = door_usage_screen;
    plat::install_hangup_signals();
    plat::push_exit_handler(kit_exit_hook);
}

void door_init(int argc, char** argv, Flavour flavour) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
    door_init(std::move(args), flavour);
}

void door_start() {
    Kit& k = the_kit();
    CommandLine cl = scan_command_line(k);
    k.stdio_caller = cl.stdio;
    if (cl.stdio) {
        // The caller is on standard input and output: no mirror there, and
        // no local keyboard.
        k.env.terminal_out = false;
        k.env.keyboard.reset();
    }
    if (k.env.terminal_out) {
        k.mirror_on = true;
        plat::enter_raw_mode();
        refresh_mirror();
    }
    choose_session_source(k, cl);
    if (!open_channel(k)) {
        k.channel.reset();
        start_failure("  No Carrier Detected");
    }
    start_timers(k.session);
    k.started = true;
    door_clear_screen();
    k.screen.set_window(1, 24);
}

void door_local_console() {
    Kit& k = the_kit();
    if (!k.env.terminal_out || k.mirror_on) return;
    k.mirror_on = true;
    plat::enter_raw_mode();
    refresh_mirror();
}

void door_set_program_name(std::string name) { the_kit().program_name_setting = std::move(name); }

void door_start_named() {
    door_start();
    Kit& k = the_kit();
    if (k.session.comm_handle == -1) k.session.time_allowed = 3600;
    k.program_name = k.program_name_setting;
}

std::string door_program_dir() {
    Kit& k = the_kit();
    std::string dir = k.args.empty() ? std::string() : plat::dir_part(k.args[0]);
    if (dir.empty()) dir = plat::program_dir();
    char last = dir.back();
    if (last != '/' && last != '\\') dir += '/';
    return dir;
}

DoorSession& door_session() { return the_kit().session; }
DoorHooks& door_hooks() { return the_kit().hooks; }
const std::string& door_program_name() { return the_kit().program_name; }
const std::vector<std::string>& door_args() { return the_kit().args; }

}  // namespace kit
