#include "display/SurfaceAccess.h"

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
    return SurfacePtr(Surface::Create(width, height));
}

} // namespace ScreenHAL
