#include "platform/window/Rgb565Expander.h"

#include <algorithm>
#include <cstring>

namespace platform {

Rgb565Expander::Rgb565Expander(int redShift, int greenShift, int blueShift, uint32_t rest)
{
    // High byte RRRRRGGG, low byte GGGBBBBB. Green's widened top bits come from the high byte.
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t r5 = i >> 3, gHigh = i & 7;
        const uint32_t red = (r5 << 3) | (r5 >> 2);
        const uint32_t greenPart = (gHigh << 5) | (gHigh >> 1);
        m_high[i] = rest | (red << redShift) | (greenPart << greenShift);
        const uint32_t gLow = i >> 5, b5 = i & 31;
        const uint32_t blue = (b5 << 3) | (b5 >> 2);
        m_low[i] = ((gLow << 2) << greenShift) | (blue << blueShift);
    }
}

void Rgb565Expander::draw(const uint16_t* pixels, int width, int height, const ScreenPlacement& at,
                          uint32_t* target, int targetWidth, int targetHeight, int pitchBytes)
{
    const int s = at.scale;
    const int x0 = std::max(at.x, 0), x1 = std::min(at.x + width * s, targetWidth);
    const int y0 = std::max(at.y, 0), y1 = std::min(at.y + height * s, targetHeight);
    if (x0 >= x1 || y0 >= y1)
        return;
    // A picture that fits side to side is widened straight into the first row of each source
    // row's copies; one cut at the sides goes through a row of its own first.
    const bool whole = x0 == at.x && x1 == at.x + width * s;
    if (!whole)
        m_line.resize(static_cast<size_t>(width) * s);
    auto* rows = reinterpret_cast<uint8_t*>(target);
    const uint32_t* made = nullptr; // the widened source row, from its first pixel
    int lineOf = -1;
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(rows + static_cast<size_t>(y) * pitchBytes);
        const int sy = (y - at.y) / s;
        if (sy != lineOf) {
            const uint16_t* src = pixels + static_cast<size_t>(sy) * width;
            uint32_t* out = whole ? row + at.x : m_line.data();
            if (s == 1) {
                for (int x = 0; x < width; ++x)
                    out[x] = (*this)(src[x]);
            } else if (s == 2) {
                for (int x = 0; x < width; ++x)
                    out[2 * x] = out[2 * x + 1] = (*this)(src[x]);
            } else {
                for (int x = 0; x < width; ++x)
                    std::fill_n(out + static_cast<size_t>(x) * s, s, (*this)(src[x]));
            }
            made = out;
            lineOf = sy;
            if (whole)
                continue;
        }
        std::memcpy(row + x0, made + (x0 - at.x), static_cast<size_t>(x1 - x0) * 4);
    }
}

} // namespace platform
