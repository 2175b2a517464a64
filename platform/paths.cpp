#include "platform/paths.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <vector>

namespace plat {

namespace {

bool exists(const std::string& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Finds an entry of dir whose name equals want ignoring case.
bool find_in_dir(const std::string& dir, const std::string& want, std::string& found) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return false;
    bool ok = false;
    while (dirent* e = ::readdir(d)) {
        if (same_name(e->d_name, want)) {
            found = e->d_name;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

}  // namespace

std::string to_posix(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string resolve_path(std::string_view path) {
    std::string p = to_posix(path);
    if (p.empty()) return p;

    std::string out;
    size_t pos = 0;
    if (p[0] == '/') {
        out = "/";
        pos = 1;
    }
    bool missing = false;
    while (pos <= p.size()) {
        size_t slash = p.find('/', pos);
        std::string part = p.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (!part.empty()) {
            std::string candidate = out + part;
            if (!missing && part != "." && part != ".." && !exists(candidate)) {
                std::string found;
                if (find_in_dir(out, part, found))
                    candidate = out + found;
                else
                    missing = true;
            }
            out = candidate;
        }
        if (slash == std::string::npos) break;
        if (!out.empty() && out.back() != '/') out += '/';
        pos = slash + 1;
    }
    return out;
}

std::string program_dir() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return current_dir();
    std::string exe(buf.data(), static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

std::string current_dir() {
    std::vector<char> buf(PATH_MAX + 1);
    if (::getcwd(buf.data(), buf.size()) == nullptr) return "./";
    std::string dir(buf.data());
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string base_name(std::string_view path) {
    size_t cut = path.find_last_of("/\\:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string dir_part(std::string_view path) {
    size_t cut = path.find_last_of("/\\:");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

}  // namespace plat
