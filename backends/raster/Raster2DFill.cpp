// Fills: clear, rectangles, horizontal and vertical runs, single pixels.
#include "raster/Raster2D.h"

#include <algorithm>
#include <cstring>

namespace Gfx::Internal {

void Raster2D::Clear(Surface& target, uint16_t colour)
{
    const uint8_t low = static_cast<uint8_t>(colour), high = static_cast<uint8_t>(colour >> 8);
    if (low == high) {
        if (target.pitch > 0) {
            std::memset(target.pixels, low, static_cast<size_t>(target.pitch) * target.height);
        } else {
            for (int32_t y = 0; y < target.height; ++y)
                std::memset(target.row(y), low, static_cast<size_t>(target.width) * 2);
        }
        return;
    }
    if (target.width % 8 != 0) {
        for (int32_t y = 0; y < target.height; ++y) {
            uint16_t* d = target.row(y);
            for (int32_t x = 0; x < target.width; ++x)
                d[x] = colour;
        }
        return;
    }
    // Eight pixels per step as four words holding the colour twice.
    const uint32_t pair = colour | static_cast<uint32_t>(colour) << 16;
    for (int32_t y = 0; y < target.height; ++y) {
        auto* d = reinterpret_cast<uint32_t*>(target.row(y));
        for (int32_t x = 0; x < target.width / 2; x += 4) {
            d[x] = pair;
            d[x + 1] = pair;
            d[x + 2] = pair;
            d[x + 3] = pair;
        }
    }
}

void Raster2D::FillRect(Surface& target, const Rect& rect, uint16_t colour)
{
    const int32_t count = rect.right - rect.left;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        std::fill_n(target.row(y) + rect.left, count, colour);
}

void Raster2D::DrawHLine(Surface& target, Point from, int32_t count, uint16_t colour)
{
    if (count > 0)
        std::fill_n(target.row(from.y) + from.x, count, colour);
}

void Raster2D::DrawVLine(Surface& target, Point from, int32_t count, uint16_t colour)
{
    for (int32_t i = 0; i < count; ++i)
        target.row(from.y + i)[from.x] = colour;
}

void Raster2D::SetPixel(Surface& target, Point at, uint16_t colour)
{
    target.row(at.y)[at.x] = colour;
}

} // namespace Gfx::Internal
