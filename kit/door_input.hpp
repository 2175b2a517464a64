// Keys from the caller and the local keyboard, line input, the limits and
// the status line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kit {

// Runs the periodic check first; true when a local key is pressed or, in a
// remote session, a byte is waiting on the channel.
bool door_key_waiting();
// Waits, without using CPU and with the periodic check running, until a key
// is waiting; the key stays unread. False at once in a run where nobody can
// ever type (no session and no terminal).
bool door_wait_for_key();
// Waits for a key (without using CPU) and returns it. In a run with no
// session and no terminal (a nightly batch) it returns CR at once.
char door_read_key();
bool door_last_key_local();
// Simple line input of at most max characters, echoed.
std::string door_input_line(int max);
// Field editor: see the kit's documentation of the allowed keys.
std::string door_edit_field(std::string_view initial, std::string_view allowed, char mask,
                            int width, int max_length, uint8_t attr);
int32_t door_idle_seconds();
int32_t door_time_left();
bool door_is_local();

// The once-a-second check (limits, carrier, status line).
void door_periodic_check();
// The default handlers.
void door_carrier_lost();
void door_idle_timeout();
void door_time_expired();
void door_paint_status_line();

}  // namespace kit
