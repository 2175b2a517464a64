// A temporary directory for a test, removed with everything in it when the
// object goes away. Optionally the current directory while it lives.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace plat::testing {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "drakmoor-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        if (!old_cwd_.empty()) std::filesystem::current_path(old_cwd_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, without a trailing "/".
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Makes the directory the current one until the object goes away.
    void enter() {
        old_cwd_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream f(*this / name, std::ios::binary);
        f << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream f(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(*this / name); }

private:
    std::string path_;
    std::filesystem::path old_cwd_;
};

}  // namespace plat::testing
