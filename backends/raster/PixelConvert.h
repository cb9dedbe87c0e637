// 8-bit RGB rows into RGB565 rows.
#pragma once

#include <cstdint>

namespace Gfx::Internal {

inline void rgbRowTo565(const uint8_t* rgb, uint16_t* out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, rgb += 3)
        out[x] = static_cast<uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | rgb[2] >> 3);
}

} // namespace Gfx::Internal
