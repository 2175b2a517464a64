// The start-up step of a native-door session (comm type 3): the caller's
// data from the BBS's "WCSRV.DLL".
//
// The library is looked for like "DOOR32.DLL" (door32_channel.hpp) and must
// export, with C linkage:
//
//   int WildcatLoggedIn(void* user_info);
//          Fills the user-information record of kUserInfoSize bytes (zeroed
//          by the kit) and returns 1 when a caller is logged in. Used: the
//          zero-terminated name at offset 8, the minutes left as a 32-bit
//          little-endian value at offset 832, and at offset 700 a 32-bit
//          value that is 0 for an ANSI terminal.
//   int GetNode(void);
//          The node number.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kit/door_session.hpp"

namespace kit {

inline constexpr size_t kUserInfoSize = 2048;

// Fills real_name, alias (the name up to its first blank), time_allowed
// (minutes x 60), ansi and node. False, with the session untouched, when
// the library or a function is missing or WildcatLoggedIn does not
// return 1.
bool native_door_login(DoorSession& session);
// The same, looking in dirs (see open_native_library).
bool native_door_login(DoorSession& session, const std::vector<std::string>& dirs);

}  // namespace kit
