#include "lottery/lottery.hpp"

#include "platform/files.hpp"
#include "platform/halt.hpp"

namespace lottery {

namespace {

// Tries when the file vanishes between its creation and the open.
constexpr int kAppendAttempts = 10;

}  // namespace

void AppendCreating(const std::string& path, std::string_view text) {
    int code = 0;
    for (int attempt = 0; attempt < kAppendAttempts; ++attempt) {
        int created = plat::try_create_new(path);
        if (created != 0 && created != plat::rte::file_exists) plat::run_error(created);
        plat::TextWriter file;
        code = file.try_append(path);
        if (code == plat::rte::file_not_found) continue;
        if (code != 0) break;
        file.write(text);
        file.close();
        return;
    }
    plat::run_error(code);
}

}  // namespace lottery
