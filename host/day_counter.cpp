#include "host/day_counter.hpp"

#include <string>

#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"

namespace host {

std::optional<int32_t> read_day_number(std::string_view path) {
    plat::TextReader file;
    int code = file.try_open(path);
    if (code == plat::rte::file_not_found || code == plat::rte::path_not_found) return std::nullopt;
    if (code != 0) plat::run_error(code);
    std::string first = file.read_line();
    file.close();
    // Read as a number: blanks around it do not matter.
    while (!first.empty() && first.back() == ' ') first.pop_back();
    plat::ValResult day = plat::val(first);
    if (!day.ok) plat::run_error(plat::rte::bad_numeric_format);
    return day.value;
}

bool take_new_day(int32_t host_day, int32_t& stored_day) {
    if (host_day == stored_day) return false;
    stored_day = host_day;
    return true;
}

}  // namespace host
