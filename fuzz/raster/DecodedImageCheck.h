// What every decoded image must satisfy, whatever the input.
#pragma once

#include "raster/ImageDecoder.h"

#include <cstdlib>

inline void checkAndFree(ImageHolder* image)
{
    if (!image)
        return;
    const Surface* s = image->surface;
    if (!s || s->width <= 0 || s->height <= 0 || s->width > kMaxImageSide ||
        s->height > kMaxImageSide || s->pitch != Surface::pitchFor(s->width) || !s->ownsPixels ||
        image->colourKey >= 0 || image->secondSurface)
        std::abort();
    // Touch the last pixel: the whole surface must be there.
    volatile uint16_t last = s->row(s->height - 1)[s->width - 1];
    (void)last;
    DestroyImage(image);
}
