// Text to the caller and the local mirror: pipe codes, colours, cursor
// movement, and the game's back-tick colour codes.
//
// Every operation that sends something goes through door_write: one write to
// the channel (unless the session is local) and one pass through the local
// ANSI interpreter. Texts are CP437 bytes, cut to 255 characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

void door_write(std::string_view text);
void door_write_line(std::string_view text = {});
void door_newline();
void door_clear_screen();
void door_clear_eol();
void door_goto_column(int column);
void door_goto_xy(int x, int y);
void door_cursor_left(int n);
void door_set_fg(int colour);
void door_set_bg(int colour);
void door_set_attr(int attr);
uint8_t door_current_fg();
// Writes the prompt (default " |0A<|02MORE|0A>"), waits for a key, then
// erases the prompt.
void door_more_prompt(std::optional<std::string_view> prompt = std::nullopt);
std::string door_pad_left(std::string_view text, char fill, int width);
std::string door_pad_right(std::string_view text, char fill, int width);

// The ANSI sequences behind the colour operations (no output).
std::string fg_sequence(int colour);  // uses the local background for 0-7
std::string bg_sequence(int colour);
std::string attr_sequence(int attr);
// Pipe-code expansion of door_write (cut to 255 before and after).
std::string expand_pipe_codes(std::string_view text);

// The game's back-tick colour codes as each program knows them.
enum class BacktickSet {
    runelot,   // foreground codes and "`r0".."`r7"
    lottery,   // runelot's codes and "`c"
    grumbold,  // lottery's codes, "`r8", "`^", "`b" and "`y"
};

// The foreground colour of a back-tick code every program knows ("`1".."`9"
// -> 1-9, "`0" 10, "`!" 11, "`@" 12, "`#" 13, "`$" 14, "`%" 15).
std::optional<int> backtick_foreground(char code);

// Writes text, acting on its back-tick codes; every other character is
// written with door_write, one per call.
void door_write_backtick(std::string_view text, BacktickSet set);

// Output to the local console only (operator screens, local messages).
void local_write(std::string_view text);
void local_write_line(std::string_view text = {});
void local_clear_screen();
void local_set_attr(uint8_t attr);
uint8_t local_attr();
void local_set_fg(int colour);

}  // namespace kit
