// A scripted caller for screen tests: builds the kit with an in-memory
// channel, a scripted local keyboard and a fake clock, runs a piece of a
// program as run_program does, and shows what the caller saw.
//
// When the scripted keys run out the caller hangs up (by default), so a
// screen that waits for more keys ends through the carrier-lost path and
// the program's exit chain, just as a real dropped caller would.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "kit/door_session.hpp"
#include "platform/clock.hpp"

namespace kit::testing {

class ScriptedCaller {
public:
    struct Options {
        bool start_session = true;   // false: no session (CONFIG, MAINT runs)
        bool remote = true;          // a remote caller on the in-memory channel
        bool local_keyboard = true;  // false: a run with no terminal (a nightly batch)
        int32_t user_record = 0;
        std::string name = "Tester"; // real name and alias
        int32_t node = 1;
        int32_t time_allowed = 3600;
        plat::LocalDate date{2026, 12, 11};
        int32_t start_ms = 10 * 3600 * 1000;  // 10:00:00
        bool hang_up_when_done = true;
        Flavour flavour = Flavour::standard;
    };

    ScriptedCaller();
    explicit ScriptedCaller(Options options);
    ~ScriptedCaller();
    ScriptedCaller(const ScriptedCaller&) = delete;
    ScriptedCaller& operator=(const ScriptedCaller&) = delete;

    // Keys the remote caller types (queued in order).
    void keys(std::string_view bytes);
    // Keys typed on the local keyboard (two-byte keys as "\0" + scan code).
    void local_keys(std::string_view bytes);

    // Runs body as a program would: body, then the exit chain; returns the
    // exit code. The session is reset before each run.
    int run(const std::function<void()>& body);

    // Bytes sent to the caller so far.
    const std::string& transcript() const;
    std::string take_transcript();
    // A row of the local screen (1-25), trailing blanks removed.
    std::string screen_row(int row) const;
    // Rows 1-24, each with trailing blanks removed, joined by "\n".
    std::string screen_text() const;
    bool screen_contains(std::string_view text) const;
    // Attribute byte of a cell of the local screen (column and row from 1).
    uint8_t screen_attr(int column, int row) const;

    plat::FakeClock& clock();
    DoorSession& session();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// How many times part occurs in text (overlapping occurrences count).
size_t count_of(std::string_view text, std::string_view part);

}  // namespace kit::testing
