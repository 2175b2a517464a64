// sandbox serve: a telnet node server on the loopback address. One process
// holds every connection in a poll loop; a connection whose module runs is
// left to the module until the module ends.
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/fd_io.hpp"
#include "platform/process.hpp"
#include "platform/socket.hpp"
#include "platform/terminal.hpp"
#include "tools/sandbox/hosting.hpp"
#include "tools/sandbox/launcher.hpp"
#include "tools/sandbox/lobby.hpp"
#include "tools/sandbox/telnet.hpp"

namespace sandbox {

namespace {

constexpr int kShutdownGraceMs = 5000;

void log(const std::string& line) { plat::write_stdout("sandbox: " + line + "\n"); }

struct Connection {
    Connection(int socket, int node_number, const std::string& game_dir)
        : fd(socket),
          node(node_number),
          lobby(game_dir, node_number, [this](std::string_view text) {
              if (!send_all(fd, TelnetPeer::escape(text))) gone = true;
          }) {}

    int fd;
    int node;
    Lobby lobby;
    TelnetPeer telnet = TelnetPeer::server();
    int pid = -1;        // the running module, if any
    bool gone = false;   // the caller hung up or asked to leave
};

int free_node(const std::list<std::unique_ptr<Connection>>& connections) {
    for (int n = 1;; ++n) {
        bool used = false;
        for (const auto& c : connections) used = used || c->node == n;
        if (!used) return n;
    }
}

void launch(Connection& c, const std::string& game_dir) {
    std::string error;
    c.pid = start_module(game_dir, c.node, c.lobby.choice(), c.fd, -1, error);
    if (c.pid < 0) {
        c.lobby.returned(error);
        return;
    }
    log("node " + std::to_string(c.node) + ": " + c.lobby.choice().player.name() + " in " +
        strip_codes(c.lobby.choice().entry.title));
    // Keys that came in the same packet as the choice cannot be handed to
    // the module (they were read off its socket already); the ones still in
    // the socket reach it.
    c.lobby.take_leftover();
}

// Takes what the caller sent while in the lobby.
void take_keys(Connection& c, const std::string& game_dir) {
    uint8_t buf[1024];
    plat::IoResult r = plat::read_fd(c.fd, buf, sizeof buf);
    if (r.would_block()) return;
    if (r.failed() || r.count == 0) {
        c.gone = true;
        return;
    }
    std::string answers;
    std::string keys = c.telnet.feed(std::string_view(reinterpret_cast<char*>(buf), static_cast<size_t>(r.count)), answers);
    if (!answers.empty() && !send_all(c.fd, answers)) c.gone = true;
    Lobby::Event e = c.lobby.feed(keys);
    while (e != Lobby::Event::none && !c.gone) {
        if (e == Lobby::Event::quit) {
            send_all(c.fd, "\x1b[0m\r\n  Bye.\r\n");
            c.gone = true;
            return;
        }
        launch(c, game_dir);
        if (c.pid >= 0) return;
        e = c.lobby.feed(c.lobby.take_leftover());
    }
}

void close_connection(Connection& c) {
    log("node " + std::to_string(c.node) + ": caller left");
    plat::shutdown_and_close(c.fd);
}

// Ends the server: every caller's connection drops, so every module ends
// through its lost-carrier path; after a grace period the rest are killed.
void shut_down(std::list<std::unique_ptr<Connection>>& connections) {
    for (auto& c : connections) plat::shutdown_and_close(c->fd);
    for (int waited = 0; waited <= kShutdownGraceMs; waited += 50) {
        bool running = false;
        for (auto& c : connections) {
            if (c->pid >= 0 && plat::poll_child(c->pid)) c->pid = -1;
            running = running || c->pid >= 0;
        }
        if (!running) return;
        plat::sleep_ms(50);
    }
    for (auto& c : connections) {
        if (c->pid < 0) continue;
        plat::kill_child(c->pid);
        plat::wait_child(c->pid);
    }
}

}  // namespace

int serve(const std::string& game_dir, uint16_t port) {
    plat::ensure_standard_descriptors();
    std::string message;
    if (!check_game(game_dir, message)) {
        plat::write_stderr_line(message);
        return 1;
    }
    plat::install_hangup_signals();
    uint16_t bound = port;
    int listener = plat::tcp_listen_loopback(bound);
    if (listener < 0) {
        plat::write_stderr_line("sandbox: cannot listen on 127.0.0.1:" + std::to_string(port));
        return 1;
    }
    log("serving " + game_dir + " on 127.0.0.1:" + std::to_string(bound));

    std::list<std::unique_ptr<Connection>> connections;
    for (;;) {
        std::vector<plat::WaitItem> items;
        items.push_back({plat::hangup_fd(), plat::io::in, 0});
        items.push_back({listener, plat::io::in, 0});
        bool running = false;
        for (auto& c : connections) {
            items.push_back({c->pid < 0 ? c->fd : -1, plat::io::in, 0});
            running = running || c->pid >= 0;
        }
        plat::wait_io(items, running ? 100 : 1000);
        if (plat::hangup_requested()) break;

        size_t i = 2;
        for (auto& c : connections) {
            if (items[i++].got != 0) take_keys(*c, game_dir);
        }
        for (auto& c : connections) {
            if (c->pid < 0) continue;
            std::optional<plat::ChildExit> end = plat::poll_child(c->pid);
            if (!end) continue;
            c->pid = -1;
            std::string result = describe_end(c->lobby.choice().entry.title, *end);
            log("node " + std::to_string(c->node) + ": " + result);
            c->lobby.returned(result);
        }
        for (auto it = connections.begin(); it != connections.end();) {
            if ((*it)->gone && (*it)->pid < 0) {
                close_connection(**it);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        if (items[1].got != 0) {
            int fd = plat::tcp_accept(listener);
            if (fd >= 0) {
                int node = free_node(connections);
                auto c = std::make_unique<Connection>(fd, node, game_dir);
                log("node " + std::to_string(node) + ": caller connected");
                if (!send_all(fd, c->telnet.offer({tn::opt_echo, tn::opt_sga}))) c->gone = true;
                c->lobby.start();
                connections.push_back(std::move(c));
            }
        }
    }
    plat::close_fd(listener);
    shut_down(connections);
    log("stopped");
    return 0;
}

}  // namespace sandbox
