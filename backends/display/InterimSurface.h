// The RGB565 surface record, for builds where the rasteriser's own declaration is not present
// yet. Same fields and rules: rows start on 4-byte boundaries, ownsPixels says who frees them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>

class Surface
{
  public:
    virtual ~Surface()
    {
        if (ownsPixels)
            std::free(pixels);
    }

    // Null when out of memory; the pixels are not cleared.
    static Surface* Create(int width, int height)
    {
        if (width <= 0 || height <= 0)
            return nullptr;
        const int32_t pitch = (width * 2 + 3) & ~3;
        void* pixels = std::malloc(static_cast<size_t>(pitch) * height);
        if (!pixels)
            return nullptr;
        auto* s = new (std::nothrow) Surface;
        if (!s) {
            std::free(pixels);
            return nullptr;
        }
        s->width = width;
        s->height = height;
        s->pitch = pitch;
        s->pixels = pixels;
        s->ownsPixels = 1;
        return s;
    }

    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    void* pixels = nullptr;
    uint8_t ownsPixels = 0;
};
