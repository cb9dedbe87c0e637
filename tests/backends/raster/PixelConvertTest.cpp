#include "raster/PixelConvert.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

uint16_t expected565(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
}

} // namespace

TEST(PixelConvert, EveryWidthAndEveryChannelValueConvertsExactly)
{
    // Widths around the 16-pixel steps; every value of every channel occurs (each channel
    // walks through 0-255 at a different pace). The pixel after the row stays untouched.
    std::vector<uint8_t> rgb(3 * 300);
    for (size_t i = 0; i < 300; ++i) {
        rgb[3 * i] = uint8_t(i);
        rgb[3 * i + 1] = uint8_t(255 - i * 7);
        rgb[3 * i + 2] = uint8_t(i * 13 + 5);
    }
    for (int width : {0, 1, 7, 15, 16, 17, 31, 32, 33, 47, 240, 257, 299}) {
        for (int start : {0, 1}) {
            std::vector<uint16_t> out(301, 0xABCD);
            Gfx::Internal::rgbRowTo565(rgb.data() + 3 * start, out.data(), width);
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out[size_t(x)], expected565(&rgb[3 * size_t(x + start)]))
                    << width << " " << start << " " << x;
            EXPECT_EQ(out[size_t(width)], 0xABCD) << width;
        }
    }
    // The colours the decoders' tests know by value.
    const uint8_t white[3] = {255, 255, 255}, magenta[3] = {255, 0, 255};
    uint16_t one = 0;
    Gfx::Internal::rgbRowTo565(white, &one, 1);
    EXPECT_EQ(one, 0xFFFF);
    Gfx::Internal::rgbRowTo565(magenta, &one, 1);
    EXPECT_EQ(one, 0xF81F);
}
