// What each program's own setup leaves in a sample game: its configuration
// and data files in its folder, and its entry in the game's module list.
//
// Every program lives in its own folder of the game, game_dir + "doors/" +
// name + "/", which holds a symbolic link to the built executable (so the
// program, which finds its directory from the name it was started as, takes
// that folder for its own) and the program's own files. sample_game.cpp
// makes the folder and the link, then calls the program's setup function.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/registry.hpp"

namespace sandbox {

struct ProgramSetup {
    // The host game's directory: absolute, ending in "/".
    std::string game_dir;
    // The program as installed: its folder (ending in "/") and file name.
    host::ModuleProgram program;

    // The program's folder + name.
    std::string in_program_dir(std::string_view name) const { return program.dir + std::string(name); }
    // The game's directory + name.
    std::string in_game_dir(std::string_view name) const { return game_dir + std::string(name); }
};

// Appends a two-line entry (command line, title) to the game's 3rdparty.dat.
void add_registry_entry(const ProgramSetup& setup, const std::vector<std::string>& entry);

// Makes the program's folder + name a relative symbolic link to the game's
// host_file, for programs that open host files beside themselves.
void link_host_file(const ProgramSetup& setup, std::string_view host_file, std::string_view name);

// One function per program, each in setup_<program>.cpp.
void setup_kelvane(const ProgramSetup& setup);
void setup_runelot(const ProgramSetup& setup);
void setup_orvtime(const ProgramSetup& setup);
void setup_lottery(const ProgramSetup& setup);
void setup_grumbold(const ProgramSetup& setup);

}  // namespace sandbox
