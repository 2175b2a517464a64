#include "kit/kit_state.hpp"

#include "kit/door_output.hpp"
#include "kit/native_door_login.hpp"
#include "platform/clock.hpp"
#include "platform/halt.hpp"
#include "platform/terminal.hpp"


namespace kit {

namespace {

std::unique_ptr<Kit>& kit_instance() {
    static std::unique_ptr<Kit> k;
    return k;
}

}  // namespace

KitEnvironment real_environment() {
    KitEnvironment env;
    env.terminal_out = plat::stdout_is_terminal();
    if (plat::stdin_is_terminal()) env.keyboard = std::make_unique<TerminalKeyboard>();
    env.channel_factory = [](int comm_type) { return make_channel(comm_type); };
    env.stdio_factory = [] { return make_stdio_channel(); };
    env.native_login = [](DoorSession& s) { return native_door_login(s); };
    return env;
}

Kit& the_kit() {
    auto& k = kit_instance();
    if (!k) {
        k = std::make_unique<Kit>();
        k->env = real_environment();
    }
    return *k;
}

void set_kit_environment(KitEnvironment env) {
    auto& k = kit_instance();
    k = std::make_unique<Kit>();
    k->env = std::move(env);
}

void refresh_mirror() {
    Kit& k = the_kit();
    if (k.mirror_on) k.mirror.render(k.screen);
}

void local_show(std::string_view bytes) {
    Kit& k = the_kit();
    k.interpreter.feed(bytes, k.screen);
    refresh_mirror();
}

bool session_remote() { return static_cast<bool>(the_kit().channel); }

void start_failure(const char* message) {
    Kit& k = the_kit();
    local_clear_screen();
    local_write_line("");
    local_write_line(message);
    local_write_line("");
    if (!k.env.terminal_out) {
        std::string prog = k.args.empty() ? "door" : k.args[0];
        plat::write_stderr_line(prog + ":" + message);
    }
    plat::sleep_ms(1500);
    plat::halt(0);
}

}  // namespace kit
