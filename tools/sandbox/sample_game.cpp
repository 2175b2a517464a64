#include "tools/sandbox/sample_game.hpp"

#include <cstdint>
#include <string>

#include "host/day_counter.hpp"
#include "host/player_file.hpp"
#include "host/registry.hpp"
#include "platform/directories.hpp"
#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "tools/sandbox/setup.hpp"

namespace sandbox {

namespace {

struct SampleCharacter {
    const char* name;
    int16_t level;
    uint8_t sex;
    uint8_t cls;
    int32_t gold;
    int32_t bank;
    int16_t gems;
    int16_t hit_points;
    int16_t hit_max;
    int32_t experience;
    uint8_t dead;
    const char* weapon;
    const char* armor;
};

// Varied enough to try every module: poor and rich, healthy and hurt, one
// dead (5, as a module that kills writes), and one deleted slot "X".
const SampleCharacter kCharacters[] = {
    {"Aldric the Bold", 13, host::kSexMale, 1, 2500000, 9000000, 40, 410, 450, 9800000, 0, "Death Sword", "Dragon Scale"},
    {"Brenna", 1, host::kSexFemale, 2, 150, 0, 1, 12, 20, 40, 0, "Stick", "Coat"},
    {"Corwin", 2, host::kSexMale, 3, 99, 2400, 3, 30, 35, 620, 0, "Dagger", "Heavy Coat"},
    {"Dahlia", 3, host::kSexFemale, 1, 5000, 1000, 6, 44, 60, 2900, 0, "Short Sword", "Leather Vest"},
    {"X", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", ""},
    {"Eamon", 5, host::kSexMale, 2, 42000, 15000, 12, 95, 120, 21000, 0, "Long Sword", "Bronze Armour"},
    {"Fiona", 7, host::kSexFemale, 3, 8000, 250000, 18, 0, 210, 98000, 5, "Huge Axe", "Iron Armour"},
    {"Garrick", 10, host::kSexMale, 1, 1200000, 400000, 25, 300, 320, 1650000, 0, "Bastard Sword", "Graphite Armour"},
    {"Hilde", 12, host::kSexFemale, 2, 0, 6000000, 33, 150, 400, 5200000, 0, "Wan's Weapon", "Erdrick's Armour"},
};

void write_text(const std::string& path, const std::vector<std::string>& lines) { plat::rewrite_lines(path, lines); }

bool looks_like_game(const std::string& dir) {
    return plat::file_exists(dir + host::kRegistryFile) || plat::file_exists(dir + host::kPlayerFile);
}

}  // namespace

void add_registry_entry(const ProgramSetup& setup, const std::vector<std::string>& entry) {
    plat::TextWriter file;
    file.append(setup.in_game_dir(host::kRegistryFile));
    for (const std::string& line : entry) file.write_line(line);
    file.close();
}

void link_host_file(const ProgramSetup& setup, std::string_view host_file, std::string_view name) {
    // The folder is game_dir + "doors/<program>/", two levels below the game.
    int rc = plat::make_symlink("../../" + std::string(host_file), setup.in_program_dir(name));
    if (rc != 0) plat::run_error(rc);
}

std::vector<host::PlayerRecord> sample_players() {
    std::vector<host::PlayerRecord> players;
    for (const SampleCharacter& c : kCharacters) {
        host::PlayerRecord p;
        p.set_name(c.name);
        p.set_level(c.level);
        p.set_sex(c.sex);
        p.set_player_class(c.cls);
        p.set_gold(c.gold);
        p.set_bank(c.bank);
        p.set_gems(c.gems);
        p.set_hit_points(c.hit_points);
        p.set_hit_max(c.hit_max);
        p.set_experience(c.experience);
        p.set_dead(c.dead);
        p.set_weapon_name(c.weapon);
        p.set_armor_name(c.armor);
        if (!p.is_empty_slot()) {
            p.set_fights_left(static_cast<int16_t>(10 + c.level));
            p.set_strength(static_cast<int16_t>(10 + c.level * 9));
            p.set_defense(static_cast<int16_t>(5 + c.level * 7));
            p.set_charm(static_cast<int16_t>(3 + c.level % 5));
            p.set_wins(static_cast<int16_t>(c.level / 12));
            p.set_kills(static_cast<int16_t>(c.level * 3));
            p.set_lays(static_cast<int16_t>(c.level / 2));
            p.set_skill_uses(c.cls, static_cast<uint8_t>(c.level * 3));
        }
        players.push_back(p);
    }
    return players;
}

std::string game_path(std::string_view dir) {
    std::string path = plat::absolute_path(dir);
    if (path.back() != '/') path += '/';
    return path;
}

InitResult init_game(std::string_view dir, std::string_view bin_dir, bool force, std::string& message) {
    const std::string game = game_path(dir);
    if (!plat::directory_is_empty(game)) {
        if (!looks_like_game(game)) {
            message = game + " holds other files; give an empty or new directory.";
            return InitResult::not_a_game;
        }
        if (!force) {
            message = game + " already holds a game; --force replaces it.";
            return InitResult::exists;
        }
        if (!plat::remove_tree(game)) {
            message = "Could not clear " + game + ".";
            return InitResult::failed;
        }
    }
    if (!plat::make_directories(game)) {
        message = "Could not create " + game + ".";
        return InitResult::failed;
    }

    std::string players;
    for (const host::PlayerRecord& p : sample_players()) players.append(p.bytes.begin(), p.bytes.end());
    plat::rewrite_file(game + host::kPlayerFile, players);
    write_text(game + host::kDayCounterFile, {"1"});
    plat::rewrite_file(game + host::kRegistryFile, "");
    plat::rewrite_file(game + host::kMaintFile, "");
    plat::rewrite_file(game + "lognow.txt", "");

    using SetupFn = void (*)(const ProgramSetup&);
    const SetupFn setups[] = {setup_kelvane, setup_orvtime, setup_runelot, setup_lottery, setup_grumbold};
    for (size_t i = 0; i < std::size(kPrograms); ++i) {
        ProgramSetup setup{game, {game + "doors/" + kPrograms[i] + "/", kPrograms[i]}};
        if (!plat::make_directories(setup.program.dir)) {
            message = "Could not create " + setup.program.dir + ".";
            return InitResult::failed;
        }
        int rc = plat::make_symlink(std::string(bin_dir) + kPrograms[i], setup.program.dir + kPrograms[i]);
        if (rc != 0) {
            message = "Could not link " + setup.program.dir + kPrograms[i] + ".";
            return InitResult::failed;
        }
        setups[i](setup);
    }

    // The kit's test door, for checking that a node hands its caller over.
    ProgramSetup doortest{game, {std::string(bin_dir), "doortest"}};
    add_registry_entry(doortest, {doortest.program.dir + "doortest -Dinfo.*", "`7Door kit test"});

    message = "Created a sample game in " + game + ".";
    return InitResult::created;
}

bool advance_day(std::string_view dir, std::string& message) {
    const std::string path = game_path(dir) + host::kDayCounterFile;
    std::optional<int32_t> day = host::read_day_number(path);
    if (!day) {
        message = path + " does not exist.";
        return false;
    }
    int32_t next = *day + 1;
    // Only the first line is the counter; the rest of the file stays.
    std::vector<std::string> lines = plat::read_lines(path);
    if (lines.empty()) lines.emplace_back();
    lines[0] = std::to_string(next);
    write_text(path, lines);
    message = "Day " + std::to_string(next) + ".";
    return true;
}

}  // namespace sandbox
