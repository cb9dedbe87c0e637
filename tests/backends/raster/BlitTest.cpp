#include "SurfaceTools.h"
#include "raster/Raster2D.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace rastertest;
using Gfx::Rect;

namespace {

constexpr uint16_t kBack = 0x0841;

class BlitTest : public ::testing::Test
{
  protected:
    BlitTest() : source(makeNumbered(5, 4))
    {
        src.surface = source.get();
        freshTarget();
    }
    void freshTarget()
    {
        target = makeSurface(16, 12, kBack);
        holder.surface = target.get();
        rc.SetTarget(&holder);
    }
    // Expect target pixel (x, y) to show source pixel (sx, sy) for the blit at (dx, dy).
    void expectCopy(int dx, int dy, const Rect& drawn)
    {
        for (int y = 0; y < target->height; ++y) {
            for (int x = 0; x < target->width; ++x) {
                const bool in =
                    x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
                const uint16_t want = in ? at(*source, x - dx, y - dy) : kBack;
                ASSERT_EQ(at(*target, x, y), want) << x << "," << y;
            }
        }
    }

    SurfacePtr target, source;
    ImageHolder holder;
    ImageHolder src;
    RenderContext rc;
};

} // namespace

TEST_F(BlitTest, WholeSourceInsideTheClip)
{
    rc.Blit(3, 2, src);
    expectCopy(3, 2, Rect{3, 2, 8, 6});
}

TEST_F(BlitTest, ClippedOnEveryEdgeDrawsFromTheMatchingSourcePixels)
{
    rc.clip = Rect{4, 3, 10, 8};
    rc.Blit(2, 1, src); // overlaps left and top: first drawn pixel is source (2, 2)
    EXPECT_EQ(at(*target, 4, 3), at(*source, 2, 2));
    expectCopy(2, 1, Rect{4, 3, 7, 5});

    freshTarget();
    rc.clip = Rect{4, 3, 10, 8};
    rc.Blit(8, 6, src); // overlaps right and bottom
    expectCopy(8, 6, Rect{8, 6, 10, 8});
}

TEST_F(BlitTest, SourceRectangleAndClipTogether)
{
    const Rect part{1, 1, 4, 3}; // 3 x 2 pixels starting at source (1, 1)
    rc.clip = Rect{0, 0, 16, 12};
    rc.Blit(-1, 5, src, &part); // left column cut
    expectCopy(-2, 4, Rect{0, 5, 2, 7});
}

TEST_F(BlitTest, WhollyOutsideOrEmptyDrawsNothing)
{
    rc.clip = Rect{2, 2, 6, 6};
    rc.Blit(6, 2, src);  // starts at the exclusive right edge
    rc.Blit(-3, 2, src); // ends at the left edge (5 wide: -3..1)
    rc.Blit(2, -2, src); // ends at the top edge (4 high: -2..1)
    rc.Blit(2, 6, src);  // starts at the exclusive bottom
    const Rect inverted{3, 3, 1, 1};
    rc.Blit(2, 2, src, &inverted);
    rc.clip = Rect{5, 5, 5, 9}; // empty clip
    rc.Blit(4, 4, src);
    EXPECT_EQ(changed(*target, kBack), PointSet{});
}

TEST_F(BlitTest, SourceRectangleBeyondTheSourceIsCut)
{
    const Rect beyond{-2, -1, 7, 6}; // the source is only 5 x 4
    rc.Blit(4, 4, src, &beyond);
    expectCopy(6, 5, Rect{6, 5, 11, 9});
}

TEST_F(BlitTest, ColourKeySkipsOnlyKeyPixels)
{
    source->row(1)[2] = Gfx::kColourKey;
    source->row(3)[0] = Gfx::kColourKey;
    src.colourKey = Gfx::kColourKey;
    rc.Blit(1, 1, src);
    EXPECT_EQ(at(*target, 3, 2), kBack); // keyed pixels leave the destination alone
    EXPECT_EQ(at(*target, 1, 4), kBack);
    EXPECT_EQ(at(*target, 1, 1), at(*source, 0, 0));
    EXPECT_EQ(at(*target, 5, 4), at(*source, 4, 3));
    EXPECT_EQ(changed(*target, kBack).size(), 5u * 4 - 2);
}

