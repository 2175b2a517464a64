#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/error_report.hpp"
#include "kit/testing/scripted_caller.hpp"
#include "platform/halt.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace common;
using plat::testing::TempDir;

TEST(ErrorReport, TextTablesGivePrefixAndTextOrTheNumber) {
    struct {
        int code;
        std::string want;
    } runtime[] = {
        {2, "DOS ERROR      :File not found"},
        {17, "DOS ERROR      :Can't rename across drives"},
        {50, "DOS ERROR      :50"},
        {100, "I/O ERROR      :Disk read error, read past eof on Typed File"},
        {103, "I/O ERROR      :File not open"},
        {149, "I/O ERROR      :149"},
        {162, "CRITICAL ERROR :Hardware failure"},
        {203, "FATAL ERROR    :Heap overflow (Not enough memory to run)"},
        {207, "FATAL ERROR    :Bad floating point operation"},
        {0, "UNKNOWN ERROR  :0"},
        {300, "UNKNOWN ERROR  :300"},
    };
    for (const auto& c : runtime) EXPECT_EQ(runtime_error_text(c.code), c.want) << c.code;

    struct {
        int code;
        std::string want;
    } reasons[] = {
        {0, "Normal Termination"}, {1, "Carrier Lost"}, {8, "Forced Exit via RAXIT Semaphore"},
        {9, "Cannot Find Door.Sys"}, {10, "10"}, {255, "255"},
    };
    for (const auto& c : reasons) EXPECT_EQ(exit_reason_text(c.code), c.want) << c.code;
}

class ExitReport : public ::testing::Test {
protected:
    void SetUp() override { dir.enter(); }
    TempDir dir;
    kit::testing::ScriptedCaller caller{{.start_session = false}};
};

TEST_F(ExitReport, ExitCode255IsAppendedToTheLogAndShownThenPauses) {
    dir.write("error.log", "earlier\r\n");
    int code = caller.run([] {
        plat::push_exit_handler(write_exit_report);
        plat::halt(255);
    });
    EXPECT_EQ(code, 255);
    EXPECT_EQ(dir.read("error.log"),
              "earlier\r\n"
              "Date : 2026-12-11 10:00:00\r\n"
              "Program Termination\r\n"
              "255\r\n");
    EXPECT_EQ(caller.screen_row(1), "Date : 2026-12-11 10:00:00");
    EXPECT_EQ(caller.screen_row(2), "");
    EXPECT_EQ(caller.screen_row(3), "Program Termination");
    EXPECT_EQ(caller.screen_row(4), "255");
    EXPECT_EQ(caller.clock().now_ms(), 10 * 3600 * 1000 + 1000);
}

TEST_F(ExitReport, RunTimeError103IsReportedOnceWithItsText) {
    int code = caller.run([] {
        plat::push_exit_handler(write_exit_report);
        plat::run_error(plat::rte::file_not_open);
    });
    EXPECT_EQ(code, 103);
    const char* lines[] = {
        "Date : 2026-12-11 10:00:00", "Run-time error occurred", "Exitcode = 103",
        "I/O ERROR      :File not open", "Address of error:", "  Segment: 0000", "  Offset:  0167",
    };
    std::string want;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(caller.screen_row(i + 1), lines[i]);
        want += std::string(lines[i]) + "\r\n";
    }
    want += std::string(48, '-') + "\r\n";
    EXPECT_EQ(dir.read("ERROR.LOG"), want);  // created, as none was there
    EXPECT_EQ(plat::exit_state().error_address, 0u);
    EXPECT_TRUE(plat::exit_state().runtime_error);
}

TEST_F(ExitReport, ANormalEndWritesNothing) {
    int code = caller.run([] { plat::push_exit_handler(write_exit_report); });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(dir.exists("ERROR.LOG"));
    EXPECT_EQ(caller.screen_text().find_first_not_of('\n'), std::string::npos);
}

TEST_F(ExitReport, AnUnwritableLogStillLeavesTheScreenLines) {
    std::filesystem::create_directory(dir / "ERROR.LOG");  // cannot be opened as a file
    int code = caller.run([] {
        plat::push_exit_handler(write_exit_report);
        plat::halt(7);
    });
    EXPECT_EQ(code, 7);
    EXPECT_EQ(caller.screen_row(4), "CTS Timeout");
}
