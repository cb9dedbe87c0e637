#include "raster/LineClip.h"

namespace Gfx::Internal {

namespace {

// Both factors may reach 2^32 with ends at the far corners of the 32-bit plane.
int64_t along(int64_t base, int64_t delta, int64_t part, int64_t whole)
{
    return base + static_cast<int64_t>(static_cast<__int128>(delta) * part / whole);
}

int outCode(int64_t x, int64_t y, const ClipBounds& b)
{
    int code = 0;
    if (x < b.left)
        code |= 1;
    else if (x > b.right)
        code |= 2;
    if (y < b.top)
        code |= 4;
    else if (y > b.bottom)
        code |= 8;
    return code;
}

} // namespace

bool clipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, const ClipBounds& b)
{
    int code1 = outCode(x1, y1, b), code2 = outCode(x2, y2, b);
    // Each step puts one end on a boundary; a handful of steps always settles a line, the cap
    // only guards against a rounding cycle.
    for (int steps = 0; code1 | code2; ++steps) {
        if ((code1 & code2) || steps > 16)
            return false;
        const bool first = code1 != 0;
        const int code = first ? code1 : code2;
        int64_t x, y;
        if (code & (1 | 2)) {
            x = (code & 1) ? b.left : b.right;
            if (x2 == x1)
                return false;
            y = along(y1, y2 - y1, x - x1, x2 - x1);
        } else {
            y = (code & 4) ? b.top : b.bottom;
            if (y2 == y1)
                return false;
            x = along(x1, x2 - x1, y - y1, y2 - y1);
        }
        if (first) {
            x1 = x;
            y1 = y;
            code1 = outCode(x1, y1, b);
        } else {
            x2 = x;
            y2 = y;
            code2 = outCode(x2, y2, b);
        }
    }
    return true;
}

} // namespace Gfx::Internal
