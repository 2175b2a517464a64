// The lobby a caller goes through: characters, module list, choices.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/temp_dir.hpp"
#include "tools/sandbox/lobby.hpp"
#include "tools/sandbox/sample_game.hpp"

namespace sandbox {
namespace {

class LobbyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string message;
        ASSERT_EQ(init_game(tmp_ / "game", "/bin/", false, message), InitResult::created);
        lobby_.start();
    }
    // What the lobby drew since the last call, its codes left out.
    std::string drawn() {
        std::string out;
        for (size_t i = 0; i < screen_.size(); ++i) {
            if (screen_[i] == '\x1b') {
                while (i < screen_.size() && !std::isalpha(static_cast<unsigned char>(screen_[i]))) ++i;
                continue;
            }
            out += screen_[i];
        }
        screen_.clear();
        return out;
    }

    plat::testing::TempDir tmp_;
    std::string screen_;
    Lobby lobby_{tmp_ / "game/", 3, [this](std::string_view t) { screen_ += t; }};
};

TEST_F(LobbyTest, ListsLivingSlotsThenModulesAndLaunchesThePickedOne) {
    std::string players = drawn();
    EXPECT_NE(players.find("node 3"), std::string::npos);
    EXPECT_NE(players.find("Aldric the Bold"), std::string::npos);
    EXPECT_EQ(players.find(" X "), std::string::npos);  // the deleted slot is not offered
    EXPECT_NE(players.find("Fiona"), std::string::npos);
    EXPECT_NE(players.find("dead"), std::string::npos);

    // The fifth listed character is Eamon, record 5 (record 4 is deleted).
    EXPECT_EQ(lobby_.feed("5\r"), Lobby::Event::none);
    std::string modules = drawn();
    EXPECT_NE(modules.find("Eamon"), std::string::npos);
    EXPECT_NE(modules.find("Team Options"), std::string::npos);
    EXPECT_NE(modules.find("Orvald's Timer"), std::string::npos);
    EXPECT_NE(modules.find("Door kit test"), std::string::npos);

    EXPECT_EQ(lobby_.feed("9\r"), Lobby::Event::none);
    EXPECT_NE(drawn().find("No such place: 9"), std::string::npos);

    // Typing with a correction; CR LF as a telnet client sends it; what
    // follows is kept for the module.
    EXPECT_EQ(lobby_.feed("7\b6\r\nabc"), Lobby::Event::launch);
    EXPECT_EQ(lobby_.choice().record, 5);
    EXPECT_EQ(lobby_.choice().player.name(), "Eamon");
    EXPECT_EQ(lobby_.choice().entry.title, "`7Door kit test");
    EXPECT_EQ(lobby_.take_leftover(), "abc");

    lobby_.returned("Door kit test ended with exit code 0.");
    std::string back = drawn();
    EXPECT_NE(back.find("Other places"), std::string::npos);
    EXPECT_NE(back.find("Door kit test ended with exit code 0."), std::string::npos);
    EXPECT_EQ(lobby_.feed("q\r"), Lobby::Event::quit);
}

TEST_F(LobbyTest, CharacterChoicesOutsideTheListAreRefused) {
    drawn();
    for (const char* wrong : {"0\r", "9\r", "abc\r", "1000000\r"}) {
        EXPECT_EQ(lobby_.feed(wrong), Lobby::Event::none) << wrong;
        EXPECT_NE(drawn().find("No such character"), std::string::npos) << wrong;
    }
    EXPECT_EQ(lobby_.feed("\r"), Lobby::Event::none);  // an empty line asks again
    EXPECT_EQ(lobby_.feed("Q\n"), Lobby::Event::quit);
}

TEST(BacktickCodes, RenderAsAnsiColoursAndStrip) {
    EXPECT_EQ(render_codes("`%Orvald`2's Timer"), "\x1b[1;37mOrvald\x1b[0;32m's Timer\x1b[0m");
    EXPECT_EQ(render_codes("a`)b`"), "ab\x1b[0m");  // unknown code and a lone back-tick show nothing
    EXPECT_EQ(strip_codes("`0Team `#Options"), "Team Options");
}

}  // namespace
}  // namespace sandbox
