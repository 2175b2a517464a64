// The cave's day: a stamp made from the local date, kept in "orvatime.dat"
// in the host's directory. A stamp that differs from today's starts a new
// day, on which every player may play again.
#pragma once

#include <string>

#include "cave/cave_state.hpp"
#include "platform/clock.hpp"

namespace cave {

inline constexpr char kDayFile[] = "orvatime.dat";

// The decimal text of year + month + day ("2021" for 13 March 2005). Dates
// with the same sum share a stamp.
std::string day_stamp(const plat::LocalDate& date);

// Starts a new day when "orvatime.dat" (current directory) holds another
// stamp than today's: the file gets today's stamp, and orvtime.dat gets the
// host directory and no played flags. A missing day file is first created
// holding yesterday's number, so the first run of all starts a day. The test
// and both rewrites hold the lock of orvtime.dat, so two nodes cannot both
// reset, nor can a reset fall between another node's read and write.
// Returns true when a new day began.
bool DailyReset(const CaveState& state);

}  // namespace cave
