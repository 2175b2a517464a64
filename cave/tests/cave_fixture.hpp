// A small game for the cave's screen tests: a host directory (the current
// directory while the test runs) with player.dat and the node's info file,
// and the program's own directory inside it; orvtime runs in-process for a
// scripted caller.
#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cave/cave_config.hpp"
#include "cave/orvtime.hpp"
#include "host/player_record.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/clock.hpp"
#include "platform/random.hpp"
#include "platform/testing/temp_dir.hpp"

namespace cave::testing {

inline std::string crlf_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

inline host::PlayerRecord make_player(const std::string& name, int32_t gold, uint8_t sex = host::kSexMale) {
    host::PlayerRecord p;
    for (size_t i = 0; i < p.bytes.size(); ++i) p.bytes[i] = static_cast<uint8_t>(i * 7 + 3);  // bytes we never touch
    p.set_name(name);
    p.set_gold(gold);
    p.set_sex(sex);
    return p;
}

// A clock for tests in which the caller types on a timetable: time moves
// only while the program sleeps or waits, and a wait that reaches the time
// of the next scheduled keys ends there, with the keys typed.
class TimetableClock final : public plat::Clock {
public:
    TimetableClock(kit::testing::ScriptedCaller& caller) : caller_(caller), fake_(caller.clock()) {}

    // Keys typed `after_ms` after the previous entry (or after the start).
    void at(int64_t after_ms, std::string keys) {
        int64_t base = table_.empty() ? 0 : table_.back().first;
        table_.emplace_back(base + after_ms, std::move(keys));
    }
    // Makes this the clock in use; the scripted caller's own clock again
    // when the object goes.
    void install() {
        start_ = fake_.tick_ms();
        plat::set_clock(this);
    }
    ~TimetableClock() override { plat::set_clock(&fake_); }

    plat::TimeOfDay time_of_day() override { return fake_.time_of_day(); }
    plat::LocalDate date() override { return fake_.date(); }
    uint64_t tick_ms() override { return fake_.tick_ms(); }
    void sleep_ms(int ms) override { fake_.sleep_ms(ms); }
    int wait_readable(std::span<const int> fds, int timeout_ms) override {
        int ready = fake_.wait_readable(fds, 0);
        if (ready > 0 || table_.empty()) return ready > 0 ? ready : fake_.wait_readable(fds, timeout_ms);
        int64_t due = static_cast<int64_t>(start_) + table_.front().first - static_cast<int64_t>(fake_.tick_ms());
        if (timeout_ms >= 0 && due > timeout_ms) return fake_.wait_readable(fds, timeout_ms);
        fake_.advance(due);
        caller_.keys(table_.front().second);
        table_.pop_front();
        return 1;
    }

private:
    kit::testing::ScriptedCaller& caller_;
    plat::FakeClock& fake_;
    std::deque<std::pair<int64_t, std::string>> table_;
    uint64_t start_ = 0;
};

class CaveGame {
public:
    static constexpr char kNode[] = "1";

    explicit CaveGame(kit::testing::ScriptedCaller::Options options = {}) : caller(std::move(options)) {
        dir.enter();
        std::filesystem::create_directory(dir / "door");
    }

    // Writes player.dat with the given records.
    void players(const std::vector<host::PlayerRecord>& records) const {
        std::string bytes;
        for (const host::PlayerRecord& p : records)
            bytes.append(reinterpret_cast<const char*>(p.bytes.data()), p.bytes.size());
        dir.write("player.dat", bytes);
    }
    host::PlayerRecord player(int32_t record) const {
        std::string bytes = dir.read("player.dat");
        host::PlayerRecord p;
        std::copy_n(bytes.begin() + record * static_cast<int32_t>(host::kPlayerRecordSize), p.bytes.size(),
                    p.bytes.begin());
        return p;
    }

    // The node's info file for the caller of record `record`, a telnet
    // caller on the scripted line.
    void info(const std::string& record_line, const std::string& name = "`%Ann") const {
        dir.write(std::string("info.") + kNode,
                  crlf_lines({record_line, "3", "", "", "30", name, "Ann", "", "5", "", "", "TELNET", "", ""}));
    }

    std::string program_dir() const { return dir / "door/"; }
    std::string config_file() const { return dir / "door/orvtime.dat"; }
    CaveConfig config() const {
        std::string bytes = dir.read("door/orvtime.dat");
        return decode_config(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    void write_config(const CaveConfig& config) const {
        auto bytes = encode_config(config);
        dir.write("door/orvtime.dat", std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    // Runs the program as the host starts it: node, then the kit's switch.
    int run_program(std::vector<std::string> args) {
        args.insert(args.begin(), dir / "door/orvtime");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return caller.run([&] { orvtime_main(static_cast<int>(args.size()), argv.data()); });
    }
    int run_visit() { return run_program({kNode, std::string("-Dinfo.") + kNode}); }

    plat::testing::TempDir dir;
    kit::testing::ScriptedCaller caller;
};

}  // namespace cave::testing
