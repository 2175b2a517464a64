// The colour writers of kelvane and orvtime: texts with the game's
// back-tick foreground codes ("`1".."`9" -> 1-9, "`0" -> 10, "`!" -> 11,
// "`@" -> 12, "`#" -> 13, "`$" -> 14, "`%" -> 15), written to the caller or
// to the local console only.
//
// The text between codes goes out in one write; a code sets the foreground;
// a back-tick followed by any other character drops both and changes
// nothing; a back-tick at the very end is dropped. A text without a
// back-tick is written unchanged in one piece.
#pragma once

#include <string_view>

namespace common {

void write_codes(std::string_view text);
void write_line_codes(std::string_view text);
void local_write_codes(std::string_view text);
void local_write_line_codes(std::string_view text);

// Writes "`0<`2MORE`0>" and waits for one key, which is discarded. The
// prompt stays on the screen; no line end follows.
void more_prompt();

}  // namespace common
