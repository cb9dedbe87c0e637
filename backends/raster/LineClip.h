// Cohen-Sutherland clipping of a line against inclusive bounds.
#pragma once

#include <cstdint>

namespace Gfx::Internal {

struct ClipBounds
{
    int64_t left, top, right, bottom; // all inclusive
};

// Moves the ends onto the bounds; false when the line lies wholly outside. Intersections are
// computed from the first end with truncating division, in wide integers so that ends far outside
// cannot overflow.
bool clipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, const ClipBounds& b);

} // namespace Gfx::Internal
