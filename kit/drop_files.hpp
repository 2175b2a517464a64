// The drop-file readers: DOOR32.SYS, DOOR.SYS, DORINFO*.DEF and the host
// game's own "INFO." + node file. Each fills the session fields its format
// carries; a file that cannot be opened leaves the session as it was.
#pragma once

#include <string>
#include <string_view>

#include "kit/door_session.hpp"

namespace kit {

enum class DropFormat { none, door32_sys, door_sys, dorinfo, host_info };

// The format a -D path names (first match of DOOR32.SYS, DOOR.SYS, DORINFO,
// INFO. anywhere in the path, ignoring case, whose file exists).
DropFormat drop_format_of(std::string_view path);

void read_door32_sys(std::string_view path, DoorSession& s);
void read_door_sys(std::string_view path, DoorSession& s);
void read_dorinfo(std::string_view path, DoorSession& s);
// knows_local: the reader understands "LOCAL" on line 12 (not in grumbold).
void read_host_info(std::string_view path, DoorSession& s, bool knows_local);

}  // namespace kit
