#include "platform/files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cctype>
#include <cstring>

#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace plat {

namespace {

// Marker bytes for the sharing emulation, far beyond any file end.
constexpr off_t kShareBase = static_cast<off_t>(0x7FFF0000) * 0x10000;
constexpr off_t kMeta = kShareBase;        // held while an open decides
constexpr off_t kHasRead = kShareBase + 1;  // shared by every open that reads
constexpr off_t kHasWrite = kShareBase + 2; // shared by every open that writes
constexpr off_t kDenyRead = kShareBase + 3; // shared by every open denying reads
constexpr off_t kDenyWrite = kShareBase + 4;// shared by every open denying writes

bool lock_byte(int fd, off_t at, short type, bool wait) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    for (;;) {
        if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// True when some other open holds a lock on the byte.
bool byte_held(int fd, off_t at) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
    return fl.l_type != F_UNLCK;
}

// Takes the sharing locks of an open; false when another open conflicts.
bool take_share(int fd, Access access, Share share) {
    bool reads = access != Access::write;
    bool writes = access != Access::read;
    bool deny_read = share == Share::deny_read || share == Share::exclusive;
    bool deny_write = share == Share::deny_write || share == Share::exclusive;

    // The decision is serialised by the meta byte; a descriptor that cannot
    // take it (a file we may only read) still checks and records its opens.
    bool meta = lock_byte(fd, kMeta, F_WRLCK, true);
    bool conflict = (reads && byte_held(fd, kDenyRead)) || (writes && byte_held(fd, kDenyWrite)) ||
                    (deny_read && byte_held(fd, kHasRead)) || (deny_write && byte_held(fd, kHasWrite));
    if (!conflict) {
        if (reads) lock_byte(fd, kHasRead, F_RDLCK, false);
        if (writes) lock_byte(fd, kHasWrite, F_RDLCK, false);
        if (deny_read) lock_byte(fd, kDenyRead, F_RDLCK, false);
        if (deny_write) lock_byte(fd, kDenyWrite, F_RDLCK, false);
    }
    if (meta) {
        struct flock fl {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = kMeta;
        fl.l_len = 1;
        ::fcntl(fd, F_OFD_SETLK, &fl);
    }
    return !conflict;
}

bool write_all(int fd, const char* data, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

int last_error() { return error_code_from_errno(errno); }

void check(int code) {
    if (code != 0) run_error(code);
}

}  // namespace

// ---- FileHandle ----------------------------------------------------------

FileHandle::~FileHandle() { close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(other.fd_), lock_fd_(other.lock_fd_) {
    other.fd_ = -1;
    other.lock_fd_ = -1;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        lock_fd_ = other.lock_fd_;
        other.fd_ = -1;
        other.lock_fd_ = -1;
    }
    return *this;
}

int FileHandle::try_open(std::string_view path, Access access, Share share, int flags) {
    close();
    int mode = access == Access::read ? O_RDONLY : access == Access::write ? O_WRONLY : O_RDWR;
    std::string real = resolve_path(path);
    if (real.empty()) return rte::file_not_found;
    bool truncate = (flags & O_TRUNC) != 0;
    int fd = ::open(real.c_str(), mode | (flags & ~O_TRUNC) | O_CLOEXEC, 0664);
    if (fd < 0) return last_error();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return rte::access_denied;
    }
    // Sharing locks live on a second descriptor that can hold both kinds of
    // lock whatever access the caller asked for.
    int lock_fd = ::open(real.c_str(), O_RDWR | O_CLOEXEC);
    if (lock_fd < 0) lock_fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock_fd >= 0 && !take_share(lock_fd, access, share)) {
        ::close(lock_fd);
        ::close(fd);
        return rte::access_denied;
    }
    if (truncate && ::ftruncate(fd, 0) != 0) {
        int code = last_error();
        if (lock_fd >= 0) ::close(lock_fd);
        ::close(fd);
        return code;
    }
    fd_ = fd;
    lock_fd_ = lock_fd;
    return 0;
}

