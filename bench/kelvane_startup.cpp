// Start-up time of kelvane as a caller meets it: from starting the process
// to the first byte of the team options menu arriving on the caller's end
// of a loopback telnet connection, on a game of 150 players and 149 teams
// with the caller on the last team. Each run ends with "Q" so the exit
// routine runs as on a real visit.
//
// Usage: kelvane_startup_bench [runs] [path of kelvane]
//        (default 41 runs, kelvane from this program's directory)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/player_record.hpp"
#include "platform/fd_io.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/process.hpp"
#include "platform/socket.hpp"
#include "platform/testing/temp_dir.hpp"
#include "team/team_records.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPlayers = 150;
constexpr int kTeams = 149;
constexpr int kCaller = 149;
// The menu's first bytes: its clear screen comes after the one the kit
// sends when the session starts, so the menu is the second of these.
constexpr char kClear[] = "\x1b[2J";

void write_game(const plat::testing::TempDir& dir, const std::string& kelvane) {
    std::filesystem::create_directory(dir / "prog");
    std::filesystem::create_symlink(kelvane, dir / "prog/kelvane");
    plat::rewrite_lines(dir / "prog/kelvane.cfg", {dir.path() + "/", ""});

    std::string players;
    for (int i = 0; i < kPlayers; ++i) {
        host::PlayerRecord r;
        r.set_name("Player " + std::to_string(i));
        r.set_level(static_cast<int16_t>(1 + i % 12));
        r.set_gold(1000 * i);
        players.append(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size());
    }
    plat::rewrite_file(dir / "player.dat", players);

    std::string teams;
    for (int t = 0; t < kTeams; ++t) {
        kelvane::TeamRecord team;
        team.name = "Team " + std::to_string(t);
        team.password = "pw";
        team.leader = static_cast<uint8_t>(t);
        team.members[static_cast<size_t>(t)] = 1;
        if (t == kTeams - 1) team.members[kCaller] = 1;
        team.treasury = 1000.0 * t;
        kelvane::TeamBytes b = kelvane::encode_team(team);
        teams.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    plat::rewrite_file(dir / "prog/teamfile.dat", teams);
    plat::rewrite_lines(dir / "info.1", {std::to_string(kCaller), "3", "", "", "60", "Player 149", "Player", "",
                                         "0", "", "", "", "", ""});
}

struct Times {
    double first_byte_ms = -1;
    double menu_ms = -1;
};

Times one_visit(const plat::testing::TempDir& dir) {
    uint16_t port = 0;
    int listener = plat::tcp_listen_loopback(port);
    int client = plat::tcp_connect_loopback(port);
    int server = plat::tcp_accept(listener, false);
    plat::close_fd(listener);

    plat::ChildSpec spec;
    spec.argv = {dir / "prog/kelvane", "1", "-H" + std::to_string(server), "-N1", "-T"};
    spec.cwd = dir.path();
    spec.inherit_fd = server;
    Times t;
    Clock::time_point start = Clock::now();
    int error = 0;
    int pid = plat::spawn_child(spec, error);
    plat::close_fd(server);
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s (error %d)\n", spec.argv[0].c_str(), error);
        std::exit(1);
    }
    std::string got;
    size_t clears_seen = 0;
    while (t.menu_ms < 0) {
        plat::WaitItem item{client, plat::io::in, 0};
        if (plat::wait_io(std::span<plat::WaitItem>(&item, 1), 5000) == 0) break;
        uint8_t buf[65536];
        plat::IoResult r = plat::read_fd(client, buf, sizeof buf);
        if (r.count <= 0) break;
        double now = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (t.first_byte_ms < 0) t.first_byte_ms = now;
        got.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(r.count));
        clears_seen = 0;
        for (size_t at = got.find(kClear); at != std::string::npos; at = got.find(kClear, at + 1)) ++clears_seen;
        if (clears_seen >= 2) t.menu_ms = now;
    }
    uint8_t quit = 'Q';
    plat::write_fd(client, &quit, 1);
    plat::wait_child(pid);
    plat::close_fd(client);
    return t;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    std::string kelvane = argc > 2 ? argv[2] : plat::program_dir() + "kelvane";
    if (!plat::file_exists(kelvane)) {
        std::fprintf(stderr, "kelvane not found at %s\n", kelvane.c_str());
        return 1;
    }
    plat::testing::TempDir dir;
    write_game(dir, std::filesystem::absolute(kelvane).string());

    // The first visit of the day also builds the allowance table.
    Times first = one_visit(dir);
    std::vector<double> menu;
    std::vector<double> first_byte;
    for (int i = 0; i < runs; ++i) {
        Times t = one_visit(dir);
        if (t.menu_ms < 0) {
            std::fprintf(stderr, "run %d: the menu never arrived\n", i + 1);
            return 1;
        }
        menu.push_back(t.menu_ms);
        first_byte.push_back(t.first_byte_ms);
    }
    std::vector<double> sorted = menu;
    std::sort(sorted.begin(), sorted.end());
    std::printf("kelvane start-up, %d players, %d teams, %d runs\n", kPlayers, kTeams, runs);
    std::printf("  first visit of the day (with the daily reset): menu after %.2f ms\n", first.menu_ms);
    std::printf("  first byte of the session: median %.2f ms\n", median(first_byte));
    std::printf("  first byte of the team options menu: median %.2f ms, min %.2f ms, max %.2f ms\n",
                median(menu), sorted.front(), sorted.back());
    return 0;
}
