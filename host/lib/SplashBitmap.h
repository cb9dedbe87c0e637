// The splash picture shown while the application starts, drawn in code: a night-blue panel with
// a planet, its ring and a few stars.
#pragma once

#include <cstdint>
#include <vector>

namespace host {

struct SplashBitmap
{
    static constexpr int kWidth = 176;
    static constexpr int kHeight = 128;
    // kWidth x kHeight RGB565 pixels, rows top first; the same every time.
    static std::vector<uint16_t> draw();
};

} // namespace host
