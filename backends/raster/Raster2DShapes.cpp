// Lines (symmetric Bresenham from both ends) and midpoint circles.
#include "raster/Raster2D.h"

#include <cstdlib>

namespace Gfx::Internal {

namespace {

inline void plot(Surface& s, int32_t x, int32_t y, uint16_t colour)
{
    s.row(y)[x] = colour;
}

// The eight symmetric points of (x, y) about the centre, each through `put`.
template <typename Put> void midpointCircle(int32_t cx, int32_t cy, int32_t r, Put&& put)
{
    // 64-bit error term: 3 - 2r and its steps overflow 32 bits for very large radii.
    int64_t x = 0, y = r, d = 3 - 2 * static_cast<int64_t>(r);
    while (x < y) {
        put(cx - x, cy - y);
        put(cx + x, cy - y);
        put(cx - x, cy + y);
        put(cx + x, cy + y);
        put(cx - y, cy - x);
        put(cx + y, cy - x);
        put(cx - y, cy + x);
        put(cx + y, cy + x);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y) {
        put(cx - x, cy - y);
        put(cx + x, cy - y);
        put(cx - x, cy + y);
        put(cx + x, cy + y);
    }
}

} // namespace

void Raster2D::DrawLine(Surface& target, Point p0, Point p1, uint16_t colour)
{
    const int32_t dx = std::abs(p1.x - p0.x), dy = std::abs(p1.y - p0.y);
    const int32_t sx = p1.x < p0.x ? -1 : 1, sy = p1.y < p0.y ? -1 : 1;
    int32_t fx = p0.x, fy = p0.y, bx = p1.x, by = p1.y;
    if (dx < dy) {
        int32_t e = -dy;
        for (int32_t i = dy >> 1; i > 0; --i) {
            plot(target, fx, fy, colour);
            plot(target, bx, by, colour);
            e += 2 * dx;
            if (e > 0) {
                fx += sx;
                bx -= sx;
                e -= 2 * dy;
            }
            fy += sy;
            by -= sy;
        }
        plot(target, fx, fy, colour);
        if (dy & 1)
            plot(target, bx, by, colour);
    } else {
        int32_t e = -dx;
        for (int32_t i = dx >> 1; i > 0; --i) {
            plot(target, fx, fy, colour);
            plot(target, bx, by, colour);
            e += 2 * dy;
            if (e > 0) {
                fy += sy;
                by -= sy;
                e -= 2 * dx;
            }
            fx += sx;
            bx -= sx;
        }
        plot(target, fx, fy, colour);
        if (dx & 1)
            plot(target, bx, by, colour);
    }
}

void Raster2D::DrawCircle(Surface& target, Point centre, int32_t radius, uint16_t colour)
{
    midpointCircle(centre.x, centre.y, radius, [&](int64_t x, int64_t y) {
        plot(target, static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
    });
}

void Raster2D::DrawCircleClipped(Surface& target, Point centre, int32_t radius, uint16_t colour,
                                 const Rect& clip)
{
    midpointCircle(centre.x, centre.y, radius, [&](int64_t x, int64_t y) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)
            plot(target, static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
    });
}

} // namespace Gfx::Internal
