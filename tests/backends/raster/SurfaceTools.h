// Small surfaces for pixel-exact tests: filled with a background, read back as a grid, and
// compared against sets of expected points.
#pragma once

#include "raster/ImageHolder.h"
#include "raster/Surface.h"

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace rastertest {

using SurfacePtr = std::unique_ptr<Surface>;
using PointSet = std::set<std::pair<int, int>>;

inline SurfacePtr makeSurface(int width, int height, uint16_t fill)
{
    SurfacePtr s(Surface::Create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s->row(y)[x] = fill;
    return s;
}

// Each pixel a distinct value: (y << 8) | x.
inline SurfacePtr makeNumbered(int width, int height)
{
    SurfacePtr s(Surface::Create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s->row(y)[x] = static_cast<uint16_t>(y << 8 | x);
    return s;
}

inline uint16_t at(const Surface& s, int x, int y)
{
    return s.row(y)[x];
}

// Every pixel that differs from `background`.
inline PointSet changed(const Surface& s, uint16_t background)
{
    PointSet out;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.row(y)[x] != background)
                out.insert({x, y});
    return out;
}

inline PointSet shifted(const PointSet& points, int dx, int dy)
{
    PointSet out;
    for (auto [x, y] : points)
        out.insert({x + dx, y + dy});
    return out;
}

} // namespace rastertest
