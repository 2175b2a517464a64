// A small game for the lottery's tests: the program's folder with a player
// file and a DOOR32.SYS for a telnet caller, and the program run in-process
// against a scripted caller.
#pragma once

#include <string>
#include <vector>

#include "host/player_file.hpp"
#include "host/player_record.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "lottery/lottery.hpp"
#include "platform/random.hpp"
#include "platform/testing/temp_dir.hpp"

namespace lottery::testing {

// Lines joined with CR LF, each ended by one.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

inline host::PlayerRecord player(const std::string& name, int32_t gold) {
    host::PlayerRecord p;
    // Bytes the lottery never touches, to see them come back unchanged.
    for (size_t i = 0; i < p.bytes.size(); ++i) p.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    p.set_name(name);
    p.set_gold(gold);
    return p;
}

class Booth {
public:
    plat::testing::TempDir dir;

    // Four players; the caller is record `record` with `gold` gold.
    explicit Booth(int32_t record = 2, int32_t gold = 500) : record_(record) {
        std::string file;
        for (int32_t r = 0; r < 4; ++r) {
            host::PlayerRecord p = player("Player" + std::to_string(r), r == record ? gold : 1000 + r);
            file.append(p.bytes.begin(), p.bytes.end());
        }
        dir.write("PLAYER.DAT", file);
        dir.write("DOOR32.SYS", crlf({"2", "7", "38400", "Test BBS", std::to_string(record + 1), "Ann Caller",
                                      "Ann", "10", "30", "1", "1"}));
    }

    std::string program() const { return dir / "lottery"; }

    // Runs the program with the arguments after its name; returns the exit
    // code. The clerk is chosen with clerk_draw (0 = Pell, 1 = Wistan, ...).
    int run(kit::testing::ScriptedCaller& caller, std::vector<std::string> extra = {}, int32_t clerk_draw = 1) {
        plat::ScriptedRandom random{clerk_draw};
        std::vector<std::string> args{"-D" + (dir / "DOOR32.SYS")};
        args.insert(args.end(), extra.begin(), extra.end());
        return run_with(caller, args, random);
    }

    // Runs the program with exactly these arguments after its name, drawing
    // from random.
    int run_with(kit::testing::ScriptedCaller& caller, std::vector<std::string> args, plat::RandomSource& random) {
        plat::ScopedRandom use(random);
        args.insert(args.begin(), program());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        return caller.run([&] { lottery_main(static_cast<int>(argv.size()), argv.data()); });
    }

    host::PlayerRecord caller_record() const { return host::read_player(dir / "PLAYER.DAT", record_); }
    int32_t gold() const { return caller_record().gold(); }
    int32_t record() const { return record_; }

private:
    int32_t record_;
};

inline kit::testing::ScriptedCaller::Options no_session(plat::LocalDate date = {2026, 12, 11}) {
    kit::testing::ScriptedCaller::Options o;
    o.start_session = false;
    o.date = date;
    return o;
}

}  // namespace lottery::testing
