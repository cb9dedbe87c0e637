#include "SurfaceTools.h"
#include "raster/Raster2D.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rastertest;
using Gfx::Rect;

namespace {

constexpr uint16_t kBack = 0x1234;
constexpr uint16_t kInk = 0xABCD;

Gfx::Internal::Raster2D& raster()
{
    return Gfx::Internal::Raster2D::instance();
}

PointSet rectPoints(const Rect& r)
{
    PointSet out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.insert({x, y});
    return out;
}

class FillTest : public ::testing::Test
{
  protected:
    FillTest() : target(makeSurface(12, 10, kBack)), holder{target.get()}, rc(&holder) {}
    PointSet drawn() const { return changed(*target, kBack); }
    SurfacePtr target;
    ImageHolder holder;
    RenderContext rc;
};

} // namespace

TEST_F(FillTest, RectangleCutToTheClipOnEveryEdge)
{
    rc.clip = Rect{2, 3, 9, 8};
    rc.FillRect(Rect{-5, -5, 4, 5}, kInk); // top-left corner
    rc.FillRect(Rect{7, 6, 40, 40}, kInk); // bottom-right corner
    PointSet want = rectPoints(Rect{2, 3, 4, 5});
    for (auto p : rectPoints(Rect{7, 6, 9, 8}))
        want.insert(p);
    EXPECT_EQ(drawn(), want);
}

TEST_F(FillTest, EmptyAndInvertedRectanglesDrawNothing)
{
    rc.FillRect(Rect{3, 3, 3, 8}, kInk);
    rc.FillRect(Rect{3, 5, 8, 5}, kInk);
    rc.FillRect(Rect{8, 8, 3, 3}, kInk);
    rc.FillRect(Rect{12, 0, 20, 10}, kInk); // starts at the exclusive right edge
    EXPECT_EQ(drawn(), PointSet{});
    raster().FillRect(*target, Rect{2, 4, 6, 4}, kInk); // top == bottom
    EXPECT_EQ(drawn(), PointSet{});
}

TEST_F(FillTest, HorizontalRunsCutToTheClip)
{
    rc.clip = Rect{2, 2, 10, 8};
    rc.DrawHLine(-3, 2, 7, kInk); // x -3..3 -> 2..3
    rc.DrawHLine(8, 3, 5, kInk);  // 8..12 -> 8..9
    rc.DrawHLine(0, 1, 12, kInk); // row above the clip
    rc.DrawHLine(0, 8, 12, kInk); // the exclusive bottom row
    rc.DrawHLine(4, 4, 0, kInk);  // no pixels
    rc.DrawHLine(0, 5, 2, kInk);  // ends at the clip's left edge
    EXPECT_EQ(drawn(), (PointSet{{2, 2}, {3, 2}, {8, 3}, {9, 3}}));
}

TEST_F(FillTest, VerticalRunsCutToTheClip)
{
    rc.clip = Rect{2, 2, 10, 8};
    rc.DrawVLine(2, -3, 7, kInk);  // y -3..3 -> 2..3
    rc.DrawVLine(9, 6, 5, kInk);   // 6..10 -> 6..7
    rc.DrawVLine(1, 0, 10, kInk);  // column left of the clip
    rc.DrawVLine(10, 0, 10, kInk); // the exclusive right column
    rc.DrawVLine(4, 4, -2, kInk);
    EXPECT_EQ(drawn(), (PointSet{{2, 2}, {2, 3}, {9, 6}, {9, 7}}));
    raster().DrawVLine(*target, {5, 5}, 0, kInk);
    raster().DrawVLine(*target, {5, 5}, -4, kInk);
    EXPECT_EQ(drawn().size(), 4u);
}

TEST_F(FillTest, SetPixelTestsTheSurfaceNotTheClip)
{
    rc.clip = Rect{4, 4, 6, 6};
    rc.SetPixel(0, 0, kInk); // outside the clip, inside the surface: drawn
    rc.SetPixel(11, 9, kInk);
    rc.SetPixel(12, 0, kInk); // outside the surface: not drawn
    rc.SetPixel(-1, 5, kInk);
    rc.SetPixel(5, 10, kInk);
    EXPECT_EQ(drawn(), (PointSet{{0, 0}, {11, 9}}));
    rc.clip = Rect{4, 4, 4, 6}; // an empty clip draws nothing at all
    rc.SetPixel(1, 1, kInk);
    EXPECT_EQ(drawn().size(), 2u);
}

TEST(Clear, EveryPathFillsEveryPixel)
{
    for (int width : {175, 176, 3, 8}) {
        for (uint16_t colour : {uint16_t(0xFFFF), uint16_t(0), uint16_t(Gfx::kColourKey)}) {
            SurfacePtr s = makeSurface(width, 4, kBack);
            raster().Clear(*s, colour);
            EXPECT_EQ(changed(*s, colour), PointSet{}) << width << " " << colour;
        }
    }
}

TEST(Clear, ByteFillCoversTheRowPaddingWordFillsDoNot)
{
    // 175 pixels: pitch 352, two bytes of padding per row.
    for (uint16_t colour : {uint16_t(0xFFFF), uint16_t(0xF81F)}) {
        SurfacePtr s(Surface::Create(175, 3));
        std::memset(s->pixels, 0x5A, size_t(s->pitch) * 3);
        raster().Clear(*s, colour);
        const auto* pad = reinterpret_cast<const uint8_t*>(s->row(1)) + 350;
        const uint8_t want = colour == 0xFFFF ? 0xFF : 0x5A;
        EXPECT_EQ(pad[0], want) << colour;
        EXPECT_EQ(pad[1], want) << colour;
    }
}

TEST(FillRuns, LongAndShortRunsAtEveryAlignment)
{
    // Rows of 600 pixels take the long-run path, narrow ones the short one (around its 8- and
    // 16-pixel stores); odd starts and odd lengths have a single pixel on either side of the pairs.
    // Starts 0 to 31 put the row's first pixel at every 2-byte offset of a 64-byte line.
    for (int left = 0; left < 32; ++left) {
        for (int count :
             {1, 2, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 255, 256, 257, 300, 599 - 32}) {
            SurfacePtr s = makeSurface(600, 3, kBack);
            raster().FillRect(*s, Rect{left, 1, left + count, 2}, kInk);
            EXPECT_EQ(changed(*s, kInk).size() + size_t(count), size_t(600 * 3))
                << left << " " << count;
            EXPECT_EQ(changed(*s, kBack), rectPoints(Rect{left, 1, left + count, 2}))
                << left << " " << count;
            SurfacePtr h = makeSurface(600, 2, kBack);
            raster().DrawHLine(*h, {left, 1}, count, kInk);
            EXPECT_EQ(changed(*h, kBack), rectPoints(Rect{left, 1, left + count, 2}));
        }
    }
}

TEST(FillRuns, WholeRowsWithAndWithoutPadding)
{
    // 300 wide: no padding, the rows form one run. 301 wide: two padding bytes per row that
    // must stay untouched.
    for (int width : {300, 301}) {
        SurfacePtr s(Surface::Create(width, 4));
        std::memset(s->pixels, 0x5A, size_t(s->pitch) * 4);
        raster().FillRect(*s, Rect{0, 1, width, 3}, kInk);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(at(*s, x, y), (y == 1 || y == 2) ? kInk : 0x5A5A) << x << "," << y;
        const auto* bytes = static_cast<const uint8_t*>(s->pixels);
        for (int i = width * 2; i < s->pitch; ++i)
            EXPECT_EQ(bytes[s->pitch + i], 0x5A);
    }
}
