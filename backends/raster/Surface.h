// A 16-bit RGB565 pixel surface: row-major, top row first, every row starting on a 4-byte
// boundary. Frame-buffer surfaces built by drivers may carry their own pitch and do not own
// their pixels.
#pragma once

#include <cstddef>
#include <cstdint>

class Surface
{
  public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    // Frees the pixels when the surface allocated them.
    virtual ~Surface();

    // Alignment of the pixels a surface allocates.
    static constexpr size_t kPixelAlignment = 64;

    // Uncleared pixels of pitch * height bytes, owned by the surface, starting on a
    // kPixelAlignment boundary. Null when out of memory
    // or for a size that is not positive or whose byte count would not fit; never throws.
    static Surface* Create(int32_t width, int32_t height);

    // (width * 2 + 3) & ~3.
    static constexpr int32_t pitchFor(int32_t width) { return (width * 2 + 3) & ~3; }

    uint16_t* row(int32_t y)
    {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(pixels) +
                                           static_cast<intptr_t>(y) * pitch);
    }
    const uint16_t* row(int32_t y) const
    {
        return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(pixels) +
                                                 static_cast<intptr_t>(y) * pitch);
    }

    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    void* pixels = nullptr;
    uint8_t ownsPixels = 0;
};
