// The two ways the sandbox hosts callers.
#pragma once

#include <cstdint>
#include <string>

namespace sandbox {

// The local terminal becomes the caller of node 1: the lobby, then each
// picked module on a socket whose other end is bridged to the terminal.
// Ctrl-C or "Q" ends it; the terminal is restored on every path. Returns
// the process exit status.
int play(const std::string& game_dir);

// A telnet node server on 127.0.0.1:port (0 picks a free port): each
// connection gets the lowest free node, the lobby, and the picked module on
// its own socket. Prints "sandbox: serving <game> on 127.0.0.1:<port>"
// when it listens; runs until SIGINT or SIGTERM. Returns the exit status.
int serve(const std::string& game_dir, uint16_t port);

// Whether dir holds a game the sandbox can host (a module list or a
// player file); otherwise a message.
bool check_game(const std::string& game_dir, std::string& message);

}  // namespace sandbox
