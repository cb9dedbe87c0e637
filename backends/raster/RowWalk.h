// The rows of a rectangle on a surface, one after the other, with the surface's fields read
// once. Vector stores may alias anything, the surface's own fields included, so a loop that asks
// the surface for each row reads its pixels pointer and pitch again after every row's stores,
// and its first loads then wait for those stores.
#pragma once

#include "raster/RasterTypes.h"
#include "raster/Surface.h"

#include <cstdint>
#include <type_traits>

namespace Gfx::Internal {

template <class Pixel> class RowWalk
{
    using Byte = std::conditional_t<std::is_const_v<Pixel>, const uint8_t, uint8_t>;
    using Owner = std::conditional_t<std::is_const_v<Pixel>, const Surface, Surface>;

  public:
    // Starting at pixel (x, y).
    RowWalk(Owner& surface, int32_t x, int32_t y)
        : at(reinterpret_cast<Byte*>(surface.row(y) + x)), pitch(surface.pitch)
    {
    }

    Pixel* row() const { return reinterpret_cast<Pixel*>(at); }
    void next() { at += pitch; }

  private:
    Byte* at;
    intptr_t pitch;
};

using TargetRows = RowWalk<uint16_t>;
using SourceRows = RowWalk<const uint16_t>;

// The row pairs of a copy of `from` on `source` to `at` on `target`, top to bottom:
// `for (RowPairs r(...); r.more(); r.next())`.
class RowPairs
{
  public:
    RowPairs(Surface& target, Point at, const Surface& source, const Rect& from)
        : targetRows(target, at.x, at.y), sourceRows(source, from.left, from.top),
          left(from.bottom - from.top)
    {
    }

    bool more() const { return left > 0; }
    void next()
    {
        targetRows.next();
        sourceRows.next();
        --left;
    }
    uint16_t* target() const { return targetRows.row(); }
    const uint16_t* source() const { return sourceRows.row(); }

  private:
    TargetRows targetRows;
    SourceRows sourceRows;
    int32_t left;
};

} // namespace Gfx::Internal
