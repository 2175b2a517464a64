// The host's daily news "lognow.txt" in the current (host) directory.
// kelvane appends entries to it; modules never create it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

inline constexpr char kNewsFile[] = "lognow.txt";

// The line written after every entry (55 characters).
inline constexpr char kNewsSeparator[] = "`.                                `2-`0=`2-`0=`2-`0=`2-";

// Appends one entry: each line with "`." in front, then the separator, then
// an empty line when extra_empty_line is set (house invasions), under the
// news file's must-exist lock. A missing news file drops the entry: returns
// false and writes nothing.
bool append_news(std::string_view path, const std::vector<std::string>& lines, bool extra_empty_line = false);

}  // namespace host
