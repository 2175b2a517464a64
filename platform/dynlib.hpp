// A loaded shared library (dlopen) and the symbols found in it.
#pragma once

#include <initializer_list>
#include <string>

namespace plat {

class DynLib {
public:
    DynLib() = default;
    ~DynLib();
    DynLib(const DynLib&) = delete;
    DynLib& operator=(const DynLib&) = delete;

    // Loads path; a name without "/" is searched by the loader.
    bool open(const std::string& path);
    // Tries each name in turn: the first that loads wins.
    bool open_first(std::initializer_list<std::string> paths);
    void* symbol(const char* name) const;
    bool is_open() const { return handle_ != nullptr; }
    void close();
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace plat
