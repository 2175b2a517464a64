#include "kit/testing/scripted_caller.hpp"

#include "kit/kit_state.hpp"
#include "kit/testing/memory_channel.hpp"
#include "platform/halt.hpp"
#include "platform/terminal.hpp"

namespace kit::testing {

struct ScriptedCaller::Impl {
    Options options;
    plat::FakeClock clock;
    std::shared_ptr<CallerLine> line = std::make_shared<CallerLine>();
    std::string pending_local;
    ScriptedKeyboard* keyboard = nullptr;  // owned by the kit during a run

    explicit Impl(Options o) : options(std::move(o)), clock(options.date, options.start_ms) {
        line->hang_up_when_done = options.hang_up_when_done;
    }
};

ScriptedCaller::ScriptedCaller() : ScriptedCaller(Options{}) {}

ScriptedCaller::ScriptedCaller(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {
    plat::set_clock(&impl_->clock);
    plat::clear_hangup();
    KitEnvironment env;
    set_kit_environment(std::move(env));
}

ScriptedCaller::~ScriptedCaller() {
    plat::set_clock(nullptr);
    set_kit_environment(real_environment());
    plat::reset_program_state();
}

void ScriptedCaller::keys(std::string_view bytes) { impl_->line->type(bytes); }

void ScriptedCaller::local_keys(std::string_view bytes) {
    if (impl_->keyboard != nullptr)
        impl_->keyboard->type(bytes);
    else
        impl_->pending_local.append(bytes);
}

int ScriptedCaller::run(const std::function<void()>& body) {
    Impl& im = *impl_;
    plat::reset_program_state();
    plat::clear_hangup();
    im.line->online = true;

    // A fresh kit on the scripted environment.
    KitEnvironment env;
    auto keyboard = std::make_unique<ScriptedKeyboard>();
    im.keyboard = keyboard.get();
    keyboard->type(im.pending_local);
    im.pending_local.clear();
    if (im.options.local_keyboard)
        env.keyboard = std::move(keyboard);
    else
        im.keyboard = nullptr;
    std::shared_ptr<CallerLine> line = im.line;
    env.channel_factory = [line](int) -> std::unique_ptr<CommChannel> { return std::make_unique<MemoryChannel>(line); };
    env.stdio_factory = [line]() -> std::unique_ptr<CommChannel> { return std::make_unique<MemoryChannel>(line); };
    env.native_login = [](DoorSession&) { return true; };
    set_kit_environment(std::move(env));
    door_init({"test"}, im.options.flavour);

    Kit& k = the_kit();
    if (im.options.start_session) {
        DoorSession& s = k.session;
        s.real_name = im.options.name;
        s.alias = im.options.name;
        s.user_record = im.options.user_record;
        s.node = im.options.node;
        s.time_allowed = im.options.time_allowed;
        if (im.options.remote) {
            s.comm_type = 2;
            s.comm_handle = 1;
            k.channel = std::make_unique<MemoryChannel>(line);
        }
        s.last_key_time = plat::seconds_since_midnight();
        s.timers_running = true;
        s.last_tick_ms = plat::ms_since_midnight() - 500;
        s.start_time = plat::seconds_since_midnight();
        k.started = true;
        k.screen.set_window(1, 24);
    }

    int code = plat::run_program([&] { body(); });
    im.keyboard = nullptr;
    return code;
}

const std::string& ScriptedCaller::transcript() const { return impl_->line->sent; }

std::string ScriptedCaller::take_transcript() {
    std::string t = std::move(impl_->line->sent);
    impl_->line->sent.clear();
    return t;
}

std::string ScriptedCaller::screen_row(int row) const { return the_kit().screen.row_text(row); }

std::string ScriptedCaller::screen_text() const {
    std::string text;
    for (int r = 1; r <= 24; ++r) {
        if (r > 1) text += '\n';
        text += the_kit().screen.row_text(r);
    }
    return text;
}

bool ScriptedCaller::screen_contains(std::string_view text) const {
    return screen_text().find(text) != std::string::npos;
}

uint8_t ScriptedCaller::screen_attr(int column, int row) const { return the_kit().screen.cell(column, row).attr; }

plat::FakeClock& ScriptedCaller::clock() { return impl_->clock; }

DoorSession& ScriptedCaller::session() { return the_kit().session; }

size_t count_of(std::string_view text, std::string_view part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace kit::testing
