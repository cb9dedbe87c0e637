// Where the screen sits in a desktop window of any size, how a new window's scale is chosen, and
// the widening of RGB565 pixels into the desktop's 32-bit ones.
#include "platform/window/ScreenPlacement.h"
#include "platform/window/Rgb565Expander.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

using platform::fittingScale;
using platform::Rgb565Expander;
using platform::ScreenPlacement;

namespace {

TEST(ScreenPlacementTest, TheLargestWholeScaleThatFitsIsCentredOnBlack)
{
    // The window made for the screen: scale 2, no border.
    ScreenPlacement exact = ScreenPlacement::fit(480, 640, 240, 320);
    EXPECT_EQ(exact.scale, 2);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.y, 0);
    EXPECT_EQ(exact.width, 480);
    EXPECT_EQ(exact.height, 640);

    // Full screen on a 1920 x 1080 desktop: the height decides (3), the rest is border.
    ScreenPlacement full = ScreenPlacement::fit(1920, 1080, 240, 320);
    EXPECT_EQ(full.scale, 3);
    EXPECT_EQ(full.x, (1920 - 720) / 2);
    EXPECT_EQ(full.y, (1080 - 960) / 2);

    // A window a little too small for 2 shows 1, not a blurred 1.9.
    ScreenPlacement narrow = ScreenPlacement::fit(479, 2000, 240, 320);
    EXPECT_EQ(narrow.scale, 1);
    EXPECT_EQ(narrow.x, (479 - 240) / 2);
    EXPECT_EQ(narrow.y, (2000 - 320) / 2);

    // Smaller than the screen: scale 1, cut evenly at both sides.
    ScreenPlacement small = ScreenPlacement::fit(200, 320, 240, 320);
    EXPECT_EQ(small.scale, 1);
    EXPECT_EQ(small.x, -20);
    EXPECT_EQ(small.y, 0);
}

TEST(ScreenPlacementTest, WindowPixelsMapThroughTheScaleAndTheBorder)
{
    ScreenPlacement at = ScreenPlacement::fit(1000, 700, 240, 320); // scale 2 at (260, 30)
    ASSERT_EQ(at.scale, 2);
    ASSERT_EQ(at.x, 260);
    ASSERT_EQ(at.y, 30);
    // Both window pixels of a screen pixel give that pixel.
    EXPECT_EQ(at.toScreenX(260), 0);
    EXPECT_EQ(at.toScreenX(261), 0);
    EXPECT_EQ(at.toScreenX(262), 1);
    EXPECT_EQ(at.toScreenX(260 + 479), 239);
    EXPECT_EQ(at.toScreenY(30 + 2 * 150 + 1), 150);
    // The border is outside the screen on its own side, never its first row or column.
    EXPECT_EQ(at.toScreenX(259), -1);
    EXPECT_EQ(at.toScreenX(0), -130);
    EXPECT_EQ(at.toScreenX(260 + 480), 240);
    EXPECT_EQ(at.toScreenY(29), -1);
    EXPECT_EQ(at.toScreenY(699), 334);
}

TEST(ScreenPlacementTest, ANewWindowTakesTheLargestScaleUpToTheMostThatFitsTheDesktop)
{
    // The 480 x 640 screen on a 1280 x 1024 desktop: twice would be 1280 high, so once.
    EXPECT_EQ(fittingScale(1280, 1024, 480, 640, 2), 1);
    // The 240 x 320 screen fits twice there, with its title bar.
    EXPECT_EQ(fittingScale(1280, 1024, 240, 320, 2), 2);
    // A huge desktop never goes past the most asked for.
    EXPECT_EQ(fittingScale(3840, 2160, 240, 320, 2), 2);
    EXPECT_EQ(fittingScale(3840, 2160, 240, 320, 4), 4);
    // Exactly tall enough without the frame is not enough: the title bar would be off screen.
    EXPECT_EQ(fittingScale(1280, 640, 240, 320, 2), 1);
    EXPECT_EQ(fittingScale(1280, 640 + platform::kFrameAllowanceHeight, 240, 320, 2), 2);
    // Nothing fits: still one, the smallest window there is.
    EXPECT_EQ(fittingScale(100, 100, 240, 320, 2), 1);
}

// One channel of n bits widened to 8 by repeating its top bits.
uint32_t widened(uint32_t v, int bits)
{
    return (v << (8 - bits)) | (v >> (2 * bits - 8));
}

TEST(Rgb565ExpanderTest, EveryPixelWidensChannelByChannelInAnyByteOrder)
{
    for (Uint32 format : {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ARGB8888,
                          SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_BGR888}) {
        SDL_PixelFormat* f = SDL_AllocFormat(format);
        ASSERT_NE(f, nullptr);
        const uint32_t channels = f->Rmask | f->Gmask | f->Bmask;
        Rgb565Expander expand(f->Rshift, f->Gshift, f->Bshift, ~channels);
        for (uint32_t p = 0; p < 0x10000; ++p) {
            const uint32_t want = (widened(p >> 11, 5) << f->Rshift) |
                                  (widened((p >> 5) & 63, 6) << f->Gshift) |
                                  (widened(p & 31, 5) << f->Bshift) | ~channels;
            ASSERT_EQ(expand(static_cast<uint16_t>(p)), want)
                << SDL_GetPixelFormatName(format) << " pixel " << p;
        }
        SDL_FreeFormat(f);
    }
    Rgb565Expander rgb(16, 8, 0, 0);
    EXPECT_EQ(rgb(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(rgb(0x0000), 0u);
}

TEST(Rgb565ExpanderTest, DrawingRepeatsEachPixelAndCutsAtTheTargetsEdges)
{
    const int w = 5, h = 3;
    std::vector<uint16_t> screen(w * h);
    for (int i = 0; i < w * h; ++i)
        screen[i] = static_cast<uint16_t>(0x0841 * (i + 1));
    Rgb565Expander expand(16, 8, 0, 0);
    const uint32_t untouched = 0xDEADBEEF;
    for (int scale : {1, 2, 3}) {
        // Cut: a target one pixel short of the picture on the right and at the bottom, the
        // picture starting one pixel to the left of it. Whole: the picture two pixels in from
        // the left and one from the top, room to spare. Both with padding after each row.
        struct Case
        {
            int x, y, targetWidth, targetHeight;
        };
        for (Case c : {Case{-1, 0, w * scale - 2, h * scale - 1},
                       Case{2, 1, w * scale + 4, h * scale + 2}}) {
            const int stride = c.targetWidth + 3;
            std::vector<uint32_t> target(static_cast<size_t>(stride) * c.targetHeight, untouched);
            ScreenPlacement at{scale, c.x, c.y, w * scale, h * scale};
            expand.draw(screen.data(), w, h, at, target.data(), c.targetWidth, c.targetHeight,
                        stride * 4);
            for (int y = 0; y < c.targetHeight; ++y) {
                for (int x = 0; x < stride; ++x) {
                    const int sx = at.toScreenX(x), sy = at.toScreenY(y);
                    const bool inside = x < c.targetWidth && sx >= 0 && sx < w && sy >= 0 && sy < h;
                    ASSERT_EQ(target[y * stride + x],
                              inside ? expand(screen[sy * w + sx]) : untouched)
                        << "scale " << scale << " at " << x << "," << y << " picture at " << c.x;
                }
            }
        }
    }
}

} // namespace
