// The host's module list "3rdparty.dat" (two-line entries: the command line
// the host runs, every "*" standing for the node number, and the name shown
// in its menu) and its nightly batch file "maint.bat": the host-directory
// prompt of the installers, installing, and each module's uninstall.
//
// Entries name the program as installed on Linux: its directory and its own
// file name as started. kelvane and orvtime are given "-Dinfo.*" too, so the
// kit finds the caller's session in the node's info file in the host's
// directory, where the host runs its modules. Uninstalls find the entries by
// the same file name.
//
// Everything shown goes to the local console; keys come from the local
// keyboard (these run in the CONFIG mode, without a caller).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

inline constexpr char kRegistryFile[] = "3rdparty.dat";
inline constexpr char kMaintFile[] = "maint.bat";

// A module's program as installed.
struct ModuleProgram {
    std::string dir;   // ends in a separator
    std::string file;  // the executable's own file name
};

// The running program: its directory and the file name it was started as
// (args[0]); fallback_file when args[0] names none.
ModuleProgram running_program(std::string_view argv0, std::string_view fallback_file);

// The two lines of each module's entry.
std::vector<std::string> kelvane_entry(const ModuleProgram& program);
std::vector<std::string> orvtime_entry(const ModuleProgram& program);
std::vector<std::string> runelot_entry(const ModuleProgram& program, std::string_view host_dir);
// kelvane's line in maint.bat: the program's path + " MAINT".
std::string maint_line(const ModuleProgram& program);

// A directory with a final separator: "/" is added unless it already ends
// in "\" or "/".
std::string with_final_separator(std::string_view dir);

// Asks for the host's directory until it holds 3rdparty.dat: the prompt
// "  `2Please enter your DRAKMOOR path `0(`$C:\DRAKMOOR\`0)`!:`% ", an empty
// answer meaning default_dir ("c:\drakmoor\" for kelvane, "C:\drakmoor\" for
// orvtime), then "`2Path is..." and "`0VERIFIED!" or "`4INVALID". Returns
// the accepted directory with its final separator.
std::string ask_host_dir(std::string_view default_dir);

// kelvane's duplicate check: when host_dir + 3rdparty.dat has a line holding
// the program's file name in any letter case, shows "`2  You've already installed
// Kelvane!" and the more prompt, waits for a key and returns true.
bool kelvane_already_installed(std::string_view host_dir, const ModuleProgram& program);

// Appends kelvane's entry (3rdparty.dat must exist: run-time error 2
// otherwise) and, when host_dir has maint.bat, its maintenance line; then
// shows "`%Installed!" and waits for a key.
void kelvane_install(std::string_view host_dir, const ModuleProgram& program);
// Appends orvtime's entry, creating 3rdparty.dat when it does not exist;
// then shows "`%Installed!" and waits for a key.
void orvtime_install(std::string_view host_dir, const ModuleProgram& program);
// Appends runelot's entry; 3rdparty.dat must exist.
void runelot_install(std::string_view host_dir, const ModuleProgram& program);

// kelvane's uninstall: copies 3rdparty.dat into "temp.$$$" (working
// directory, left behind) and rewrites it without the last line holding the
// program's file name (exact case) and the line after it. Returns true when
// it found one; otherwise shows "Kelvane has not been installed yet!" and
// "`2  <MORE>", waits for a key and returns false.
bool kelvane_uninstall(std::string_view host_dir, const ModuleProgram& program);
// orvtime's uninstall: rewrites 3rdparty.dat without the last line holding
// the program's file name (exact case) and the line after it. Without such a
// line it writes "Orvald's Timer has not been installed yet!" and ends the
// program (exit code 0).
bool orvtime_uninstall(std::string_view host_dir, const ModuleProgram& program);
// runelot's uninstall: keeps every two-line entry whose first line does not
// run the program (its file name, in any letter case and with or without
// ".exe", ending the command's program path), through "igmtemp.dat" in
// host_dir renamed over 3rdparty.dat. Returns the number of entries removed.
int runelot_uninstall(std::string_view host_dir, const ModuleProgram& program);

// "`%Uninstalled!" and "`2<`0MORE`2>", then a key (kelvane, orvtime).
void show_uninstalled();

}  // namespace host
