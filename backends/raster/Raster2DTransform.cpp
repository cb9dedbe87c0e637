// Affine blits: every destination pixel centre is mapped to a source pixel with fixed-point
// steps; the arithmetic wraps at 32 bits, and the source position is read unsigned so that
// positions left of or above the source fall outside it as well.
#include "raster/Raster2D.h"

namespace Gfx::Internal {

namespace {

template <bool Keyed>
void transformRows(Surface& target, const Rect& to, const Transform& t, const Surface& source,
                   uint16_t key)
{
    const uint32_t m00 = static_cast<uint32_t>(t.m00), m01 = static_cast<uint32_t>(t.m01);
    const uint32_t m10 = static_cast<uint32_t>(t.m10), m11 = static_cast<uint32_t>(t.m11);
    const uint32_t X = static_cast<uint32_t>(to.left) * 64u + 32u;
    const uint32_t Y = static_cast<uint32_t>(to.top) * 64u + 32u;
    uint32_t rowX = m00 * X + m10 * Y + static_cast<uint32_t>(t.tx);
    uint32_t rowY = m01 * X + m11 * Y + static_cast<uint32_t>(t.ty);
    const uint32_t colStepX = m00 * 64u, colStepY = m01 * 64u;
    const uint32_t rowStepX = m10 * 64u, rowStepY = m11 * 64u;
    const uint32_t width = static_cast<uint32_t>(source.width);
    const uint32_t height = static_cast<uint32_t>(source.height);
    const int32_t count = to.right - to.left;

    for (int32_t y = to.top; y < to.bottom; ++y) {
        uint16_t* d = target.row(y) + to.left;
        uint32_t sx = rowX, sy = rowY;
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t px = sx >> 16, py = sy >> 16;
            if (px < width && py < height) {
                const uint16_t p = source.row(static_cast<int32_t>(py))[px];
                if (!Keyed || p != key)
                    d[i] = p;
            }
            sx += colStepX;
            sy += colStepY;
        }
        rowX += rowStepX;
        rowY += rowStepY;
    }
}

} // namespace

void Raster2D::BlitTransform(Surface& target, const Rect& to, const Transform& t,
                             const Surface& source)
{
    transformRows<false>(target, to, t, source, 0);
}

void Raster2D::BlitTransformColorKey(Surface& target, const Rect& to, const Transform& t,
                                     const Surface& source, uint16_t key)
{
    transformRows<true>(target, to, t, source, key);
}

} // namespace Gfx::Internal
