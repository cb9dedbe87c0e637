// Affine blits: every destination pixel centre is mapped to a source pixel with fixed-point
// steps; the arithmetic wraps at 32 bits, and the source position is read unsigned so that
// positions left of or above the source fall outside it as well.
//
// Per row, the columns whose position is inside the source without any wrap-around are found
// in advance and copied without tests (a whole-row copy when the row is a plain translation);
// the columns before and after them take the tested path, which alone decides their fate.
#include "raster/Raster2D.h"

#include <algorithm>
#include <cstring>

namespace Gfx::Internal {

namespace {

int64_t floorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t ceilDiv(int64_t a, int64_t b)
{
    return -floorDiv(-a, b);
}

// Narrows [first, last) to the columns i where 0 <= start + i * step < limit.
void narrow(int64_t start, int64_t step, int64_t limit, int64_t& first, int64_t& last)
{
    if (step == 0) {
        if (start < 0 || start >= limit)
            last = first;
        return;
    }
    int64_t lo, hi; // inclusive bounds on i
    if (step > 0) {
        lo = ceilDiv(-start, step);
        hi = floorDiv(limit - 1 - start, step);
    } else {
        lo = ceilDiv(limit - 1 - start, step);
        hi = floorDiv(-start, step);
    }
    first = std::max(first, lo);
    last = std::min(last, hi + 1);
}

template <bool Keyed> inline void put(uint16_t* d, uint16_t p, uint16_t key)
{
    if (!Keyed || p != key)
        *d = p;
}

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
    // Positions below these (in 16.16) are inside the source.
    const int64_t limitX = int64_t(std::min<uint32_t>(width, 65536)) << 16;
    const int64_t limitY = int64_t(std::min<uint32_t>(height, 65536)) << 16;
    const int32_t count = to.right - to.left;

    auto tested = [&](uint16_t* d, uint32_t sx, uint32_t sy, int64_t from, int64_t until) {
        sx += static_cast<uint32_t>(from) * colStepX;
        sy += static_cast<uint32_t>(from) * colStepY;
        for (int64_t i = from; i < until; ++i) {
            const uint32_t px = sx >> 16, py = sy >> 16;
            if (px < width && py < height)
                put<Keyed>(d + i, source.row(static_cast<int32_t>(py))[px], key);
            sx += colStepX;
            sy += colStepY;
        }
    };

    for (int32_t y = to.top; y < to.bottom; ++y) {
        uint16_t* d = target.row(y) + to.left;
        int64_t first = 0, last = count;
        narrow(rowX, static_cast<int32_t>(colStepX), limitX, first, last);
        narrow(rowY, static_cast<int32_t>(colStepY), limitY, first, last);
        if (first >= last) {
            tested(d, rowX, rowY, 0, count);
        } else {
            tested(d, rowX, rowY, 0, first);
            uint32_t sx = rowX + static_cast<uint32_t>(first) * colStepX;
            uint32_t sy = rowY + static_cast<uint32_t>(first) * colStepY;
            if (colStepY == 0) {
                const uint16_t* s = source.row(static_cast<int32_t>(sy >> 16));
                if (colStepX == 65536 && !Keyed) {
                    std::memcpy(d + first, s + (sx >> 16), size_t(last - first) * 2);
                } else {
                    for (int64_t i = first; i < last; ++i, sx += colStepX)
                        put<Keyed>(d + i, s[sx >> 16], key);
                }
            } else {
                for (int64_t i = first; i < last; ++i, sx += colStepX, sy += colStepY)
                    put<Keyed>(d + i, source.row(static_cast<int32_t>(sy >> 16))[sx >> 16], key);
            }
            tested(d, rowX, rowY, last, count);
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
