// kelvane after its CONFIG run: "kelvane.cfg" in its folder (the host
// directory, then an empty line), its entry in the module list and its line
// in maint.bat. Two sample teams let the team screens, the treasury and the
// doorguard be tried at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/extended_float.hpp"
#include "platform/files.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

namespace {

// TeamRecord: 355 bytes at these offsets.
constexpr size_t kTeamSize = 355;
constexpr size_t kLeader = 0;
constexpr size_t kName = 1;       // short string, at most 30 characters
constexpr size_t kPassword = 32;  // short string, at most 8 characters
constexpr size_t kMembers = 41;   // 150 bytes
constexpr size_t kTreasury = 341; // 80-bit extended float
constexpr size_t kGuardStrength = 351;
constexpr size_t kGuardEndurance = 353;

struct SampleTeam {
    uint8_t leader;
    std::string name;
    std::string password;
    std::vector<uint8_t> members;
    double treasury;
    int16_t guard_strength;
    int16_t guard_endurance;
};

void put_string(std::array<uint8_t, kTeamSize>& rec, size_t at, const std::string& text) {
    rec[at] = static_cast<uint8_t>(text.size());
    for (size_t i = 0; i < text.size(); ++i) rec[at + 1 + i] = static_cast<uint8_t>(text[i]);
}

void put16(std::array<uint8_t, kTeamSize>& rec, size_t at, int16_t v) {
    auto u = static_cast<uint16_t>(v);
    rec[at] = static_cast<uint8_t>(u & 0xFF);
    rec[at + 1] = static_cast<uint8_t>(u >> 8);
}

std::string encode(const SampleTeam& team) {
    std::array<uint8_t, kTeamSize> rec{};
    rec[kLeader] = team.leader;
    put_string(rec, kName, team.name);
    put_string(rec, kPassword, team.password);
    for (uint8_t m : team.members) rec[kMembers + m] = 1;
    common::encode_extended(team.treasury, std::span<uint8_t, common::kExtendedSize>(rec.data() + kTreasury,
                                                                                      common::kExtendedSize));
    put16(rec, kGuardStrength, team.guard_strength);
    put16(rec, kGuardEndurance, team.guard_endurance);
    return std::string(rec.begin(), rec.end());
}

}  // namespace

void setup_kelvane(const ProgramSetup& setup) {
    plat::rewrite_lines(setup.in_program_dir("kelvane.cfg"), {setup.game_dir, ""});
    add_registry_entry(setup, host::kelvane_entry(setup.program));

    plat::TextWriter maint;
    if (maint.try_append(setup.in_game_dir(host::kMaintFile)) == 0) {
        maint.write_line(host::maint_line(setup.program));
        maint.close();
    }

    // Record numbers of the sample players (sample_game.cpp): the first team
    // is led by the level 13 player, the second by the level 12 player and
    // still lists the deleted slot 4, which the MAINT run takes off.
    const std::vector<SampleTeam> teams = {
        {0, "The Iron Wolves", "HOWL", {0, 3, 7}, 25000.0, 0, 0},
        {8, "Moonlit Blades", "SILVER", {8, 2, 4}, 1200.0, 150, 10},
    };
    std::string file;
    for (const SampleTeam& team : teams) file += encode(team);
    plat::rewrite_file(setup.in_program_dir("teamfile.dat"), file);
}

}  // namespace sandbox
