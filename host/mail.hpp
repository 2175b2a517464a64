// Mail to players: the host's per-player mail files "mail" + record number
// + ".dat", text files the host shows to the player at the next login and
// then clears. Modules only append.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// dir + "mail" + record number in decimal + ".dat" (dir may be empty for
// the current directory, or end in a separator).
std::string mail_file_name(std::string_view dir, int32_t record);

// The line between a kelvane message's title and its body.
inline constexpr char kMailSeparator[] =
    "`.`0-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-`2";

// What kelvane writes into a mail file it has to create before the message.
enum class MailFirstLine {
    none,   // the file is created by the append itself, no extra line
    dot,    // "`." (team-fight results)
    empty,  // an empty line (house-invasion notices)
};

// kelvane's mail writer:
// 1. a missing file gets its first line (unless first_line is none);
// 2. with take_lock, the file's lock is taken, with its must-exist check on
//    when the file exists by then;
// 3. the lines are appended in one write (the file is created when missing);
// 4. the lock is released.
void kelvane_send_mail(std::string_view path, const std::vector<std::string>& lines,
                       MailFirstLine first_line, bool take_lock);

// The lottery's mail writer, without a lock: creates the file when it does
// not exist, then appends the lines, "`b" + amount (the gold the host
// adds to the player's bank on delivery) and an empty line.
void lottery_send_mail(std::string_view path, const std::vector<std::string>& lines, int32_t amount);

}  // namespace host
