#include "host/news.hpp"

#include "common/lock_file.hpp"
#include "platform/files.hpp"

namespace host {

bool append_news(std::string_view path, const std::vector<std::string>& lines, bool extra_empty_line) {
    if (!plat::file_exists(path)) return false;
    common::FileLock lock(path, true);
    plat::TextWriter news;
    news.append(path);
    for (const std::string& line : lines) news.write_line("`." + line);
    news.write_line(kNewsSeparator);
    if (extra_empty_line) news.write_line();
    news.close();
    return true;
}

}  // namespace host
