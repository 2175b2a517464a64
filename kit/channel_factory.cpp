#include "kit/comm_channel.hpp"
#include "kit/door32_channel.hpp"
#include "kit/serial_channel.hpp"
#include "kit/stdio_channel.hpp"
#include "kit/telnet_channel.hpp"

namespace kit {

std::unique_ptr<CommChannel> make_channel(int comm_type) {
    switch (comm_type) {
    case 1: return std::make_unique<SerialChannel>();
    case 2: return std::make_unique<TelnetChannel>();
    case 3: return std::make_unique<Door32Channel>();
    default: return nullptr;
    }
}

std::unique_ptr<CommChannel> make_stdio_channel() { return std::make_unique<StdioChannel>(); }

}  // namespace kit
