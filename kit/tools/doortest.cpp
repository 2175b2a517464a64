// doortest: a small door for trying the kit and for end-to-end tests.
//
//   doortest <kit switches>          greets the caller, reads a line, shows
//                                    it, waits for a key and ends
//   doortest -E <kit switches>       echoes every key until ESC
//   doortest -O<megabytes> <...>     writes that much text, then ends
#include <string>

#include "kit/door_input.hpp"
#include "kit/door_output.hpp"
#include "kit/door_session.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"

namespace {

bool g_echo = false;
int g_output_mb = 0;

void echo_keys() {
    for (;;) {
        char key = kit::door_read_key();
        if (key == 27) return;
        kit::door_write(std::string_view(&key, 1));
    }
}

void write_megabytes(int mb) {
    std::string chunk(255, 'x');
    for (size_t i = 0; i < chunk.size(); i += 64) chunk[i] = static_cast<char>(255);  // doubled on telnet
    long total = static_cast<long>(mb) * 1024 * 1024;
    for (long sent = 0; sent < total; sent += 255) kit::door_write(chunk);
}

void greet() {
    kit::DoorSession& s = kit::door_session();
    kit::door_write_line("|0FHello |0E" + s.real_name + "|07!");
    kit::door_write("Type a line: ");
    std::string line = kit::door_input_line(40);
    kit::door_write_line("You typed: " + line);
    kit::door_write("Press a key");
    char key = kit::door_read_key();
    kit::door_newline();
    kit::door_write_line("Key " + std::to_string(static_cast<unsigned char>(key)));
}

int doortest_main(int argc, char** argv) {
    kit::door_init(argc, argv);
    kit::door_hooks().on_unknown_switch = [](char letter, const std::string& value) {
        if (letter == 'E') g_echo = true;
        if (letter == 'O') g_output_mb = plat::val_or(value, 1);
    };
    kit::door_set_program_name("Door Test");
    kit::door_start_named();
    if (g_echo)
        echo_keys();
    else if (g_output_mb > 0)
        write_megabytes(g_output_mb);
    else
        greet();
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return plat::run_program(argc, argv, doortest_main); }
