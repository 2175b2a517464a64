// A small game for the team module's tests, built in a temporary
// directory that is the working directory while the test runs: the host's
// files in it, the program's directory "prog/" below it with kelvane.cfg.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/player_record.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/testing/temp_dir.hpp"
#include "team/kelvane_main.hpp"
#include "team/kelvane_state.hpp"
#include "team/team_files.hpp"

namespace kelvane::testing {

inline std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

struct PlayerSpec {
    std::string name;
    int16_t level = 1;
    int32_t gold = 0;
    int32_t bank = 0;
};

inline host::PlayerRecord make_player(const PlayerSpec& spec) {
    host::PlayerRecord r;
    r.set_name(spec.name);
    r.set_level(spec.level);
    r.set_gold(spec.gold);
    r.set_bank(spec.bank);
    return r;
}

inline TeamRecord make_team(std::string name, std::initializer_list<int> members, int leader = -1,
                            double treasury = 0) {
    TeamRecord t;
    t.name = std::move(name);
    t.password = "pw";
    for (int m : members) t.members[static_cast<size_t>(m)] = 1;
    t.leader = static_cast<uint8_t>(leader >= 0 ? leader : (members.size() ? *members.begin() : 0));
    t.treasury = treasury;
    return t;
}

class Game {
public:
    Game() {
        dir.enter();
        std::filesystem::create_directory(dir / "prog");
        dir.write("prog/kelvane.cfg", crlf({host(), ""}));
    }

    std::string host() const { return dir.path() + "/"; }
    std::string prog() const { return dir.path() + "/prog/"; }

    void players(const std::vector<PlayerSpec>& specs) {
        std::string bytes;
        for (const PlayerSpec& s : specs) {
            host::PlayerRecord r = make_player(s);
            bytes.append(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size());
        }
        dir.write("player.dat", bytes);
    }
    host::PlayerRecord player(int n) const {
        std::string bytes = dir.read("player.dat");
        host::PlayerRecord r;
        std::copy_n(bytes.begin() + n * static_cast<long>(host::kPlayerRecordSize), host::kPlayerRecordSize,
                    r.bytes.begin());
        return r;
    }

    void teams(const std::vector<TeamRecord>& list) {
        std::string bytes;
        for (const TeamRecord& t : list) {
            TeamBytes b = encode_team(t);
            bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
        }
        dir.write("prog/teamfile.dat", bytes);
    }
    std::vector<TeamRecord> teams() const {
        std::string bytes = dir.read("prog/teamfile.dat");
        std::vector<TeamRecord> list;
        for (size_t at = 0; at + kTeamRecordSize <= bytes.size(); at += kTeamRecordSize) {
            TeamBytes b{};
            std::copy_n(bytes.begin() + static_cast<long>(at), kTeamRecordSize, b.begin());
            list.push_back(decode_team(b));
        }
        return list;
    }

    DrawTable draw() const {
        std::string bytes = dir.read("teamdraw.dat");
        std::array<uint8_t, kDrawTableSize> b{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), kDrawTableSize), b.begin());
        return decode_draw(b);
    }

    // The host's info file of a node: record number, minutes, name, and a
    // telnet handle so the kit opens the (scripted) caller's channel.
    void info(int node, int record, const std::string& name = "Caller", int minutes = 30) {
        dir.write("info." + std::to_string(node),
                  crlf({std::to_string(record), "3", "", "", std::to_string(minutes), name, "Real", "Name", "7", "", "",
                        "telnet", "", ""}));
    }

    // A node's state as the start-up leaves it, without a session.
    KelvaneState state(int node, int record) {
        KelvaneState s;
        s.program_dir = prog();
        s.node = std::to_string(node);
        LoadConfig(s);
        FindCallerTeam(s, std::to_string(record));
        DailyReset(s);
        LoadDrawTable(s);
        return s;
    }

    plat::testing::TempDir dir;
};

// Runs the whole program in-process for a caller on node (info file
// "info." + node must exist) typing keys; returns the exit code.
inline int visit(kit::testing::ScriptedCaller& caller, const Game& game, int node, std::string_view keys) {
    caller.keys(keys);
    return caller.run([&] {
        std::string prog = game.prog() + "kelvane";
        std::string n = std::to_string(node);
        std::string drop = "-Dinfo." + n;
        std::vector<char*> argv{prog.data(), n.data(), drop.data(), nullptr};
        kelvane_main(3, argv.data());
    });
}

inline kit::testing::ScriptedCaller::Options no_session() {
    kit::testing::ScriptedCaller::Options o;
    o.start_session = false;
    return o;
}

}  // namespace kelvane::testing
