#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/mail.hpp"
#include "host/news.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace host;
using plat::testing::TempDir;

namespace {

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

const std::vector<std::string> kMessage = {"`.  `%TEAM ATTACK RESULTS!", kMailSeparator, "`.  `2You won.", ""};

}  // namespace

TEST(Mail, FileNameIsMailAndTheRecordNumber) {
    EXPECT_EQ(mail_file_name("", 7), "mail7.dat");
    EXPECT_EQ(mail_file_name("/bbs/drakmoor/", 149), "/bbs/drakmoor/mail149.dat");
}

TEST(Mail, KelvaneCreatesAMissingFileWithItsFirstLineOrAppends) {
    struct {
        const char* what;
        const char* existing;  // nullptr: no file yet
        MailFirstLine first;
        bool lock;
        std::string want;
    } cases[] = {
        {"new, team fight", nullptr, MailFirstLine::dot, true, "`.\r\n" + crlf(kMessage)},
        {"new, invasion", nullptr, MailFirstLine::empty, false, "\r\n" + crlf(kMessage)},
        {"new, team message", nullptr, MailFirstLine::none, true, crlf(kMessage)},
        {"existing, team fight", "`.\r\nold mail\r\n\r\n", MailFirstLine::dot, true,
         "`.\r\nold mail\r\n\r\n" + crlf(kMessage)},
        {"existing, invasion", "old\r\n", MailFirstLine::empty, false, "old\r\n" + crlf(kMessage)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.existing) dir.write("MAIL7.DAT", c.existing);
        kelvane_send_mail(mail_file_name(dir.path() + "/", 7), kMessage, c.first, c.lock);
        EXPECT_EQ(dir.read(c.existing ? "MAIL7.DAT" : "mail7.dat"), c.want) << c.what;
        EXPECT_FALSE(dir.exists("mail7.daX")) << c.what;
        EXPECT_FALSE(dir.exists("MAIL7.DAX")) << c.what;
    }
}

TEST(Mail, LotteryAddsTheGoldLineAndAnEmptyLine) {
    TempDir dir;
    std::vector<std::string> lines = {"`@Congrats!  `0You won  `$$10,000  `0gold in the Pick 1."};
    lottery_send_mail(dir / "mail3.dat", lines, 10000);
    std::string first = lines[0] + "\r\n`b10000\r\n\r\n";
    EXPECT_EQ(dir.read("mail3.dat"), first);
    lottery_send_mail(dir / "MAIL3.DAT", lines, 5);
    EXPECT_EQ(dir.read("mail3.dat"), first + lines[0] + "\r\n`b5\r\n\r\n");
}

TEST(News, EntriesGetTheirPrefixAndThe55CharacterSeparator) {
    EXPECT_EQ(std::string(kNewsSeparator).size(), 55u);
    TempDir dir;
    dir.write("LOGNOW.TXT", "today\r\n");
    EXPECT_TRUE(append_news(dir / "lognow.txt", {"  `5Bob`2 fought.", "  `2It was close."}));
    EXPECT_TRUE(append_news(dir / "lognow.txt", {"  `5Ann`2 broke in."}, true));
    EXPECT_EQ(dir.read("LOGNOW.TXT"), std::string("today\r\n") +
                                          "`.  `5Bob`2 fought.\r\n`.  `2It was close.\r\n" + kNewsSeparator +
                                          "\r\n`.  `5Ann`2 broke in.\r\n" + kNewsSeparator + "\r\n\r\n");
    EXPECT_FALSE(dir.exists("LOGNOW.TXX"));
}

TEST(News, AMissingNewsFileDropsTheEntry) {
    TempDir dir;
    EXPECT_FALSE(append_news(dir / "lognow.txt", {"  lost"}));
    EXPECT_FALSE(dir.exists("lognow.txt"));
    EXPECT_FALSE(dir.exists("lognow.txX"));
}
