#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/halt.hpp"

using namespace plat;

class ExitChain : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }
};

TEST_F(ExitChain, RunsHandlersNewestFirstEachOnce) {
    std::string order;
    int code = run_program([&] {
        push_exit_handler([&] { order += "kit;"; });
        push_exit_handler([&] { order += "module;"; });
        halt(3);
    });
    EXPECT_EQ(order, "module;kit;");
    EXPECT_EQ(code, 3);
    EXPECT_FALSE(exit_state().runtime_error);
}

TEST_F(ExitChain, HaltInsideHandlerChangesCodeAndChainGoesOn) {
    std::string order;
    int code = run_program([&] {
        push_exit_handler([&] { order += "kit;"; });
        push_exit_handler([&] {
            order += "module;";
            halt(255);
        });
    });
    EXPECT_EQ(order, "module;kit;");
    EXPECT_EQ(code, 255);
}

TEST_F(ExitChain, RunErrorRecordsCodeAndFlag) {
    int seen = -1;
    bool flagged = false;
    int code = run_program([&] {
        push_exit_handler([&] {
            seen = exit_state().exit_code;
            flagged = exit_state().runtime_error;
        });
        run_error(rte::file_not_open);
    });
    EXPECT_EQ(code, 103);
    EXPECT_EQ(seen, 103);
    EXPECT_TRUE(flagged);
}

int failing_main(int, char**) { run_error(rte::range_check); }

TEST_F(ExitChain, RunErrorCodeBecomesProcessExitStatus) {
    pid_t child = fork();
    if (child == 0) {
        char* argv[] = {nullptr};
        _exit(run_program(0, argv, failing_main));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 201);
}

TEST(Errno, MapsToClassicCodes) {
    EXPECT_EQ(error_code_from_errno(ENOENT), 2);
    EXPECT_EQ(error_code_from_errno(ENOTDIR), 3);
    EXPECT_EQ(error_code_from_errno(EMFILE), 4);
    EXPECT_EQ(error_code_from_errno(EACCES), 5);
    EXPECT_EQ(error_code_from_errno(ENOSPC), 101);
}
