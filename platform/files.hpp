// Files on POSIX with the behaviour the game's programs expect.
//
// Every name goes through resolve_path, so "\" separators and any letter
// case find an existing file. Operations named try_* return a classic
// error code (0 = success) for opens a screen tests; the others raise a
// run-time error (halt.hpp) when they fail.
//
// Sharing modes of the original opens are emulated with open-file-description
// locks on marker bytes far beyond any real file end, so they never touch
// the data locks of anyone else: an open whose access another open denies,
// or that would deny an access another open holds, fails with code 5.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class Access { read, write, read_write };
enum class Share { deny_none, deny_write, deny_read, exclusive };

// An open file descriptor with its sharing locks; closes on destruction.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // flags: O_* open flags besides the access mode (O_CREAT, O_TRUNC, ...).
    int try_open(std::string_view path, Access access, Share share, int flags = 0);

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close();

private:
    int fd_ = -1;
    int lock_fd_ = -1;  // holds the sharing locks
};

// A file of fixed-size records, as typed files are used by the game.
class RecordFile {
public:
    explicit RecordFile(size_t record_size) : record_size_(record_size) {}

    int try_open(std::string_view path, Access access = Access::read_write,
                 Share share = Share::deny_none);
    void open(std::string_view path, Access access = Access::read_write,
              Share share = Share::deny_none);
    // Creates the file empty (truncating an existing one).
    int try_create(std::string_view path);
    void create(std::string_view path);

    void seek(int64_t record);
    // A short read is run-time error 100.
    void read(std::span<uint8_t> record);
    void write(std::span<const uint8_t> record);
    // False at end of file, true when a whole record was read; other
    // failures are run-time errors.
    bool try_read(std::span<uint8_t> record);
    int64_t record_count() const;
    int64_t position() const { return position_; }
    bool eof() const { return position_ >= record_count(); }
    bool is_open() const { return file_.is_open(); }
    void close() { file_.close(); }

private:
    void require_open() const;

    size_t record_size_;
    FileHandle file_;
    int64_t position_ = 0;
};

// Reads a text file line by line. CR LF, LF or a lone CR end a line; a last
// line without an end is a line. Lines are cut to the caller's maximum.
class TextReader {
public:
    int try_open(std::string_view path);
    void open(std::string_view path);
    bool is_open() const { return open_; }
    bool eof() const { return !open_ || pos_ >= data_.size(); }
    // The next line cut to max characters; empty at end of file.
    std::string read_line(size_t max = 255);
    void close();

private:
    std::string data_;
    size_t pos_ = 0;
    bool open_ = false;
};

// Writes a text file with CR LF line ends. Text is collected and written in
// one piece when the file is closed (or flushed), so an append lands whole.
class TextWriter {
public:
    ~TextWriter();
    int try_create(std::string_view path);
    void create(std::string_view path);
    int try_append(std::string_view path);
    void append(std::string_view path);
    bool is_open() const { return file_.is_open(); }
    void write(std::string_view text);
    void write_line(std::string_view text = {});
    void flush();
    void close();

private:
    FileHandle file_;
    std::string pending_;
};

// Whole-file helpers.
std::vector<std::string> read_lines(std::string_view path, size_t max = 255);
// Writes the lines (CR LF) to a temporary file beside path and renames it
// over path, so a crash leaves either the old or the new file.
void rewrite_lines(std::string_view path, const std::vector<std::string>& lines);
void rewrite_file(std::string_view path, std::string_view bytes);
std::optional<std::string> read_file(std::string_view path);

// Creates path only if it does not exist yet (atomically): 0 when this call
// created it, 80 when it already existed, another classic code on failure.
int try_create_new(std::string_view path);

bool file_exists(std::string_view path);       // a regular file
bool directory_exists(std::string_view path);
int try_delete_file(std::string_view path);
void delete_file(std::string_view path);
// Renames; across file systems it copies and deletes.
int try_rename_file(std::string_view from, std::string_view to);
void rename_file(std::string_view from, std::string_view to);

// Files of dir matching a DOS-style wildcard ("tup*.*", "tup*.3"), ignoring
// case, in directory order. Returns names without the directory.
std::vector<std::string> find_files(std::string_view dir, std::string_view pattern);
bool wildcard_match(std::string_view pattern, std::string_view name);

}  // namespace plat
