// RGB565 screen pixels into a 32-bit desktop surface with one byte per channel, scaled up by
// repeating pixels. Each half of a source pixel is looked up in its own 256-entry table and the
// two answers are or-ed: 2 KB of tables instead of a 256 KB one, and no per-channel shifts.
#pragma once

#include "platform/window/ScreenPlacement.h"

#include <cstdint>
#include <vector>

namespace platform {

class Rgb565Expander
{
  public:
    // Bit positions of the 8-bit channels in the target's pixel; `rest` is or-ed into every
    // pixel (the bits of the format's alpha or padding).
    Rgb565Expander(int redShift, int greenShift, int blueShift, uint32_t rest);

    // 5 and 6 bit channels widened by repeating their top bits below them, as the screen dumps
    // widen them: black stays black and full stays full.
    uint32_t operator()(uint16_t pixel) const { return m_high[pixel >> 8] | m_low[pixel & 0xFF]; }

    // Draws the screen (width x height, rows of `width` pixels) at `at` into a target of
    // targetWidth x targetHeight pixels whose rows are pitchBytes apart. What falls outside the
    // target is cut; the rest of the target is not touched.
    void draw(const uint16_t* pixels, int width, int height, const ScreenPlacement& at,
              uint32_t* target, int targetWidth, int targetHeight, int pitchBytes);

  private:
    uint32_t m_high[256];
    uint32_t m_low[256];
    std::vector<uint32_t> m_line; // one scaled row of the picture
};

} // namespace platform
