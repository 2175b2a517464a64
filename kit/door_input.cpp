#include "kit/door_input.hpp"

#include <vector>

#include "kit/door_output.hpp"
#include "kit/kit_state.hpp"
#include "platform/clock.hpp"
#include "platform/halt.hpp"
#include "platform/terminal.hpp"

namespace kit {

namespace {

constexpr char kBs = 8;
constexpr char kLf = 10;
constexpr char kCr = 13;
constexpr char kCtrlY = 25;
constexpr char kEsc = 27;
constexpr int32_t kCheckIntervalMs = 1001;

bool local_key_pressed(Kit& k) { return k.env.keyboard && k.env.keyboard->key_pressed(); }

bool remote_byte_waiting(Kit& k) { return k.held_remote.has_value() || (k.channel && k.channel->char_ready()); }

uint8_t take_remote_byte(Kit& k) {
    if (k.held_remote) {
        uint8_t b = *k.held_remote;
        k.held_remote.reset();
        return b;
    }
    return k.channel->read_char();
}

// The clock reads in hundredths of a second.
constexpr int32_t kClockResolutionMs = 10;

// Milliseconds until the next periodic check is due; -1 without timers.
// A wait ends one clock step late rather than early, so it never wakes
// only to find the check not due yet.
int ms_until_check(const DoorSession& s) {
    if (!s.timers_running) return -1;
    int32_t passed = plat::elapsed_ms(s.last_tick_ms, plat::ms_since_midnight());
    return passed >= kCheckIntervalMs ? 0 : kCheckIntervalMs - passed + kClockResolutionMs;
}

// Sleeps until a key may have arrived, a hang-up signal came, or the next
// periodic check is due. Uses no CPU while it waits.
void wait_for_input(Kit& k) {
    std::vector<int> fds;
    if (k.env.keyboard && k.env.keyboard->fd() >= 0) fds.push_back(k.env.keyboard->fd());
    if (k.channel && k.channel->arrival_fd() >= 0) fds.push_back(k.channel->arrival_fd());
    if (plat::hangup_fd() >= 0) fds.push_back(plat::hangup_fd());
    int timeout = ms_until_check(k.session);
    if (timeout < 0 && !(k.channel && k.channel->arrival_fd() >= 0) && !(k.env.keyboard && k.env.keyboard->fd() >= 0))
        timeout = 1000;  // nothing to wait on: look again now and then
    plat::clock().wait_readable(fds, timeout);
}

// A run with no session and no local keyboard: nobody can ever type.
bool nobody_can_type(const Kit& k) { return !k.channel && !k.held_remote && !k.env.keyboard; }

// In such a run a closing "press a key" gets Enter at once. A program that
// keeps asking (a prompt that rejects Enter, such as an operator dialogue
// started without a terminal) would spin for ever: it is ended instead.
constexpr int kMaxUnansweredKeys = 1000;

char answer_for_nobody(Kit& k) {
    if (++k.unanswered_keys > kMaxUnansweredKeys) {
        plat::write_stderr_line((k.args.empty() ? std::string("door") : k.args[0]) +
                                ": this run needs a terminal to answer its prompts");
        plat::halt(0);
    }
    return kCr;
}

std::string two_digits(int v) { return door_pad_left(std::to_string(v), '0', 2); }

void end_session_with(const char* message) {
    door_set_attr(15);
    door_clear_screen();
    door_newline();
    door_write_line(message);
    plat::sleep_ms(1500);
    plat::halt(0);
}

}  // namespace

// ---- timers --------------------------------------------------------------------

int32_t door_idle_seconds() {
    return plat::elapsed_seconds(the_kit().session.last_key_time, plat::seconds_since_midnight());
}

int32_t door_time_left() {
    const DoorSession& s = the_kit().session;
    return s.time_allowed - plat::elapsed_seconds(s.start_time, plat::seconds_since_midnight());
}

bool door_is_local() { return !session_remote(); }

void door_periodic_check() {
    Kit& k = the_kit();
    DoorSession& s = k.session;
    if (plat::hangup_requested()) {
        // The BBS hung up on us: leave through the carrier-lost path so every
        // exit routine saves the caller's data.
        if (s.timers_running && k.hooks.on_carrier_lost) k.hooks.on_carrier_lost();
        plat::halt(0);
    }
    if (!s.timers_running) return;
    if (plat::elapsed_ms(s.last_tick_ms, plat::ms_since_midnight()) < kCheckIntervalMs) return;

    if (k.channel && !k.channel->carrier() && k.hooks.on_carrier_lost) k.hooks.on_carrier_lost();

    int32_t idle = door_idle_seconds();
    if (idle > s.idle_limit && k.hooks.on_idle_timeout) k.hooks.on_idle_timeout();
    int32_t r = s.idle_limit - idle;
    if (r % 60 == 1 && r / 60 <= 5 && k.hooks.on_idle_warning) k.hooks.on_idle_warning(r / 60);

    int32_t left = door_time_left();
    if (left < 1 && k.hooks.on_time_expired) k.hooks.on_time_expired();
    if (left % 60 == 1 && left / 60 <= 5 && k.hooks.on_time_warning) k.hooks.on_time_warning(left / 60);

    if (k.hooks.on_status_line) k.hooks.on_status_line();
    s.last_tick_ms = plat::ms_since_midnight();
}

// ---- keys ------------------------------------------------------------------------

bool door_key_waiting() {
    door_periodic_check();
    Kit& k = the_kit();
    return local_key_pressed(k) || remote_byte_waiting(k);
}

bool door_wait_for_key() {
    Kit& k = the_kit();
    for (;;) {
        if (k.channel) k.channel->clear_arrival();
        if (door_key_waiting()) return true;
        if (nobody_can_type(k)) return false;
        wait_for_input(k);
    }
}

char door_read_key() {
    Kit& k = the_kit();
    DoorSession& s = k.session;
    s.last_key_source = 0;
    char key = 0;
    while (s.last_key_source == 0) {
        if (!door_wait_for_key()) {
            key = answer_for_nobody(k);
            break;
        }
        if (local_key_pressed(k)) {
            auto b = k.env.keyboard->read_byte();
            s.last_key_source = 1;
            s.last_key_extended = false;
            key = static_cast<char>(b);
            if (b == 0) {
                key = static_cast<char>(k.env.keyboard->read_byte());
                s.last_key_extended = true;
                if (k.channel && k.hooks.on_local_extended_key &&
                    !k.hooks.on_local_extended_key(static_cast<uint8_t>(key)))
                    s.last_key_extended = false;
            }
        } else if (remote_byte_waiting(k)) {
            uint8_t b = take_remote_byte(k);
            s.last_key_source = 2;
            s.last_key_extended = false;
            key = static_cast<char>(b);
            if (b == 0 && remote_byte_waiting(k)) {
                key = static_cast<char>(take_remote_byte(k));
                s.last_key_extended = true;
            } else if (k.crlf_filter && b == kCr && remote_byte_waiting(k)) {
                uint8_t next = take_remote_byte(k);
                if (next != kLf) {
                    // Not a CR LF pair: the CR is the key and the other byte
                    // stays for the next read; the filter is off for good.
                    k.crlf_filter = false;
                    k.held_remote = next;
                }
            }
        }
    }
    s.last_key = key;
    s.last_key_time = plat::seconds_since_midnight();
    return key;
}

bool door_last_key_local() { return the_kit().session.last_key_source != 2; }

std::string door_input_line(int max) {
    std::string text;
    auto limit = static_cast<size_t>(max < 1 ? 1 : max);
    for (;;) {
        char key = door_read_key();
        if (key == kCr) break;
        if (key == kBs) {
            if (!text.empty()) {
                text.pop_back();
                door_write("\b \b");
            }
            continue;
        }
        if (key == kLf) continue;
        if (text.size() < limit) text += key;
        door_write(std::string_view(&key, 1));
    }
    door_write_line("");
    return text;
}

namespace {

void draw_field(const std::string& text, char mask, int start, int width) {
    auto w = static_cast<size_t>(width);
    door_goto_column(start);
    if (text.size() > w) {
        door_write(mask != 0 ? std::string(w, mask) : text.substr(text.size() - w));
        door_goto_column(start + width);
    } else {
        door_write(mask != 0 ? std::string(text.size(), mask) : text);
        door_write(std::string(w - text.size(), ' '));
        door_goto_column(start + static_cast<int>(text.size()));
    }
}

}  // namespace

std::string door_edit_field(std::string_view initial, std::string_view allowed, char mask, int width,
                            int max_length, uint8_t attr) {
    auto maxlen = static_cast<size_t>(max_length < 0 ? 0 : max_length);
    std::string first(initial.substr(0, std::min(initial.size(), maxlen)));
    std::string text = first;
    Kit& k = the_kit();
    uint8_t saved_attr = k.screen.attr();
    door_set_attr(attr);
    int start = k.screen.column();
    draw_field(text, mask, start, width);

    char key;
    for (;;) {
        key = door_read_key();
        if (key == kEsc || (key == kCr && !text.empty())) break;
        if (key == kBs && !text.empty()) {
            text.pop_back();
            door_write("\b \b");
            if (text.size() >= static_cast<size_t>(width)) draw_field(text, mask, start, width);
        } else if (key == kCtrlY && !text.empty()) {
            text.clear();
            draw_field(text, mask, start, width);
        } else if (key != 0 && allowed.find(key) != std::string_view::npos && text.size() < maxlen) {
            text += key;
            if (text.size() > static_cast<size_t>(width))
                draw_field(text, mask, start, width);
            else
                door_write(mask != 0 ? std::string_view(&mask, 1) : std::string_view(&key, 1));
        }
    }
    door_set_attr(saved_attr);
    door_newline();
    return key == kEsc ? first : text;
}

// ---- handlers ----------------------------------------------------------------------

void door_carrier_lost() {
    Kit& k = the_kit();
    k.screen.set_attr(15);
    local_clear_screen();
    local_write_line("");
    local_write_line("   Caller Dropped Carrier.  Returning To BBS...");
    plat::sleep_ms(1500);
    if (k.flavour == Flavour::grumbold)
        local_write_line("com num: " + std::to_string(k.session.comm_handle) +
                         " .. com type: " + std::to_string(k.session.comm_type));
    plat::halt(0);
}

void door_idle_timeout() { end_session_with("  Idle Time Limit Exceeded.  Returning To BBS..."); }

void door_time_expired() { end_session_with("  Your Time Has Expired.  Returning To BBS..."); }

void door_paint_status_line() {
    Kit& k = the_kit();
    ScreenModel& screen = k.screen;
    std::string bar(80, ' ');
    for (int c : {1, 29, 49, 63, 80}) bar[static_cast<size_t>(c - 1)] = static_cast<char>(0xFE);
    screen.put_cells(1, 25, bar, 0x1E);
    screen.put_cells(3, 25, door_pad_right(k.session.real_name, ' ', 22), 0x1F);
    screen.put_cells(31, 25, k.program_name, 0x1F);

    int32_t idle = door_idle_seconds();
    std::string idle_clock = two_digits(idle / 60) + ":" + two_digits(idle % 60);
    screen.put_cells(51, 25, door_pad_right("Idle: " + idle_clock, ' ', 11), 0x1F);

    int32_t t = door_time_left();
    std::string left_clock = two_digits(t / 3600) + ":" + two_digits((t % 3600) / 60) + ":" + two_digits(t % 60);
    screen.put_cells(65, 25, "Left: " + left_clock, 0x1F);
    refresh_mirror();
}

}  // namespace kit
