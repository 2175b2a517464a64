// Text between the programs (code page 437) and a local UTF-8 terminal.
#pragma once

#include <string>
#include <string_view>

namespace sandbox {

// CP437 output as a UTF-8 terminal shows it. Bytes below 128 pass
// unchanged: they carry the ANSI sequences, line ends, backspace and bell.
std::string cp437_for_terminal(std::string_view text);

// UTF-8 keys from the terminal turned into CP437. A sequence split between
// two reads is completed by the next one; characters CP437 lacks are
// dropped; bytes below 128 pass unchanged.
class KeyDecoder {
public:
    std::string feed(std::string_view bytes);

private:
    std::string pending_;
};

}  // namespace sandbox
