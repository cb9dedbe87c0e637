#include "display/SurfaceAccess.h"

#include <cstring>

namespace ScreenHAL {

SurfacePtr makeFrameSurface(void* pixels, int width, int height, int pitch)
{
    SurfacePtr s(new Surface);
    s->width = width;
    s->height = height;
    s->pitch = pitch;
    s->pixels = pixels;
    s->ownsPixels = 0;
    return s;
}

SurfacePtr makeRamSurface(int width, int height)
{
    SurfacePtr s(Surface::Create(width, height));
    // Black until drawn: a present before the first frame shows no stale memory.
    if (s)
        std::memset(s->pixels, 0, static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height));
    return s;
}

} // namespace ScreenHAL
