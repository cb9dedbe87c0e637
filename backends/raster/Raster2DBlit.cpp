// Rectangle copies: opaque rows as memory blocks, keyed rows pixel by pixel.
#include "raster/Raster2D.h"

#include <cstring>

namespace Gfx::Internal {

Raster2D& Raster2D::instance()
{
    static Raster2D raster;
    return raster;
}

void Raster2D::Blit(Surface& target, Point at, const Surface& source, const Rect& from)
{
    const size_t bytes = static_cast<size_t>(from.right - from.left) * 2;
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy) {
        // memmove: a surface may be blitted onto itself.
        std::memmove(target.row(dy) + at.x, source.row(sy) + from.left, bytes);
    }
}

void Raster2D::BlitColorKey(Surface& target, Point at, const Surface& source, const Rect& from,
                            uint16_t key)
{
    const int32_t count = from.right - from.left;
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy) {
        const uint16_t* s = source.row(sy) + from.left;
        uint16_t* d = target.row(dy) + at.x;
        // Written as a select over every pixel so that the loop vectorises; a keyed pixel
        // stores the destination's own value back.
        for (int32_t i = 0; i < count; ++i) {
            const uint16_t p = s[i];
            d[i] = p == key ? d[i] : p;
        }
    }
}

} // namespace Gfx::Internal