TEST_F(BlitTest, KeyZeroIsHonouredAndNegativeMeansOpaque)
{
    // Source pixel (0, 0) is 0 in the numbered pattern.
    src.colourKey = 0;
    rc.Blit(0, 0, src);
    EXPECT_EQ(at(*target, 0, 0), kBack);
    EXPECT_EQ(at(*target, 1, 0), at(*source, 1, 0));
    src.colourKey = -1;
    rc.Blit(0, 0, src);
    EXPECT_EQ(at(*target, 0, 0), 0);
    // Only the low 16 bits count.
    source->row(0)[1] = Gfx::kColourKey;
    target->row(0)[1] = kBack;
    src.colourKey = 0x7F0000 | Gfx::kColourKey;
    rc.Blit(0, 0, src);
    EXPECT_EQ(at(*target, 1, 0), kBack);
}

TEST_F(BlitTest, ExplicitKeyOverloadIgnoresTheHolder)
{
    source->row(0)[0] = Gfx::kColourKey;
    rc.Blit(0, 0, *source, nullptr, -1);
    EXPECT_EQ(at(*target, 0, 0), Gfx::kColourKey);
    target->row(0)[0] = kBack;
    rc.Blit(0, 0, *source, nullptr, Gfx::kColourKey);
    EXPECT_EQ(at(*target, 0, 0), kBack);
}

TEST(Raster2DBlit, RowsAdvanceByEachSurfacesOwnPitch)
{
    // Odd widths give padded rows on both sides.
    SurfacePtr target = makeSurface(7, 5, 0), source = makeNumbered(3, 3);
    Gfx::Internal::Raster2D::instance().Blit(*target, {2, 1}, *source, Rect{0, 0, 3, 3});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(at(*target, x + 2, y + 1), at(*source, x, y));
    EXPECT_EQ(changed(*target, 0).size(), 9u - 1); // source (0, 0) is 0 itself
}

