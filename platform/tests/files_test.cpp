#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/paths.hpp"
#include "platform/testing/temp_dir.hpp"

using namespace plat;
using plat::testing::TempDir;

namespace {

int run_error_code(const std::function<void()>& f) {
    try {
        f();
    } catch (const RunError& e) {
        return e.code;
    }
    return 0;
}

}  // namespace

TEST(Paths, FindsExistingNamesIgnoringCaseAlongTheWholePath) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Game");
    dir.write("Game/player.dat", "x");

    std::string asked = dir.path() + "\\GAME\\PLAYER.DAT";
    EXPECT_EQ(resolve_path(asked), dir / "Game/player.dat");
    EXPECT_TRUE(file_exists(asked));
    // A name that does not exist keeps its case, so it is created as written.
    EXPECT_EQ(resolve_path(dir.path() + "/GAME/New.Txt"), dir / "Game/New.Txt");
}

TEST(Paths, SplitsNamesAtEitherSeparator) {
    EXPECT_EQ(base_name("C:\\DOOR\\RUNELOT.EXE"), "RUNELOT.EXE");
    EXPECT_EQ(dir_part("/bbs/doors/runelot"), "/bbs/doors/");
    EXPECT_EQ(dir_part("runelot"), "");
    EXPECT_EQ(program_dir().back(), '/');
}

TEST(TextReader, EndsLinesAtCrLfLfOrLoneCrAndCutsThem) {
    TempDir dir;
    dir.write("t.txt", "one\r\ntwo\nthree\rfour-is-long\r\n\r\nlast");
    TextReader r;
    r.open(dir / "T.TXT");
    std::vector<std::string> got;
    while (!r.eof()) got.push_back(r.read_line(4));
    EXPECT_EQ(got, (std::vector<std::string>{"one", "two", "thre", "four", "", "last"}));
    EXPECT_EQ(r.read_line(), "");  // past the end a line reads empty
}

TEST(TextWriter, WritesCrLfAndAppends) {
    TempDir dir;
    TextWriter w;
    w.create(dir / "out.txt");
    w.write_line("a");
    w.close();
    w.append(dir / "OUT.TXT");
    w.write("b");
    w.write_line();
    w.close();
    EXPECT_EQ(dir.read("out.txt"), "a\r\nb\r\n");
    EXPECT_EQ(run_error_code([&] { w.append(dir / "missing.txt"); }), 2);
}

TEST(RecordFile, ReadsAndWritesWholeRecordsAndReadPastEndIsError100) {
    TempDir dir;
    RecordFile f(4);
    f.create(dir / "r.dat");
    std::array<uint8_t, 4> a{1, 2, 3, 4}, b{5, 6, 7, 8}, got{};
    f.write(a);
    f.write(b);
    EXPECT_EQ(f.record_count(), 2);
    f.seek(1);
    f.read(got);
    EXPECT_EQ(got, b);
    EXPECT_EQ(run_error_code([&] { f.read(got); }), rte::read_past_end);
    f.close();

    dir.write("short.dat", "xyz");  // less than one record
    f.open(dir / "short.dat");
    EXPECT_EQ(run_error_code([&] { f.read(got); }), rte::read_past_end);
    EXPECT_EQ(run_error_code([&] { RecordFile(4).open(dir / "none.dat"); }), rte::file_not_found);
}

TEST(Sharing, ExclusiveOpenInAnotherProcessDeniesAccessUntilReleased) {
    TempDir dir;
    dir.write("player.dat", std::string(236, '\0'));
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    if (child == 0) {
        RecordFile f(236);
        int code = f.try_open(dir / "player.dat", Access::read_write, Share::exclusive);
        char c = code == 0 ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(release[0], &c, 1);
        f.close();
        (void)!write(ready[1], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');

    RecordFile mine(236);
    EXPECT_EQ(mine.try_open(dir / "PLAYER.DAT"), rte::access_denied);
    TextReader reader;
    EXPECT_EQ(reader.try_open(dir / "player.dat"), rte::access_denied);

    (void)!write(release[1], &c, 1);
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    EXPECT_EQ(mine.try_open(dir / "PLAYER.DAT"), 0);
    int status = 0;
    waitpid(child, &status, 0);
}

TEST(Sharing, DenyWriteAdmitsReadersButNotWriters) {
    TempDir dir;
    dir.write("f.dat", "abcd");
    FileHandle writer_denier;
    ASSERT_EQ(writer_denier.try_open(dir / "f.dat", Access::read, Share::deny_write), 0);
    FileHandle reader, writer;
    EXPECT_EQ(reader.try_open(dir / "f.dat", Access::read, Share::deny_none), 0);
    EXPECT_EQ(writer.try_open(dir / "f.dat", Access::read_write, Share::deny_none), rte::access_denied);
    // An open that would deny writes while someone writes is refused too.
    writer_denier.close();
    ASSERT_EQ(writer.try_open(dir / "f.dat", Access::read_write, Share::deny_none), 0);
    EXPECT_EQ(writer_denier.try_open(dir / "f.dat", Access::read, Share::deny_write), rte::access_denied);
}

TEST(Files, RenameDeleteAndWildcardSearch) {
    TempDir dir;
    for (auto name : {"tup1.3", "TUP2.3", "tup3.4", "tup4", "other.3"}) dir.write(name, "");
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(sorted(find_files(dir.path(), "tup*.3")), (std::vector<std::string>{"TUP2.3", "tup1.3"}));
    EXPECT_EQ(sorted(find_files(dir.path(), "tup*.*")),
              (std::vector<std::string>{"TUP2.3", "tup1.3", "tup3.4", "tup4"}));

    rename_file(dir / "TUP1.3", dir / "moved.3");
    EXPECT_TRUE(dir.exists("moved.3"));
    delete_file(dir / "MOVED.3");
    EXPECT_FALSE(dir.exists("moved.3"));
    EXPECT_EQ(try_delete_file(dir / "moved.3"), rte::file_not_found);
}

TEST(Files, RewriteReplacesTheWholeFile) {
    TempDir dir;
    dir.write("3rdparty.dat", "old\r\n");
    rewrite_lines(dir / "3RDPARTY.DAT", {"a", "b"});
    EXPECT_EQ(dir.read("3rdparty.dat"), "a\r\nb\r\n");
    EXPECT_EQ(read_lines(dir / "3rdparty.dat"), (std::vector<std::string>{"a", "b"}));
}