void FileHandle::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (lock_fd_ >= 0) {
        ::close(lock_fd_);
        lock_fd_ = -1;
    }
}

// ---- RecordFile ----------------------------------------------------------

int RecordFile::try_open(std::string_view path, Access access, Share share) {
    position_ = 0;
    return file_.try_open(path, access, share);
}

void RecordFile::open(std::string_view path, Access access, Share share) {
    check(try_open(path, access, share));
}

int RecordFile::try_create(std::string_view path) {
    position_ = 0;
    return file_.try_open(path, Access::read_write, Share::deny_none, O_CREAT | O_TRUNC);
}

void RecordFile::create(std::string_view path) { check(try_create(path)); }

void RecordFile::require_open() const {
    if (!file_.is_open()) run_error(rte::file_not_open);
}

void RecordFile::seek(int64_t record) {
    require_open();
    if (record < 0) run_error(rte::range_check);
    position_ = record;
}

bool RecordFile::try_read(std::span<uint8_t> record) {
    require_open();
    size_t want = std::min(record.size(), record_size_);
    size_t got = 0;
    off_t at = static_cast<off_t>(position_ * static_cast<int64_t>(record_size_));
    while (got < want) {
        ssize_t r = ::pread(file_.fd(), record.data() + got, want - got, at + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR) continue;
            run_error(rte::read_past_end);
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    if (got == 0) return false;
    if (got < want) run_error(rte::read_past_end);
    ++position_;
    return true;
}

void RecordFile::read(std::span<uint8_t> record) {
    if (!try_read(record)) run_error(rte::read_past_end);
}

void RecordFile::write(std::span<const uint8_t> record) {
    require_open();
    size_t want = std::min(record.size(), record_size_);
    off_t at = static_cast<off_t>(position_ * static_cast<int64_t>(record_size_));
    size_t done = 0;
    while (done < want) {
        ssize_t w = ::pwrite(file_.fd(), record.data() + done, want - done, at + static_cast<off_t>(done));
        if (w < 0) {
            if (errno == EINTR) continue;
            run_error(rte::write_error);
        }
        done += static_cast<size_t>(w);
    }
    ++position_;
}

int64_t RecordFile::record_count() const {
    require_open();
    struct stat st {};
    if (::fstat(file_.fd(), &st) != 0) return 0;
    return static_cast<int64_t>(st.st_size) / static_cast<int64_t>(record_size_);
}

// ---- TextReader ----------------------------------------------------------

int TextReader::try_open(std::string_view path) {
    close();
    FileHandle f;
    if (int code = f.try_open(path, Access::read, Share::deny_none)) return code;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(f.fd(), buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            data_.clear();
            return rte::read_past_end;
        }
        if (r == 0) break;
        data_.append(buf, static_cast<size_t>(r));
    }
    open_ = true;
    return 0;
}

void TextReader::open(std::string_view path) { check(try_open(path)); }

std::string TextReader::read_line(size_t max) {
    if (!open_) run_error(rte::file_not_open);
    std::string line;
    while (pos_ < data_.size()) {
        char c = data_[pos_++];
        if (c == '\n') break;
        if (c == '\r') {
            if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
            break;
        }
        if (line.size() < max) line += c;
    }
    return line;
}

void TextReader::close() {
    data_.clear();
    pos_ = 0;
    open_ = false;
}

// ---- TextWriter ----------------------------------------------------------

TextWriter::~TextWriter() {
    if (file_.is_open() && !pending_.empty()) write_all(file_.fd(), pending_.data(), pending_.size());
}

int TextWriter::try_create(std::string_view path) {
    pending_.clear();
    return file_.try_open(path, Access::write, Share::deny_none, O_CREAT | O_TRUNC);
}

void TextWriter::create(std::string_view path) { check(try_create(path)); }

int TextWriter::try_append(std::string_view path) {
    pending_.clear();
    return file_.try_open(path, Access::write, Share::deny_none, O_APPEND);
}

