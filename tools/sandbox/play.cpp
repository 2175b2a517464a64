// sandbox play: the local terminal as the caller.
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/fd_io.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"
#include "platform/socket.hpp"
#include "platform/terminal.hpp"
#include "tools/sandbox/hosting.hpp"
#include "tools/sandbox/launcher.hpp"
#include "tools/sandbox/lobby.hpp"
#include "tools/sandbox/telnet.hpp"
#include "tools/sandbox/terminal_text.hpp"

namespace sandbox {

namespace {

constexpr size_t kOutputKept = 2000;
constexpr int kHangupGraceMs = 5000;

void to_terminal(std::string_view cp437) { plat::write_stdout(cp437_for_terminal(cp437)); }

struct Visit {
    std::string result;   // how it ended, for the lobby
    std::string output;   // the end of what the program wrote on its own output
    bool hangup = false;  // Ctrl-C or the terminal closed: the sandbox ends
};

// Reads what the program sent: telnet removed (and answered), the rest
// drawn on the terminal. False once the program's end of the socket closed.
bool pass_to_terminal(int fd, TelnetPeer& telnet) {
    uint8_t buf[4096];
    plat::IoResult r = plat::read_fd(fd, buf, sizeof buf);
    if (r.would_block()) return true;
    if (r.failed() || r.count == 0) return false;
    std::string answers;
    std::string data = telnet.feed(std::string_view(reinterpret_cast<char*>(buf), static_cast<size_t>(r.count)), answers);
    if (!answers.empty()) send_all(fd, answers);
    to_terminal(data);
    return true;
}

void keep_output(int fd, bool& open, std::string& kept) {
    char buf[1024];
    plat::IoResult r = plat::read_fd(fd, reinterpret_cast<uint8_t*>(buf), sizeof buf);
    if (r.would_block()) return;
    if (r.failed() || r.count == 0) {
        open = false;
        return;
    }
    kept.append(buf, static_cast<size_t>(r.count));
    if (kept.size() > kOutputKept) kept.erase(0, kept.size() - kOutputKept);
}

// Runs the picked module with the terminal as its caller, until it ends
// or Ctrl-C.
Visit run_module(const std::string& game_dir, Lobby& lobby, KeyDecoder& keys) {
    Visit visit;
    const Choice& choice = lobby.choice();
    int mine = -1, theirs = -1, out_r = -1, out_w = -1;
    if (!plat::socket_pair(mine, theirs)) {
        visit.result = "No socket pair for the caller's connection.";
        return visit;
    }
    if (!plat::make_pipe(out_r, out_w)) {
        plat::close_fd(mine);
        plat::close_fd(theirs);
        visit.result = "No pipe for the program's output.";
        return visit;
    }
    std::string error;
    int pid = start_module(game_dir, lobby.node(), choice, theirs, out_w, error);
    plat::close_fd(theirs);
    plat::close_fd(out_w);
    if (pid < 0) {
        plat::close_fd(mine);
        plat::close_fd(out_r);
        visit.result = error;
        return visit;
    }

    TelnetPeer telnet = TelnetPeer::client();
    std::string typed_ahead = lobby.take_leftover();
    if (!typed_ahead.empty()) send_all(mine, TelnetPeer::escape(typed_ahead));
    bool socket_open = true;
    bool output_open = true;
    std::optional<plat::ChildExit> end;
    while (!end) {
        plat::WaitItem items[4] = {{0, plat::io::in, 0},
                                   {socket_open ? mine : -1, plat::io::in, 0},
                                   {output_open ? out_r : -1, plat::io::in, 0},
                                   {plat::hangup_fd(), plat::io::in, 0}};
        plat::wait_io(items, 100);
        // Ctrl-C, or the terminal itself went away: the caller hangs up.
        if (plat::hangup_requested() || (items[0].got & (plat::io::hangup | plat::io::error)) != 0) {
            visit.hangup = true;
            break;
        }
        if (items[0].got != 0) {
            std::string k = keys.feed(plat::read_stdin_available());
            if (socket_open && !k.empty()) send_all(mine, TelnetPeer::escape(k));
        }
        if (items[1].got != 0) socket_open = pass_to_terminal(mine, telnet);
        if (items[2].got != 0) keep_output(out_r, output_open, visit.output);
        end = plat::poll_child(pid);
    }

    if (visit.hangup) {
        // The caller's connection drops: the program notices the lost
        // carrier and saves through its exit path. It gets a few seconds.
        plat::shutdown_and_close(mine);
        for (int waited = 0; waited < kHangupGraceMs && !end; waited += 50) {
            plat::sleep_ms(50);
            end = plat::poll_child(pid);
        }
        if (!end) {
            plat::kill_child(pid);
            end = plat::wait_child(pid);
        }
    } else {
        while (socket_open && plat::readable_now(mine)) socket_open = pass_to_terminal(mine, telnet);
        plat::close_fd(mine);
    }
    while (output_open && plat::readable_now(out_r)) keep_output(out_r, output_open, visit.output);
    plat::close_fd(out_r);
    visit.result = describe_end(choice.entry.title, *end);
    return visit;
}

}  // namespace

bool check_game(const std::string& game_dir, std::string& message) {
    if (plat::file_exists(game_dir + "3rdparty.dat") || plat::file_exists(game_dir + "player.dat")) return true;
    message = game_dir + " holds no game; make one with: sandbox init " + game_dir;
    return false;
}

int play(const std::string& game_dir) {
    plat::ensure_standard_descriptors();
    std::string message;
    if (!check_game(game_dir, message)) {
        plat::write_stderr_line(message);
        return 1;
    }
    if (!plat::stdin_is_terminal() || !plat::stdout_is_terminal()) {
        plat::write_stderr_line("sandbox play needs a terminal; sandbox serve takes telnet callers.");
        return 1;
    }
    plat::install_hangup_signals();
    plat::enter_raw_mode();

    KeyDecoder keys;
    Lobby lobby(game_dir, 1, to_terminal);
    lobby.start();
    for (;;) {
        plat::WaitItem items[2] = {{0, plat::io::in, 0}, {plat::hangup_fd(), plat::io::in, 0}};
        plat::wait_io(items, -1);
        if (plat::hangup_requested()) break;
        if ((items[0].got & (plat::io::hangup | plat::io::error)) != 0) break;  // the terminal went away
        Lobby::Event e = lobby.feed(keys.feed(plat::read_stdin_available()));
        if (e == Lobby::Event::quit) break;
        if (e == Lobby::Event::launch) {
            Visit visit = run_module(game_dir, lobby, keys);
            if (visit.hangup) break;
            lobby.returned(visit.result, visit.output);
        }
    }
    to_terminal("\x1b[0m\r\n");
    plat::restore_terminal();
    return 0;
}

}  // namespace sandbox
