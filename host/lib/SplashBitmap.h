// The splash picture shown while the application starts, as the build drew it (SplashArt).
#pragma once

#include <cstdint>
#include <vector>

namespace host {

struct SplashBitmap
{
    static const int kWidth;
    static const int kHeight;
    // kWidth x kHeight RGB565 pixels, rows top first.
    static std::vector<uint16_t> pixels();
};

} // namespace host
