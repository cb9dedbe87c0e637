// The few things the display layer does with surfaces: make one over memory it does not own
// (a driver's frame), allocate one, and reach its pixels by row.
#pragma once

#include "raster/Surface.h"

#include <cstdint>
#include <memory>

namespace ScreenHAL {

using SurfacePtr = std::unique_ptr<Surface>;

// A surface over someone else's pixels (ownsPixels 0); the pitch may differ from the
// surface's own rule, as frame buffers have theirs.
SurfacePtr makeFrameSurface(void* pixels, int width, int height, int pitch);
// Owns its pixels, all black; null when out of memory.
SurfacePtr makeRamSurface(int width, int height);

inline uint8_t* rowOf(Surface& s, int y)
{
    return static_cast<uint8_t*>(s.pixels) + static_cast<intptr_t>(y) * s.pitch;
}

inline uint16_t* pixelAt(Surface& s, int x, int y)
{
    return reinterpret_cast<uint16_t*>(rowOf(s, y)) + x;
}

} // namespace ScreenHAL