void TextWriter::append(std::string_view path) { check(try_append(path)); }

void TextWriter::write(std::string_view text) {
    if (!file_.is_open()) run_error(rte::file_not_open);
    pending_.append(text);
}

void TextWriter::write_line(std::string_view text) {
    write(text);
    pending_.append("\r\n");
}

void TextWriter::flush() {
    if (!file_.is_open()) run_error(rte::file_not_open);
    if (!write_all(file_.fd(), pending_.data(), pending_.size())) {
        pending_.clear();
        run_error(rte::write_error);
    }
    pending_.clear();
}

void TextWriter::close() {
    if (!file_.is_open()) return;
    flush();
    file_.close();
}

// ---- whole files -----------------------------------------------------------

std::vector<std::string> read_lines(std::string_view path, size_t max) {
    TextReader r;
    r.open(path);
    std::vector<std::string> lines;
    while (!r.eof()) lines.push_back(r.read_line(max));
    return lines;
}

void rewrite_file(std::string_view path, std::string_view bytes) {
    std::string real = resolve_path(path);
    std::string tmp = real + ".new" + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0664);
    if (fd < 0) run_error(last_error());
    struct stat st {};
    if (::stat(real.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    bool ok = write_all(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), real.c_str()) != 0) {
        int code = ok ? last_error() : rte::write_error;
        ::unlink(tmp.c_str());
        run_error(code);
    }
}

void rewrite_lines(std::string_view path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    rewrite_file(path, text);
}

std::optional<std::string> read_file(std::string_view path) {
    FileHandle f;
    if (f.try_open(path, Access::read, Share::deny_none) != 0) return std::nullopt;
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(f.fd(), buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        data.append(buf, static_cast<size_t>(r));
    }
    return data;
}

int try_create_new(std::string_view path) {
    std::string real = resolve_path(path);
    int fd = ::open(real.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
    if (fd < 0) return errno == EEXIST ? rte::file_exists : last_error();
    ::close(fd);
    return 0;
}

bool file_exists(std::string_view path) {
    std::string real = resolve_path(path);
    struct stat st {};
    return !real.empty() && ::stat(real.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directory_exists(std::string_view path) {
    std::string real = resolve_path(path);
    struct stat st {};
    return !real.empty() && ::stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int try_delete_file(std::string_view path) {
    std::string real = resolve_path(path);
    if (::unlink(real.c_str()) != 0) return last_error();
    return 0;
}

void delete_file(std::string_view path) { check(try_delete_file(path)); }

namespace {

int copy_then_delete(const std::string& from, const std::string& to) {
    auto data = read_file(from);
    if (!data) return rte::file_not_found;
    int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
    if (fd < 0) return last_error();
    bool ok = write_all(fd, data->data(), data->size());
    ::close(fd);
    if (!ok) {
        ::unlink(to.c_str());
        return rte::write_error;
    }
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

int try_rename_file(std::string_view from, std::string_view to) {
    std::string src = resolve_path(from);
    std::string dst = resolve_path(to);
    if (::rename(src.c_str(), dst.c_str()) == 0) return 0;
    if (errno == EXDEV) return copy_then_delete(src, dst);
    return last_error();
}

void rename_file(std::string_view from, std::string_view to) { check(try_rename_file(from, to)); }

namespace {

bool glob_match(std::string_view p, std::string_view s) {
    size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
    auto eq = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == '?' || eq(p[pi], s[si]))) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
    if (glob_match(pattern, name)) return true;
    // "name.*" also matches a name without any extension, as on DOS.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return glob_match(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

std::vector<std::string> find_files(std::string_view dir, std::string_view pattern) {
    std::vector<std::string> names;
    std::string real = resolve_path(dir.empty() ? std::string_view(".") : dir);
    DIR* d = ::opendir(real.c_str());
    if (d == nullptr) return names;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!wildcard_match(pattern, name)) continue;
        std::string full = real + (real.back() == '/' ? "" : "/") + name;
        struct stat st {};
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(d);
    return names;
}

}  // namespace plat
