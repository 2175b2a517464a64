// The nightly draw: the winning numbers, the winning rules, the console
// lines, the mail, and what happens to the ticket files around the run.
#include <gtest/gtest.h>

#include "lottery/draw.hpp"
#include "lottery/tests/lottery_fixture.hpp"
#include "platform/halt.hpp"

using kit::testing::ScriptedCaller;
using lottery::testing::Booth;
using lottery::testing::crlf;
using lottery::testing::no_session;
using namespace lottery;

namespace {

// Script values for DrawNumbers (taken modulo 10, 10 and 20, plus one):
// Pick 1 draws 10, Pick 3 draws 9, 2, 7 and Pick 6 draws 6, 5, 4, 3, 2, 1.
void script_draw(plat::ScriptedRandom& random) {
    for (int32_t v : {9, 8, 1, 6, 5, 4, 3, 2, 1, 0}) random.push(v);
}

std::vector<std::string> mail_lines(const char* congratulation, const char* bank) {
    return {congratulation, "`0It has been added to your account.", bank, ""};
}

const std::vector<std::string> kPick1Mail =
    mail_lines("`@Congrats!  `0You won  `$$10,000  `0gold in the Pick 1.", "`b10000");
const std::vector<std::string> kPick3Mail =
    mail_lines("`@Congrats!  `0You won  `$$100,000  `0gold in the Pick 3.", "`b100000");
const std::vector<std::string> kPick6Mail =
    mail_lines("`@Congrats!  `0You won  `$$10,000,000  `0gold in the Pick 6.", "`b10000000");

// The program's folder with its ticket files, a separate host directory
// for the mail, and the console lines of each run.
struct Draw {
    plat::testing::TempDir dir;
    plat::testing::TempDir host;
    std::vector<std::string> console;
    // Called with every console line as it is written.
    std::function<void(const std::string&)> on_line;

    // One run of the draw with the scripted numbers; returns the exit code.
    int run() {
        console.clear();
        plat::ScriptedRandom random;
        script_draw(random);
        plat::ScopedRandom use(random);
        ScriptedCaller caller(no_session());
        caller.local_keys(" ");  // the closing screen's pause
        DrawRun run{dir.path() + "/", host.path() + "/", [this](std::string_view line) {
                        console.emplace_back(line);
                        if (on_line) on_line(std::string(line));
                    }};
        int code = caller.run([&] { MaintenanceRun(run); });
        closing_screen = caller.screen_contains("Returning you to the realm of the Dragon...");
        return code;
    }
    bool closing_screen = false;
};

}  // namespace

