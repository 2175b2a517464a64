// Mirrors the screen model on the real terminal of the node, when standard
// output is one: rows that changed are redrawn with their colours, CP437
// drawn as Unicode in UTF-8, and the cursor put where the model has it.
#pragma once

#include <cstdint>
#include <string>

#include "kit/screen_model.hpp"

namespace kit {

class TerminalMirror {
public:
    // Draws the rows of the model that changed since the last render.
    void render(ScreenModel& model);
    // The bytes of the last render (kept for tests of the drawing itself).
    static std::string draw_rows(const ScreenModel& model, uint32_t rows, uint8_t& current_attr);
    // Leaves the terminal with normal colours below the picture.
    void finish();

private:
    uint8_t current_attr_ = 0xFF;  // unknown
    bool started_ = false;
};

// The SGR sequence for a PC attribute on a colour terminal.
std::string sgr_for_attr(uint8_t attr);

}  // namespace kit
