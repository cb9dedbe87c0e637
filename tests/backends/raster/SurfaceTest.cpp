#include "SurfaceTools.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <climits>

using namespace rastertest;

TEST(Surface, RowsStartOnFourByteBoundariesAndPixelsOnACacheLine)
{
    const std::pair<int, int> widthPitch[] = {{1, 4}, {2, 4},     {3, 8},
                                              {4, 8}, {175, 352}, {176, 352}};
    for (auto [width, pitch] : widthPitch) {
        SurfacePtr s(Surface::Create(width, 3));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->pitch, pitch) << width;
        EXPECT_EQ(s->width, width);
        EXPECT_EQ(s->height, 3);
        EXPECT_EQ(s->ownsPixels, 1);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(s->pixels) % Surface::kPixelAlignment, 0u);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(s->row(2)) % 4, 0u);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(s->row(2)) - reinterpret_cast<uint8_t*>(s->row(0)),
                  2 * pitch);
    }
}

TEST(Surface, SizesThatCannotBeAllocatedGiveNull)
{
    EXPECT_EQ(Surface::Create(0, 10), nullptr);
    EXPECT_EQ(Surface::Create(10, 0), nullptr);
    EXPECT_EQ(Surface::Create(-1, 10), nullptr);
    EXPECT_EQ(Surface::Create(INT_MAX, 1), nullptr); // pitch would overflow
}

TEST(Surface, BorrowedPixelsAreNotFreed)
{
    uint16_t pixels[8] = {};
    auto* s = new Surface;
    s->width = 4;
    s->height = 2;
    s->pitch = 8;
    s->pixels = pixels;
    s->ownsPixels = 0;
    delete s; // ASan reports a bad free if the surface freed the array
    pixels[0] = 1;
    EXPECT_EQ(pixels[0], 1);
}

TEST(ImageHolder, ColourKeyNoneOrLow16Bits)
{
    ImageHolder h;
    EXPECT_EQ(h.surface, nullptr);
    EXPECT_FALSE(h.hasColourKey());
    h.colourKey = 0;
    EXPECT_TRUE(h.hasColourKey());
    EXPECT_EQ(h.key(), 0);
    h.colourKey = 0x1F81F;
    EXPECT_EQ(h.key(), Gfx::kColourKey);
}

TEST(RenderContext, BindingATargetResetsTheClipToTheWholeSurface)
{
    SurfacePtr a = makeSurface(7, 5, 0), b = makeSurface(3, 9, 0);
    ImageHolder ha{a.get()}, hb{b.get()};
    RenderContext rc(&ha);
    EXPECT_EQ(rc.clip, (Gfx::Rect{0, 0, 7, 5}));
    rc.clip = Gfx::Rect{1, 1, 2, 2};
    EXPECT_EQ(rc.SetTarget(&hb), &ha);
    EXPECT_EQ(rc.clip, (Gfx::Rect{0, 0, 3, 9}));
    EXPECT_EQ(rc.target, &hb);
    EXPECT_EQ(rc.SetTarget(nullptr), &hb);
    EXPECT_TRUE(rc.clip.empty());
    // Without a target nothing is drawn and nothing fails.
    rc.FillRect(Gfx::Rect{0, 0, 3, 3}, 1);
    rc.SetPixel(0, 0, 1);
    rc.DrawLine(0, 0, 2, 1, 1);
    EXPECT_EQ(changed(*b, 0), PointSet{});
}

TEST(RenderContext, AllContextsShareOneRasteriser)
{
    RenderContext a, b;
    EXPECT_NE(a.rasterizer, nullptr);
    EXPECT_EQ(a.rasterizer, b.rasterizer);
}
