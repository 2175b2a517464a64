// Paths as the game's files and the sysop write them, opened on POSIX.
//
// Names may use "\" or "/" as separator. Existing files and directories are
// found without regard to letter case along the whole path (PLAYER.DAT opens
// player.dat); a name that does not exist yet keeps the case as written, so a
// new file is created with the name as written.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// "\" becomes "/".
std::string to_posix(std::string_view path);

// The path with every existing component replaced by the name it has on
// disk, matched ignoring case (an exact match wins). Components after the
// first one that does not exist are kept as written.
std::string resolve_path(std::string_view path);

// The directory of the running program, ending in "/".
std::string program_dir();

// The current directory, ending in "/".
std::string current_dir();

// The last component of a path (after the last "/", "\" or ":").
std::string base_name(std::string_view path);

// Everything up to and including the last "/", "\" or ":" (empty if none).
std::string dir_part(std::string_view path);

// Case-insensitive comparison of ASCII letters, as DOS names compare.
bool same_name(std::string_view a, std::string_view b);

}  // namespace plat
