// The splash picture, drawn in code: a night-blue panel with a planet, its ring and a few stars.
// Drawing it takes four by four samples a pixel, too slow for every start: the build draws it
// once (splashgen) into a table that the host carries (SplashBitmap).
#pragma once

#include <cstdint>
#include <vector>

namespace host {

struct SplashArt
{
    static constexpr int kWidth = 176;
    static constexpr int kHeight = 128;
    // kWidth x kHeight RGB565 pixels, rows top first; the same every time.
    static std::vector<uint16_t> draw();
};

} // namespace host