TEST(LotteryDrawNumbers, RedrawsAnyNumberAlreadyDrawnForTheGame) {
    // Pick 3: 5, 5 again, 7, then 5 and 7 again before 2. Pick 6: 1, 1
    // again, 2, 2 again, then 3 to 6.
    plat::ScriptedRandom random{0, 4, 4, 6, 4, 6, 1, 0, 0, 1, 1, 2, 3, 4, 5};
    plat::ScopedRandom use(random);
    WinningNumbers w = DrawNumbers();
    EXPECT_EQ(w.pick1, 1);
    EXPECT_EQ(w.pick3, (std::array<int32_t, 3>{5, 7, 2}));
    EXPECT_EQ(w.pick6, (std::array<int32_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(random.draws, 15);
}

TEST(LotteryWinningRule, EveryTicketNumberMustBeAmongTheWinningOnesOrTheFirstIsTheHouseNumber) {
    struct Case {
        std::vector<int32_t> ticket;
        std::vector<int32_t> winning;
        bool wins;
    } cases[] = {
        {{3}, {10}, false},
        {{10}, {10}, true},
        {{2, 7, 9}, {9, 2, 7}, true},  // order does not matter
        {{2, 7, 8}, {9, 2, 7}, false},
        {{5, 5, 5}, {1, 5, 9}, true},  // a repeated number needs to be drawn once
        {{5, 5, 5}, {1, 4, 9}, false},
        {{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}, true},
        {{1, 2, 3, 4, 5, 7}, {6, 5, 4, 3, 2, 1}, false},
        {{5837}, {4}, true},
        {{5837, 99, 99}, {1, 2, 3}, true},
        {{1, 5837, 2}, {1, 2, 3}, false},  // the house number wins only first
    };
    for (const Case& c : cases) {
        Ticket t{0, c.ticket};
        EXPECT_EQ(TicketWins(t, c.winning), c.wins) << ::testing::PrintToString(c.ticket);
    }
}

TEST(LotteryDraw, PaysEveryWinnerOfEachGameAndEmptiesTheTicketFiles) {
    Draw d;
    d.dir.write("lottery1.dat", crlf({"1", "3", "2", "10"}));
    d.dir.write("lottery2.dat", crlf({"3", "2", "7", "9",  "4", "2", "7", "8",  "5", "5837", "1", "1",
                                      "9", "2", "2", "2",  "10", "5", "5", "5"}));
    d.dir.write("lottery3.dat", crlf({"6", "1", "2", "3", "4", "5", "7",  "7", "1", "2", "3", "4", "5", "6",
                                      "8", "6", "6", "6", "6", "6", "6",  "11", "5837", "99", "99", "99", "99", "99"}));
    d.host.write("mail7.dat", "`.An older message\r\n");

    EXPECT_EQ(d.run(), 0);
    EXPECT_EQ(d.console, (std::vector<std::string>{
                             "Picking winners numbers...", "", "",
                             "Winning number for lottery #1: 10", "",
                             "Winning numbers for lottery #2: 9, 2, 7", "",
                             "Winning numbers for lottery #3: 6, 5, 4, 3, 2, 1",
                             "", "Checking for winners in lottery #1",
                             "", "Sending mail to player #2 for winning lottery #1.",
                             "", "Checking for winners in lottery #2",
                             "Sending mail to player #3 for winning lottery #2.",
                             "Sending mail to player #5 for winning lottery #2.",
                             "Sending mail to player #9 for winning lottery #2.",
                             "", "Checking for winners in lottery #3",
                             "Sending mail to player #7 for winning the jackpot lottery #3!",
                             "Sending mail to player #8 for winning the jackpot lottery #3!",
                             "Sending mail to player #11 for winning the jackpot lottery #3!"}));
    EXPECT_TRUE(d.closing_screen);

    EXPECT_EQ(d.host.read("mail2.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.host.read("mail3.dat"), crlf(kPick3Mail));
    EXPECT_EQ(d.host.read("mail5.dat"), crlf(kPick3Mail));
    EXPECT_EQ(d.host.read("mail7.dat"), "`.An older message\r\n" + crlf(kPick6Mail));
    for (const char* loser : {"mail1.dat", "mail4.dat", "mail6.dat", "mail10.dat"})
        EXPECT_FALSE(d.host.exists(loser)) << loser;

    for (const char* tickets : {"lottery1.dat", "lottery2.dat", "lottery3.dat"}) {
        EXPECT_TRUE(d.dir.exists(tickets)) << tickets;
        EXPECT_EQ(d.dir.read(tickets), "") << tickets;
    }
    for (const char* aside : {"lottery1.drw", "lottery2.drw", "lottery3.drw"}) EXPECT_FALSE(d.dir.exists(aside));

    // A second run finds only what was bought in between: the house number.
    d.dir.write("lottery1.dat", crlf({"4", "5837"}));
    EXPECT_EQ(d.run(), 0);
    EXPECT_EQ(d.host.read("mail4.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.host.read("mail2.dat"), crlf(kPick1Mail));
}

TEST(LotteryDraw, MissingTicketFilesAreSkippedAndNotCreated) {
    Draw d;
    d.dir.write("lottery2.dat", crlf({"3", "2", "7", "9"}));
    EXPECT_EQ(d.run(), 0);
    EXPECT_FALSE(d.dir.exists("lottery1.dat"));
    EXPECT_EQ(d.dir.read("lottery2.dat"), "");
    EXPECT_FALSE(d.dir.exists("lottery3.dat"));
    EXPECT_EQ(d.host.read("mail3.dat"), crlf(kPick3Mail));
    // Without the Pick 6 file the run ends after its check, without the
    // closing screen.
    EXPECT_EQ(d.console.back(), "Checking for winners in lottery #3");
    EXPECT_FALSE(d.closing_screen);
}

TEST(LotteryDraw, ABadTicketLineEndsTheRunAndKeepsThatGamesTicketsForTheNextRun) {
    Draw d;
    const std::string pick3 = crlf({"3", "2", "x", "9",  "4", "1", "2", "3"});
    const std::string pick6 = crlf({"7", "1", "2", "3", "4", "5", "6"});
    d.dir.write("lottery1.dat", crlf({"2", "10"}));
    d.dir.write("lottery2.dat", pick3);
    d.dir.write("lottery3.dat", pick6);

    EXPECT_EQ(d.run(), plat::rte::bad_numeric_format);
    EXPECT_EQ(d.console.back(), "Runtime error 106");
    EXPECT_FALSE(d.closing_screen);
    EXPECT_EQ(d.host.read("mail2.dat"), crlf(kPick1Mail));  // Pick 1 came first
    EXPECT_FALSE(d.host.exists("mail3.dat"));
    EXPECT_FALSE(d.host.exists("mail7.dat"));
    EXPECT_EQ(d.dir.read("lottery2.drw"), pick3);  // kept whole
    EXPECT_EQ(d.dir.read("lottery2.dat"), "");
    EXPECT_EQ(d.dir.read("lottery3.dat"), pick6);  // never reached

    // A caller buys meanwhile; the next run reads the kept tickets again
    // and stops at the same line, paying nobody twice.
    StoreTicket(d.dir.path() + "/", kPick3, 12, std::vector<int32_t>{9, 2, 7});
    EXPECT_EQ(d.run(), plat::rte::bad_numeric_format);
    EXPECT_EQ(d.host.read("mail2.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.dir.read("lottery2.drw"), pick3);
    EXPECT_EQ(d.dir.read("lottery2.dat"), crlf({"12", "9", "2", "7"}));

    // Once the sysop has mended the line, every kept ticket takes part.
    d.dir.write("lottery2.drw", crlf({"3", "2", "7", "9",  "4", "1", "2", "3"}));
    EXPECT_EQ(d.run(), 0);
    EXPECT_EQ(d.host.read("mail3.dat"), crlf(kPick3Mail));
    EXPECT_EQ(d.host.read("mail12.dat"), crlf(kPick3Mail));
    EXPECT_FALSE(d.host.exists("mail4.dat"));
    EXPECT_EQ(d.host.read("mail7.dat"), crlf(kPick6Mail));
    EXPECT_FALSE(d.dir.exists("lottery2.drw"));
    EXPECT_EQ(d.dir.read("lottery2.dat"), "");
}

TEST(LotteryDraw, TicketsThatCannotNameAMailFileAreBadLines) {
    for (const char* record : {"../x", "-1", "", "7a"}) {
        SCOPED_TRACE(record);
        Draw d;
        d.dir.write("lottery1.dat", crlf({record, "5837"}));
        EXPECT_EQ(d.run(), plat::rte::bad_numeric_format);
        EXPECT_TRUE(d.dir.exists("lottery1.drw"));
    }
}

TEST(LotteryDraw, ATicketBoughtDuringTheRunGoesToTheNextDraw) {
    Draw d;
    d.dir.write("lottery1.dat", crlf({"2", "10"}));
    d.dir.write("lottery2.dat", "");
    d.dir.write("lottery3.dat", "");
    d.on_line = [&](const std::string& line) {
        if (line != "Sending mail to player #2 for winning lottery #1.") return;
        // A caller who opens the ticket file after it was moved aside
        // starts the fresh one; one whose append was already under way
        // lands in the moved file after it was read.
        StoreTicket(d.dir.path() + "/", kPick1, 42, std::vector<int32_t>{5837});
        AppendCreating(d.dir / "lottery1.drw", crlf({"43", "5837"}));
    };
    EXPECT_EQ(d.run(), 0);
    EXPECT_FALSE(d.host.exists("mail42.dat"));
    EXPECT_FALSE(d.host.exists("mail43.dat"));
    EXPECT_EQ(d.dir.read("lottery1.dat"), crlf({"42", "5837", "43", "5837"}));

    d.on_line = nullptr;
    EXPECT_EQ(d.run(), 0);
    EXPECT_EQ(d.host.read("mail42.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.host.read("mail43.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.host.read("mail2.dat"), crlf(kPick1Mail));
    EXPECT_EQ(d.dir.read("lottery1.dat"), "");
}

TEST(LotteryDraw, ManyTicketsAreAllChecked) {
    Draw d;
    std::vector<std::string> lines;
    for (int r = 0; r < 150; ++r) {
        lines.push_back(std::to_string(r));
        lines.push_back(r % 2 == 0 ? "10" : "3");
    }
    d.dir.write("lottery1.dat", crlf(lines));
    d.dir.write("lottery3.dat", "");
    EXPECT_EQ(d.run(), 0);
    EXPECT_TRUE(d.host.exists("mail148.dat"));
    EXPECT_FALSE(d.host.exists("mail149.dat"));
    size_t sent = 0;
    for (const std::string& line : d.console) sent += line.starts_with("Sending mail") ? 1 : 0;
    EXPECT_EQ(sent, 75u);
}

TEST(LotteryProgram, SlashMRunsTheDrawWithoutASession) {
    for (const char* param : {"/M", "/m"}) {
        SCOPED_TRACE(param);
        Booth booth;
        plat::testing::TempDir host;
        booth.dir.write("lottery.CFG", crlf({host.path() + "/"}));
        booth.dir.write("lottery3.dat", crlf({"1", "5837", "1", "1", "1", "1", "1"}));
        ScriptedCaller caller(no_session());
        caller.local_keys(" ");
        plat::ScriptedRandom random;
        script_draw(random);
        EXPECT_EQ(booth.run_with(caller, {param}, random), 0);
        EXPECT_EQ(host.read("mail1.dat"), crlf(kPick6Mail));
        EXPECT_EQ(booth.dir.read("lottery3.dat"), "");
        EXPECT_FALSE(booth.dir.exists("MAINT.DAT"));  // no caller's start-up
    }
}
