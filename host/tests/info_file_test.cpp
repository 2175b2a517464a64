#include <gtest/gtest.h>

#include <string>

#include "host/info_file.hpp"
#include "platform/testing/temp_dir.hpp"

using plat::testing::TempDir;

namespace {

const std::string kLongName = "`%Sir Reginald Fortescue-Smythe the Third";  // 41 characters

std::string info_text() {
    std::string lines[] = {"7", "3", "", "FAIRY NO", "45", kLongName, "Reginald", "Smythe",
                           "0", "", "", "TELNET", "", "CLEAN MODE OFF"};
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

}  // namespace

TEST(InfoFile, ReadsFourteenLinesCutToThirtyCharacters) {
    TempDir dir;
    dir.write("INFO.3", info_text() + "a fifteenth line\r\n");
    host::InfoFile info = host::read_info_file(dir / host::info_file_name("3"));
    ASSERT_EQ(info.lines.size(), 14u);
    EXPECT_EQ(info.record_number().value, 7);
    EXPECT_TRUE(info.record_number().ok);
    EXPECT_EQ(info.line(6), kLongName.substr(0, 30));
    EXPECT_EQ(info.caller_name(), "Sir Reginald Fortescue-Smyth");
    EXPECT_EQ(info.line(15), "");

    dir.write("info.4", "12\r\n");  // a short file reads what it has
    host::InfoFile short_info = host::read_info_file(dir / "info.4");
    EXPECT_EQ(short_info.lines.size(), 1u);
    EXPECT_EQ(short_info.caller_name(), "");
}

TEST(InfoFile, RewriteReplacesLineFiveAndKeepsTheOthersWhole) {
    TempDir dir;
    dir.write("info.3", info_text());
    host::rewrite_info_minutes(dir / "info.3", 12);
    std::string want = info_text();
    want.replace(want.find("\r\n45\r\n"), 6, "\r\n12\r\n");
    EXPECT_EQ(dir.read("info.3"), want);

    dir.write("info.5", "7\r\n3\r\n");
    host::rewrite_info_minutes(dir / "info.5", 0);
    std::string nine_empty;
    for (int i = 0; i < 9; ++i) nine_empty += "\r\n";
    EXPECT_EQ(dir.read("info.5"), "7\r\n3\r\n\r\n\r\n0\r\n" + nine_empty);
}
