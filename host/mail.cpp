#include "host/mail.hpp"

#include <optional>

#include "common/lock_file.hpp"
#include "platform/files.hpp"

namespace host {

namespace {

void append_lines(std::string_view path, const std::vector<std::string>& lines, bool create) {
    plat::TextWriter file;
    if (create)
        file.create(path);
    else
        file.append(path);
    for (const std::string& line : lines) file.write_line(line);
    file.close();
}

}  // namespace

std::string mail_file_name(std::string_view dir, int32_t record) {
    return std::string(dir) + "mail" + std::to_string(record) + ".dat";
}

void kelvane_send_mail(std::string_view path, const std::vector<std::string>& lines,
                       MailFirstLine first_line, bool take_lock) {
    if (first_line != MailFirstLine::none && !plat::file_exists(path))
        append_lines(path, {first_line == MailFirstLine::dot ? "`." : ""}, true);
    bool existed = plat::file_exists(path);
    std::optional<common::FileLock> lock;
    if (take_lock) lock.emplace(path, existed);
    append_lines(path, lines, !existed);
}

void lottery_send_mail(std::string_view path, const std::vector<std::string>& lines, int32_t amount) {
    // Only a missing file is created: one that exists but cannot be opened
    // at this moment keeps its mail, and the append below reports the error.
    if (!plat::file_exists(path)) {
        plat::TextWriter created;
        created.create(path);
        created.close();
    }
    std::vector<std::string> message = lines;
    message.push_back("`b" + std::to_string(amount));
    message.push_back("");
    append_lines(path, message, false);
}

}  // namespace host
