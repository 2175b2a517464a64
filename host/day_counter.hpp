// The host's day counter "time.dat": its first line is the game's current
// day number; the rest of the file is ignored. Modules only read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace host {

inline constexpr char kDayCounterFile[] = "time.dat";

// The day number, or nothing when the file does not exist (each module
// reports that in its own words). A first line that is not a whole number
// is run-time error 106.
std::optional<int32_t> read_day_number(std::string_view path);

// The day-change rule: a host day that differs from the module's stored day
// starts a new day. Returns true then and stores the new day, so a second
// test on the same day returns false.
bool take_new_day(int32_t host_day, int32_t& stored_day);

}  // namespace host
