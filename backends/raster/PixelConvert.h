// 8-bit RGB rows into RGB565 rows.
#pragma once

#include <cstdint>

namespace Gfx::Internal {

// Each pixel (r, g, b) becomes (r >> 3) << 11 | (g >> 2) << 5 | b >> 3. The rows must not
// overlap.
void rgbRowTo565(const uint8_t* rgb, uint16_t* out, int32_t width);

} // namespace Gfx::Internal
