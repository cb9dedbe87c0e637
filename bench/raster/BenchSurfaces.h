// Surfaces for the benchmarks, and SDL views of the same pixels so that SDL's software
// blitter works on exactly the bytes the rasteriser works on.
#pragma once

#include "raster/Surface.h"

#include <SDL.h>

#include <memory>

namespace rasterbench {

using SurfacePtr = std::unique_ptr<Surface>;

struct SdlSurfaceDeleter
{
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

// A sprite-like pattern; every `keyEvery`-th pixel (0: none) is the colour key 0xF81F.
inline SurfacePtr makePattern(int width, int height, int keyEvery)
{
    SurfacePtr s(Surface::Create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            s->row(y)[x] = keyEvery && i % keyEvery == 0 ? 0xF81F : uint16_t(x * 33 + y * 1021);
        }
    return s;
}

inline SdlSurfacePtr sdlView(Surface& s)
{
    return SdlSurfacePtr(SDL_CreateRGBSurfaceWithFormatFrom(s.pixels, s.width, s.height, 16,
                                                            s.pitch, SDL_PIXELFORMAT_RGB565));
}

} // namespace rasterbench