namespace {

// The keyed blit as a plain walk, pixel by pixel in order: what every faster version must give.
void keyedWalk(Surface& target, Gfx::Point at, const Surface& source, const Rect& from,
               uint16_t key)
{
    for (int sy = from.top; sy < from.bottom; ++sy)
        for (int sx = from.left; sx < from.right; ++sx) {
            const uint16_t p = source.row(sy)[sx];
            if (p != key)
                target.row(at.y + sy - from.top)[at.x + sx - from.left] = p;
        }
}

// Pixels from a small generator; about one in three is the key.
SurfacePtr makeSpeckled(int width, int height, uint32_t seed)
{
    SurfacePtr s(Surface::Create(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            s->row(y)[x] = (seed >> 28) % 3 == 0 ? Gfx::kColourKey : uint16_t(seed >> 8);
        }
    return s;
}

bool sameSurface(const Surface& a, const Surface& b)
{
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (at(a, x, y) != at(b, x, y))
                return false;
    return true;
}

} // namespace

TEST(Raster2DBlit, KeyedRowsOfEveryWidthAndOffsetMatchThePixelWalk)
{
    auto& raster = Gfx::Internal::Raster2D::instance();
    // Widths around the vector steps, at odd source and destination columns; the pixels right
    // of each row must stay as they were.
    for (int width = 1; width <= 70; ++width) {
        for (int offset : {0, 1, 3}) {
            SurfacePtr source = makeSpeckled(width + 4, 3, uint32_t(width * 7 + offset));
            SurfacePtr got = makeSpeckled(width + 8, 4, 99), want = makeSpeckled(width + 8, 4, 99);
            const Rect from{offset, 0, offset + width, 3};
            raster.BlitColorKey(*got, {3 - offset, 1}, *source, from, Gfx::kColourKey);
            keyedWalk(*want, {3 - offset, 1}, *source, from, Gfx::kColourKey);
            ASSERT_TRUE(sameSurface(*got, *want)) << width << " " << offset;
        }
    }
}

TEST(Raster2DBlit, LongKeyedRowsAtEveryCacheLineOffsetMatchThePixelWalk)
{
    // Long rows step from the destination's cache-line boundary on: every start within a line,
    // and lengths around the point where that begins and around whole steps.
    auto& raster = Gfx::Internal::Raster2D::instance();
    for (int width : {95, 96, 127, 128, 129, 159, 160, 161, 250}) {
        for (int x = 0; x < 32; ++x) {
            SurfacePtr source = makeSpeckled(width + 2, 2, uint32_t(width + x));
            SurfacePtr got = makeSpeckled(width + 40, 2, 7), want = makeSpeckled(width + 40, 2, 7);
            const Rect from{1, 0, width + 1, 2};
            raster.BlitColorKey(*got, {x, 0}, *source, from, Gfx::kColourKey);
            keyedWalk(*want, {x, 0}, *source, from, Gfx::kColourKey);
            ASSERT_TRUE(sameSurface(*got, *want)) << width << " " << x;
        }
    }
}

TEST(Raster2DBlit, KeyedBlitOntoItselfWalksPixelByPixel)
{
    // Overlapping rows keep the pixel-by-pixel order: a copy one pixel to the right repeats the
    // first unkeyed pixel along the row.
    auto& raster = Gfx::Internal::Raster2D::instance();
    for (int shift : {-17, -1, 1, 5, 16}) {
        SurfacePtr got = makeSpeckled(80, 2, 5), want = makeSpeckled(80, 2, 5);
        const Rect from{20, 0, 60, 2};
        raster.BlitColorKey(*got, {20 + shift, 0}, *got, from, Gfx::kColourKey);
        keyedWalk(*want, {20 + shift, 0}, *want, from, Gfx::kColourKey);
        EXPECT_TRUE(sameSurface(*got, *want)) << shift;
    }
}

namespace {

// The opaque blit as its rows: top to bottom, each row moved whole (as if through a buffer).
void rowWalk(Surface& target, Gfx::Point at, const Surface& source, const Rect& from)
{
    std::vector<uint16_t> row(static_cast<size_t>(from.right - from.left));
    for (int sy = from.top; sy < from.bottom; ++sy) {
        std::copy(source.row(sy) + from.left, source.row(sy) + from.right, row.begin());
        std::copy(row.begin(), row.end(), target.row(at.y + sy - from.top) + at.x);
    }
}

} // namespace

TEST(Raster2DBlit, WholeFramesMatchTheRowWalk)
{
    auto& raster = Gfx::Internal::Raster2D::instance();
    // Rows without a gap between them (even widths) and with one (odd widths), onto another
    // surface: every pixel copied, nothing beyond.
    for (int width : {240, 7}) {
        SurfacePtr source = makeSpeckled(width, 9, 3);
        SurfacePtr got = makeSpeckled(width, 9, 4), want = makeSpeckled(width, 9, 4);
        raster.Blit(*got, {0, 0}, *source, Rect{0, 0, width, 9});
        rowWalk(*want, {0, 0}, *source, Rect{0, 0, width, 9});
        EXPECT_TRUE(sameSurface(*got, *want)) << width;
        EXPECT_TRUE(sameSurface(*got, *source)) << width;
    }
    // A frame moved up or down onto itself by whole rows gives what its rows give, the
    // downward move repeating its first rows as the row walk does.
    for (int shift : {-3, -1, 1, 2}) {
        SurfacePtr got = makeSpeckled(24, 10, 6), want = makeSpeckled(24, 10, 6);
        const Rect from{0, shift < 0 ? -shift : 0, 24, shift < 0 ? 10 : 10 - shift};
        const Gfx::Point to{0, shift < 0 ? 0 : shift};
        raster.Blit(*got, to, *got, from);
        rowWalk(*want, to, *want, from);
        EXPECT_TRUE(sameSurface(*got, *want)) << shift;
    }
}
