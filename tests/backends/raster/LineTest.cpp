#include "SurfaceTools.h"
#include "raster/Raster2D.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace rastertest;
using Gfx::Rect;

namespace {

constexpr uint16_t kBack = 0;
constexpr uint16_t kInk = 0xFFFF;

PointSet drawRaster(int w, int h, Gfx::Point a, Gfx::Point b)
{
    SurfacePtr s = makeSurface(w, h, kBack);
    Gfx::Internal::Raster2D::instance().DrawLine(*s, a, b, kInk);
    return changed(*s, kBack);
}

class LineTest : public ::testing::Test
{
  protected:
    LineTest() : target(makeSurface(20, 16, kBack)), holder{target.get()}, rc(&holder) {}
    PointSet drawn() const { return changed(*target, kBack); }
    SurfacePtr target;
    ImageHolder holder;
    RenderContext rc;
};

// (x, y) -> (sx * x, sy * y), optionally with the axes exchanged.
PointSet mirrored(const PointSet& base, int sx, int sy, bool swap)
{
    PointSet out;
    for (auto [x, y] : base)
        out.insert(swap ? std::pair{sy * y, sx * x} : std::pair{sx * x, sy * y});
    return out;
}

} // namespace

TEST_F(LineTest, StraightLinesLeaveOutTheirLargerEnd)
{
    rc.DrawLine(0, 0, 5, 0, kInk);
    EXPECT_EQ(drawn(), (PointSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    target = makeSurface(20, 16, kBack);
    holder.surface = target.get();
    rc.DrawLine(3, 9, 3, 6, kInk); // drawn from the smaller y
    EXPECT_EQ(drawn(), (PointSet{{3, 6}, {3, 7}, {3, 8}}));
    target = makeSurface(20, 16, kBack);
    holder.surface = target.get();
    rc.DrawLine(4, 4, 4, 4, kInk); // both ends equal: nothing
    EXPECT_EQ(drawn(), PointSet{});
}

TEST_F(LineTest, SlopedLinesIncludeBothEnds)
{
    rc.DrawLine(0, 0, 5, 1, kInk);
    EXPECT_EQ(drawn(), (PointSet{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 1}}));
}

TEST(Raster2DLine, StepsOfBothCursorsInEveryOctant)
{
    // Worked through by hand from the symmetric Bresenham steps for (0, 0) -> (5, 2) and
    // (0, 0) -> (2, 5); the other octants follow from the signs of the steps.
    const PointSet shallow{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
    const PointSet steep{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    for (int sx : {1, -1}) {
        for (int sy : {1, -1}) {
            const Gfx::Point c{10, 10};
            EXPECT_EQ(drawRaster(21, 21, c, {c.x + 5 * sx, c.y + 2 * sy}),
                      shifted(mirrored(shallow, sx, sy, false), 10, 10))
                << sx << "," << sy;
            EXPECT_EQ(drawRaster(21, 21, c, {c.x + 2 * sx, c.y + 5 * sy}),
                      shifted(mirrored(steep, sx, sy, false), 10, 10))
                << sx << "," << sy;
        }
    }
}

TEST(Raster2DLine, OddSteepLineAndExactDiagonal)
{
    // dx 1, dy 5: two double steps, then the front and (dy odd) the back.
    EXPECT_EQ(drawRaster(4, 8, {0, 0}, {1, 5}),
              (PointSet{{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}, {1, 5}}));
    // dx == dy takes the shallow branch and moves diagonally every step.
    EXPECT_EQ(drawRaster(8, 8, {6, 1}, {1, 6}),
              (PointSet{{6, 1}, {5, 2}, {4, 3}, {3, 4}, {2, 5}, {1, 6}}));
    EXPECT_EQ(drawRaster(3, 3, {1, 1}, {1, 1}), (PointSet{{1, 1}}));
}

TEST(Raster2DLine, OnePixelPerMajorStepCloseToTheIdealLine)
{
    const Gfx::Point ends[][2] = {{{0, 0}, {37, 11}},
                                  {{30, 2}, {3, 39}},
                                  {{39, 39}, {0, 25}},
                                  {{5, 39}, {22, 0}},
                                  {{0, 20}, {39, 20 - 13}}};
    for (auto& e : ends) {
        const PointSet p = drawRaster(40, 40, e[0], e[1]);
        const int dx = std::abs(e[1].x - e[0].x), dy = std::abs(e[1].y - e[0].y);
        ASSERT_EQ(p.size(), size_t(std::max(dx, dy) + 1));
        EXPECT_TRUE(p.count({e[0].x, e[0].y}) && p.count({e[1].x, e[1].y}));
        for (auto [x, y] : p) {
            // Distance along the minor axis from the exact line, at most one half.
            double off;
            if (dx >= dy)
                off = std::abs(e[0].y + double(e[1].y - e[0].y) * (x - e[0].x) / (e[1].x - e[0].x) -
                               y);
            else
                off = std::abs(e[0].x + double(e[1].x - e[0].x) * (y - e[0].y) / (e[1].y - e[0].y) -
                               x);
            EXPECT_LE(off, 0.5) << x << "," << y;
        }
    }
}

TEST_F(LineTest, ClippedLineEndsOnTheClipBoundary)
{
    rc.clip = Rect{2, 4, 18, 14};
    // From inside to a point above the clip: the last pixel is on the clip's top row.
    rc.DrawLine(10, 10, 16, -2, kInk);
    PointSet p = drawn();
    ASSERT_FALSE(p.empty());
    int minY = 100;
    for (auto [x, y] : p) {
        minY = std::min(minY, y);
        EXPECT_TRUE(x >= 2 && x < 18 && y >= 4 && y < 14) << x << "," << y;
    }
    EXPECT_EQ(minY, 4);
    // Cohen-Sutherland moves (16, -2) to y = 4, x = 10 + 6 * (4 - 10) / (-12) = 13.
    EXPECT_TRUE(p.count({13, 4}));
    EXPECT_TRUE(p.count({10, 10}));
}

TEST_F(LineTest, LineThroughTheClipKeepsItsInsidePixels)
{
    rc.clip = Rect{3, 3, 9, 9};
    rc.DrawLine(-100, -100, 100, 100, kInk);
    EXPECT_EQ(drawn(), (PointSet{{3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}}));
}

TEST_F(LineTest, LinesOutsideTheClipDrawNothing)
{
    rc.clip = Rect{5, 5, 10, 10};
    rc.DrawLine(0, 0, 4, 20, kInk);   // left of the clip
    rc.DrawLine(0, 12, 19, 15, kInk); // below
    rc.DrawLine(0, 9, 4, 0, kInk);    // passes the corner outside
    rc.DrawLine(5, 2, 5, 4, kInk);    // vertical, ends above
    rc.DrawLine(10, 6, 19, 6, kInk);  // horizontal, starts at the exclusive right
    rc.clip = Rect{5, 5, 5, 10};
    rc.DrawLine(0, 0, 19, 15, kInk); // empty clip
    EXPECT_EQ(drawn(), PointSet{});
}

TEST_F(LineTest, StraightLinesAreClippedToo)
{
    rc.clip = Rect{4, 4, 8, 8};
    rc.DrawLine(6, -1000, 6, 1000, kInk);
    rc.DrawLine(-1000, 5, 1000, 5, kInk);
    PointSet want;
    for (int i = 4; i < 8; ++i) {
        want.insert({6, i});
        want.insert({i, 5});
    }
    EXPECT_EQ(drawn(), want);
}

TEST_F(LineTest, StraightLinesBetweenTheFarEndsOfThePlaneCrossTheWholeClip)
{
    // |y2 - y1| is 2^32 - 1 here: the column from INT32_MIN runs through every row of the clip
    // (the larger end, INT32_MAX, lies far below it anyway).
    rc.clip = Rect{2, 3, 18, 13};
    rc.DrawLine(6, INT32_MIN, 6, INT32_MAX, kInk);
    rc.DrawLine(INT32_MAX, 9, INT32_MIN, 9, kInk);
    PointSet want;
    for (int y = 3; y < 13; ++y)
        want.insert({6, y});
    for (int x = 2; x < 18; ++x)
        want.insert({x, 9});
    EXPECT_EQ(drawn(), want);
}
