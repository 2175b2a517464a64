// A small game for the screen tests: the host's files in a temporary
// directory and runelot installed in a program directory inside it, and a
// way to run the whole program for one caller on the scripted line.
#pragma once

#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/player_file.hpp"
#include "host/player_record.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/testing/temp_dir.hpp"
#include "tribute/runelot.hpp"

namespace runelot::testing {

class LottoGame {
public:
    LottoGame() {
        std::filesystem::create_directories(dir / "doors/runelot");
        dir.write("time.dat", "1\r\n");
        write_config("1");
        dir.write("doors/runelot/runeplay.dat", std::string(150, '\0'));
    }

    std::string host_dir() const { return dir.path() + "/"; }
    std::string program_dir() const { return dir.path() + "/doors/runelot/"; }
    std::string player_file() const { return host_dir() + "player.dat"; }

    void write_config(const std::string& day) { dir.write("doors/runelot/runelot.dat", host_dir() + "\r\n" + day + "\r\n"); }
    std::string config() const { return dir.read("doors/runelot/runelot.dat"); }
    std::string flags() const { return dir.read("doors/runelot/runeplay.dat"); }
    void set_flag(int record, char value) {
        std::string f = flags();
        f[static_cast<size_t>(record)] = value;
        dir.write("doors/runelot/runeplay.dat", f);
    }

    // Appends a player; the bytes the module does not use carry a pattern,
    // so a record written back whole can be compared byte for byte.
    int add_player(int16_t level, int32_t gold) {
        host::PlayerRecord p;
        for (size_t i = 0; i < p.bytes.size(); ++i) p.bytes[i] = static_cast<uint8_t>(i * 7 + players_);
        p.set_name("Player " + std::to_string(players_));
        p.set_level(level);
        p.set_gold(gold);
        std::string data = dir.read("player.dat");
        data.append(reinterpret_cast<const char*>(p.bytes.data()), p.bytes.size());
        dir.write("player.dat", data);
        return players_++;
    }
    host::PlayerRecord player(int record) const { return host::read_player(player_file(), record); }

    // Every file of the game but the drop file, by name.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
            if (!e.is_regular_file() || e.path().filename() == "door32.sys") continue;
            std::string name = std::filesystem::relative(e.path(), dir.path()).string();
            files[name] = dir.read(name);
        }
        return files;
    }

    // Runs the whole program for the caller of the record number, on the
    // scripted line of caller (keys queued beforehand). Returns the exit code.
    int play(kit::testing::ScriptedCaller& caller, int record, std::vector<std::string> extra_args = {}) {
        dir.write("door32.sys", "2\r\n1\r\n38400\r\nBBS\r\n" + std::to_string(record + 1) +
                                    "\r\nTester\r\nTester\r\n10\r\n60\r\n1\r\n1\r\n");
        std::vector<std::string> args = {program_dir() + "runelot", "-D" + host_dir() + "door32.sys"};
        args.insert(args.end(), extra_args.begin(), extra_args.end());
        return run(caller, args);
    }

    static int run(kit::testing::ScriptedCaller& caller, std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return caller.run([&] { runelot_main(static_cast<int>(args.size()), argv.data()); });
    }

    static kit::testing::ScriptedCaller::Options no_session() {
        kit::testing::ScriptedCaller::Options o;
        o.start_session = false;
        return o;
    }

    // Everything the caller was sent, without the colour and cursor
    // sequences: the whole game, also what has scrolled off the screen.
    static std::string seen(const kit::testing::ScriptedCaller& caller) {
        std::string text;
        const std::string& sent = caller.transcript();
        for (size_t i = 0; i < sent.size(); ++i) {
            if (sent[i] == '\x1b' && i + 1 < sent.size() && sent[i + 1] == '[') {
                i += 2;
                while (i < sent.size() && !std::isalpha(static_cast<unsigned char>(sent[i]))) ++i;
                continue;
            }
            if (sent[i] != '\r') text += sent[i];
        }
        return text;
    }

    plat::testing::TempDir dir;

private:
    int players_ = 0;
};

}  // namespace runelot::testing
