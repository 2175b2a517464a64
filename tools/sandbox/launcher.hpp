// Starting a module for a node as the host does: the node's info file, the
// entry's command line with "*" replaced by the node, the game's directory
// as the working directory, and the caller's connection handed over as an
// inherited socket.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/process.hpp"
#include "tools/sandbox/lobby.hpp"

namespace sandbox {

// Minutes a caller is given in the info file.
inline constexpr int kMinutesAllowed = 60;

// The 14 lines of "info." + node: record number, "3" (ANSI), "",
// "FAIRY NO", minutes left, the character's name, first and last name (the
// name split at its first blank), the socket descriptor, "", "", "TELNET",
// "", "CLEAN MODE OFF".
std::vector<std::string> info_lines(int32_t record, const host::PlayerRecord& player, int socket_fd);

// The entry's command line split on blanks, every "*" replaced by the node.
// A program named without a directory is looked for in the game's.
std::vector<std::string> command_args(std::string_view command, int node, const std::string& game_dir);

// Writes the node's info file and starts the entry's program. Returns its
// process id, or -1 with a message for the caller.
int start_module(const std::string& game_dir, int node, const Choice& choice, int socket_fd, int output_fd,
                 std::string& error);

// Writes all bytes to the caller's connection (a blocking socket); false
// when the other side is gone.
bool send_all(int fd, std::string_view bytes);

// "<title> ended with exit code N" (or "was ended by signal N").
std::string describe_end(std::string_view title, const plat::ChildExit& end);

}  // namespace sandbox
