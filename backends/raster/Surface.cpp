#include "raster/Surface.h"

#include <cstdlib>
#include <limits>
#include <new>

Surface::~Surface()
{
    if (ownsPixels)
        std::free(pixels);
}

Surface* Surface::Create(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || width > (std::numeric_limits<int32_t>::max() - 3) / 2)
        return nullptr;
    const int32_t pitch = pitchFor(width);
    // Pixels start on a cache line, so that the vector steps of blits and fills along a row
    // straddle as few lines as the row's own position allows.
    const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    void* pixels = std::aligned_alloc(kPixelAlignment,
                                      (bytes + kPixelAlignment - 1) & ~size_t{kPixelAlignment - 1});
    if (!pixels)
        return nullptr;
    auto* surface = new (std::nothrow) Surface;
    if (!surface) {
        std::free(pixels);
        return nullptr;
    }
    surface->width = width;
    surface->height = height;
    surface->pitch = pitch;
    surface->pixels = pixels;
    surface->ownsPixels = 1;
    return surface;
}
