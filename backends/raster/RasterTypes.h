// Plain records shared by every drawing path: points, rectangles (right and bottom exclusive),
// the fixed-point transform of the affine blits, the colour key and RGB565 packing.
#pragma once

#include <algorithm>
#include <cstdint>

namespace Gfx {

// Pixels equal to the key are skipped by keyed blits; there is no alpha blending.
constexpr uint16_t kColourKey = 0xF81F;
// An ImageHolder colour key below zero means "draw opaque".
constexpr int32_t kNoColourKey = -1;

constexpr uint16_t rgb565(unsigned r, unsigned g, unsigned b)
{
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

struct Point
{
    int32_t x = 0;
    int32_t y = 0;
};

struct Rect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return !(left < right && top < bottom); }
    // Only meaningful for a non-empty rectangle.
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

constexpr bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// May be empty (and then inverted); test with empty().
inline Rect intersect(const Rect& a, const Rect& b)
{
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Maps a destination pixel to a source pixel. m00..m11 have 10 fractional bits (1024 = 1.0);
// tx and ty are 16.16 (65536 = one source pixel). The destination pixel centre (x, y) in 1/64
// pixel, X = 64x + 32 and Y = 64y + 32, goes to sx = m00 X + m10 Y + tx,
// sy = m01 X + m11 Y + ty; the source pixel is (sx >> 16, sy >> 16) taken unsigned.
struct Transform
{
    int32_t m00 = 1024;
    int32_t m01 = 0;
    int32_t m10 = 0;
    int32_t m11 = 1024;
    int32_t tx = 0;
    int32_t ty = 0;
};

} // namespace Gfx
