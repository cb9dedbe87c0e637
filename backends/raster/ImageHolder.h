// What images, canvases and the display's back buffer draw from and into: a surface and its
// colour key. A plain record: it owns nothing; whoever created the surfaces deletes them.
#pragma once

#include "raster/RasterTypes.h"
#include "raster/Surface.h"

#include <cstdint>

class ImageHolder
{
  public:
    Surface* surface = nullptr;
    // Negative: no colour key (drawn opaque); otherwise the low 16 bits are the key.
    int32_t colourKey = Gfx::kNoColourKey;
    // Where a back buffer acquired for this holder goes when useSecond is set.
    Surface* secondSurface = nullptr;
    uint8_t useSecond = 0;

    bool hasColourKey() const { return colourKey >= 0; }
    uint16_t key() const { return static_cast<uint16_t>(colourKey & 0xFFFF); }
    // The surface that drawing into this holder reaches.
    Surface* drawSurface() const { return useSecond ? secondSurface : surface; }
};

// Deletes a holder made by the image decoder together with its surface.
void DestroyImage(ImageHolder* image);
