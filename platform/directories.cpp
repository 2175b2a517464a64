#include "platform/directories.hpp"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/halt.hpp"
#include "platform/paths.hpp"

namespace plat {

bool make_directories(std::string_view path) {
    std::string p(path);
    if (p.empty()) return false;
    for (size_t i = 1; i <= p.size(); ++i) {
        if (i < p.size() && p[i] != '/') continue;
        std::string part = p.substr(0, i);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool directory_is_empty(std::string_view path) {
    std::string p(path);
    DIR* d = ::opendir(p.c_str());
    if (d == nullptr) return errno == ENOENT;
    bool empty = true;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(d);
    return empty;
}

int make_symlink(std::string_view target, std::string_view link_path) {
    std::string t(target);
    std::string l(link_path);
    struct stat st {};
    if (::lstat(l.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(l.c_str());
    if (::symlink(t.c_str(), l.c_str()) != 0) return error_code_from_errno(errno);
    return 0;
}

std::string read_symlink(std::string_view path) {
    std::string p(path);
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    return std::string(buf.data(), static_cast<size_t>(n));
}

namespace {

extern "C" int remove_entry(const char* path, const struct stat*, int type, struct FTW*) {
    int r = type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    return r == 0 || errno == ENOENT ? 0 : -1;
}

}  // namespace

bool remove_tree(std::string_view path) {
    std::string p(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlink(p.c_str()) == 0;
    return ::nftw(p.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

std::string absolute_path(std::string_view path) {
    std::string p = to_posix(path);
    if (p.empty() || p[0] != '/') p = current_dir() + p;
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= p.size()) {
        size_t slash = p.find('/', pos);
        std::string part = p.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    std::string out(1, '/');
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.push_back('/');
        out.append(parts[i]);
    }
    if (!parts.empty() && p.back() == '/') out.push_back('/');
    return out;
}

}  // namespace plat
