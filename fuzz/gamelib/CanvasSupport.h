// A headless display with the game library's MIDlet and its one screen canvas, for the fuzz
// targets whose readers fall back to the canvas's default keys or apply keys to it.
#pragma once

#include <cstdint>

namespace fuzzsupport {

// Made at the first call (at this size) and kept for the whole run.
void useCanvas(int32_t width, int32_t height);

} // namespace fuzzsupport
