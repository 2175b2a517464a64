#include "host/registry.hpp"

#include <algorithm>

#include "common/colour_writers.hpp"
#include "common/text_helpers.hpp"
#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace host {

namespace {

constexpr int kPathInputMax = 255;

std::string registry_path(std::string_view host_dir) { return std::string(host_dir) + kRegistryFile; }

void append_lines(std::string_view path, const std::vector<std::string>& lines, bool create_if_missing) {
    plat::TextWriter file;
    // Only a missing list is created: an existing one that cannot be opened
    // is never replaced by an empty one; its failure is a run-time error.
    if (create_if_missing && !plat::file_exists(path))
        file.create(path);
    else
        file.append(path);
    for (const std::string& line : lines) file.write_line(line);
    file.close();
}

void show_installed() {
    common::local_write_line_codes("");
    common::local_write_line_codes("`%Installed!");
    common::local_write_line_codes("");
    common::local_write_codes("`2<`0MORE`2>");
    kit::door_read_key();
}

// The lines without the last one holding name (exact case) and the line
// after it; false when no line holds it.
bool remove_last_entry(std::vector<std::string>& lines, std::string_view name) {
    size_t found = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(name) != std::string::npos) found = i;
    if (found == lines.size()) return false;
    size_t end = std::min(found + 2, lines.size());
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

// True when the upper-cased command line runs the program of the
// upper-cased file name: the name stands as a whole path component, after
// the start or a separator, and ends the program's path (a blank, the end,
// or ".EXE" follows). A directory that merely contains the name, such as a
// game in /bbs/runelot-world/, does not count.
bool names_program(std::string_view line, std::string_view name) {
    for (size_t at = line.find(name); at != std::string_view::npos; at = line.find(name, at + 1)) {
        char before = at == 0 ? '/' : line[at - 1];
        if (before != '/' && before != '\\' && before != ':') continue;
        std::string_view rest = line.substr(at + name.size());
        if (rest.substr(0, 4) == ".EXE") rest.remove_prefix(4);
        if (rest.empty() || rest[0] == ' ') return true;
    }
    return false;
}

}  // namespace

ModuleProgram running_program(std::string_view argv0, std::string_view fallback_file) {
    std::string file = plat::base_name(argv0);
    if (file.empty()) file = fallback_file;
    return {plat::program_dir(), file};
}

std::vector<std::string> kelvane_entry(const ModuleProgram& program) {
    return {program.dir + program.file + " * -Dinfo.*", "`0Team Options"};
}

std::vector<std::string> orvtime_entry(const ModuleProgram& program) {
    return {program.dir + program.file + " * -Dinfo.*", "`%Orvald`2's Timer"};
}

std::vector<std::string> runelot_entry(const ModuleProgram& program, std::string_view host_dir) {
    return {program.dir + program.file + " -D" + std::string(host_dir) + "info.*",
            "`0Edric's Tribute Lotto"};
}

std::string maint_line(const ModuleProgram& program) { return program.dir + program.file + " MAINT"; }

std::string with_final_separator(std::string_view dir) {
    std::string out(dir);
    if (out.empty() || (out.back() != '\\' && out.back() != '/')) out += '/';
    return out;
}

std::string ask_host_dir(std::string_view default_dir) {
    for (;;) {
        common::local_write_line_codes("");
        common::local_write_codes("  `2Please enter your DRAKMOOR path `0(`$C:\\DRAKMOOR\\`0)`!:`% ");
        std::string path = kit::door_input_line(kPathInputMax);
        if (path.empty()) path = default_dir;
        common::local_write_line_codes("");
        common::local_write_codes("`2Path is...");
        path = with_final_separator(path);
        if (plat::file_exists(path + kRegistryFile)) {
            common::local_write_line_codes("`0VERIFIED!");
            return path;
        }
        common::local_write_line_codes("`4INVALID");
    }
}

bool kelvane_already_installed(std::string_view host_dir, const ModuleProgram& program) {
    std::string path = registry_path(host_dir);
    if (!plat::file_exists(path)) return false;
    std::string name = common::upper_case(program.file);
    for (const std::string& line : plat::read_lines(path, std::string::npos)) {
        if (common::upper_case(line).find(name) == std::string::npos) continue;
        common::local_write_line_codes("");
        common::local_write_line_codes("`2  You've already installed Kelvane!");
        common::local_write_line_codes("");
        common::local_write_codes("`2<`0MORE`2>");
        kit::door_read_key();
        return true;
    }
    return false;
}

void kelvane_install(std::string_view host_dir, const ModuleProgram& program) {
    append_lines(registry_path(host_dir), kelvane_entry(program), false);
    std::string maint = std::string(host_dir) + kMaintFile;
    if (plat::file_exists(maint)) append_lines(maint, {maint_line(program)}, false);
    show_installed();
}

void orvtime_install(std::string_view host_dir, const ModuleProgram& program) {
    append_lines(registry_path(host_dir), orvtime_entry(program), true);
    show_installed();
}

void runelot_install(std::string_view host_dir, const ModuleProgram& program) {
    append_lines(registry_path(host_dir), runelot_entry(program, host_dir), false);
}

bool kelvane_uninstall(std::string_view host_dir, const ModuleProgram& program) {
    std::string path = registry_path(host_dir);
    std::vector<std::string> lines = plat::read_lines(path, std::string::npos);
    plat::rewrite_lines("temp.$$$", lines);
    if (!remove_last_entry(lines, program.file)) {
        common::local_write_line_codes("Kelvane has not been installed yet!");
        common::local_write_codes("`2  <MORE>");
        kit::door_read_key();
        return false;
    }
    plat::rewrite_lines(path, lines);
    return true;
}

bool orvtime_uninstall(std::string_view host_dir, const ModuleProgram& program) {
    std::string path = registry_path(host_dir);
    std::vector<std::string> lines = plat::read_lines(path, std::string::npos);
    if (!remove_last_entry(lines, program.file)) {
        common::local_write_line_codes("Orvald's Timer has not been installed yet!");
        plat::halt(0);
    }
    plat::rewrite_lines(path, lines);
    return true;
}

int runelot_uninstall(std::string_view host_dir, const ModuleProgram& program) {
    std::string path = registry_path(host_dir);
    std::string name = common::upper_case(program.file);
    std::vector<std::string> lines = plat::read_lines(path, std::string::npos);
    std::vector<std::string> kept;
    int removed = 0;
    for (size_t i = 0; i < lines.size(); i += 2) {
        if (names_program(common::upper_case(lines[i]), name)) {
            ++removed;
            continue;
        }
        kept.push_back(lines[i]);
        if (i + 1 < lines.size()) kept.push_back(lines[i + 1]);
    }
    std::string temp = std::string(host_dir) + "igmtemp.dat";
    plat::rewrite_lines(temp, kept);
    // The rename replaces the list in one step: no moment without it.
    plat::rename_file(temp, path);
    return removed;
}

void show_uninstalled() {
    common::local_write_line_codes("`%Uninstalled!");
    common::local_write_codes("`2<`0MORE`2>");
    kit::door_read_key();
}

}  // namespace host
