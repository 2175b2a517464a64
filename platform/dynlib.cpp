#include "platform/dynlib.hpp"

#include <dlfcn.h>

#include <initializer_list>

namespace plat {

DynLib::~DynLib() { close(); }

bool DynLib::open(const std::string& path) {
    close();
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* e = ::dlerror();
        error_ = e != nullptr ? e : "dlopen failed";
    }
    return handle_ != nullptr;
}

bool DynLib::open_first(std::initializer_list<std::string> paths) {
    for (const std::string& p : paths)
        if (open(p)) return true;
    return false;
}

void* DynLib::symbol(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

void DynLib::close() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

}  // namespace plat
