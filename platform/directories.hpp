// Directories and symbolic links, for tools that lay out a game directory.
//
// Paths are used as written (no case folding): these create things, and a
// new name keeps the case it is given.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Creates the directory and every missing parent. True when it exists
// afterwards.
bool make_directories(std::string_view path);

// True when path is a directory with no entries (or does not exist).
bool directory_is_empty(std::string_view path);

// Creates (or replaces) a symbolic link at link_path pointing to target.
// Returns 0 or a classic error code.
int make_symlink(std::string_view target, std::string_view link_path);

// The target a symbolic link names, empty when path is not one.
std::string read_symlink(std::string_view path);

// Removes path and, when it is a directory, everything below it. Symbolic
// links are removed, never followed. True when nothing is left.
bool remove_tree(std::string_view path);

// An absolute form of path (relative to the current directory), without
// resolving symbolic links; "." and ".." components are folded.
std::string absolute_path(std::string_view path);

}  // namespace plat
