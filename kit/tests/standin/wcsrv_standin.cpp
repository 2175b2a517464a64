// A stand-in for the BBS's "WCSRV.DLL", for tests. The caller it reports
// comes from the environment:
//   DRAKMOOR_WCSRV_RESULT   what WildcatLoggedIn returns (default 1)
//   DRAKMOOR_WCSRV_NAME     the name written at offset 8
//   DRAKMOOR_WCSRV_MINUTES  the 32-bit value at offset 832
//   DRAKMOOR_WCSRV_TERM     the 32-bit value at offset 700 (0: ANSI)
//   DRAKMOOR_WCSRV_NODE     what GetNode returns
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

int env_int(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::atoi(v) : fallback;
}

void put32(unsigned char* at, int value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

extern "C" {

int WildcatLoggedIn(void* user_info) {
    unsigned char* rec = static_cast<unsigned char*>(user_info);
    const char* name = std::getenv("DRAKMOOR_WCSRV_NAME");
    if (name != nullptr) {
        size_t n = std::strlen(name);
        if (n > 600) n = 600;
        std::memcpy(rec + 8, name, n);
        rec[8 + n] = 0;
    }
    put32(rec + 700, env_int("DRAKMOOR_WCSRV_TERM", 0));
    put32(rec + 832, env_int("DRAKMOOR_WCSRV_MINUTES", 0));
    return env_int("DRAKMOOR_WCSRV_RESULT", 1);
}

int GetNode(void) { return env_int("DRAKMOOR_WCSRV_NODE", 0); }

}  // extern "C"
