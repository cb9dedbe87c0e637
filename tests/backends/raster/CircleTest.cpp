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
constexpr uint16_t kInk = 0x07E0;

PointSet circle(int r)
{
    SurfacePtr s = makeSurface(2 * r + 5, 2 * r + 5, kBack);
    Gfx::Internal::Raster2D::instance().DrawCircle(*s, {r + 2, r + 2}, r, kInk);
    return shifted(changed(*s, kBack), -(r + 2), -(r + 2));
}

PointSet allSigns(std::initializer_list<std::pair<int, int>> firstOctant)
{
    PointSet out;
    for (auto [x, y] : firstOctant)
        for (int sx : {1, -1})
            for (int sy : {1, -1}) {
                out.insert({sx * x, sy * y});
                out.insert({sy * y, sx * x});
            }
    return out;
}

} // namespace

TEST(Circle, SmallRadiiWorkedThroughByHand)
{
    EXPECT_EQ(circle(0), (PointSet{{0, 0}}));
    EXPECT_EQ(circle(1), allSigns({{0, 1}}));
    // r = 2: (0, 2); d = -1 -> 5, (1, 2); d -> 11, y = 1; loop ends with x = 2, y = 1.
    EXPECT_EQ(circle(2), allSigns({{0, 2}, {1, 2}}));
    // r = 3: (0, 3); d = -3 -> 3, (1, 3); d -> 5, y = 2; ends with x == y == 2.
    EXPECT_EQ(circle(3), allSigns({{0, 3}, {1, 3}, {2, 2}}));
}

TEST(Circle, EightfoldSymmetryAndRadius)
{
    for (int r : {4, 7, 12, 25}) {
        const PointSet p = circle(r);
        for (auto [x, y] : p) {
            EXPECT_TRUE(p.count({-x, y}) && p.count({x, -y}) && p.count({y, x})) << r;
            const double d = std::sqrt(double(x * x + y * y));
            EXPECT_LT(std::abs(d - r), 1.0) << r << ": " << x << "," << y;
        }
        EXPECT_TRUE(p.count({0, r}) && p.count({r, 0}) && p.count({0, -r}) && p.count({-r, 0}));
    }
}

TEST(Circle, ClippedCircleIsTheFullCircleCutToTheClip)
{
    const int r = 9;
    SurfacePtr full = makeSurface(30, 30, kBack), cut = makeSurface(30, 30, kBack);
    auto& raster = Gfx::Internal::Raster2D::instance();
    raster.DrawCircle(*full, {15, 15}, r, kInk);
    const Rect clip{8, 3, 19, 17};
    raster.DrawCircleClipped(*cut, {15, 15}, r, kInk, clip);
    PointSet want;
    for (auto [x, y] : changed(*full, kBack))
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)
            want.insert({x, y});
    ASSERT_FALSE(want.empty());
    EXPECT_EQ(changed(*cut, kBack), want);
}

TEST(Circle, FrontEndClipsAtTheSurfaceEdges)
{
    SurfacePtr s = makeSurface(10, 10, kBack);
    ImageHolder h{s.get()};
    RenderContext rc(&h);
    rc.DrawCircle(0, 0, 6, kInk); // three quarters outside
    SurfacePtr full = makeSurface(20, 20, kBack);
    Gfx::Internal::Raster2D::instance().DrawCircle(*full, {10, 10}, 6, kInk);
    PointSet want;
    for (auto [x, y] : changed(*full, kBack))
        if (x >= 10 && y >= 10)
            want.insert({x - 10, y - 10});
    EXPECT_EQ(changed(*s, kBack), want);
}

TEST(Circle, HugeCircleAroundTheClipDrawsNothingAndReturnsAtOnce)
{
    SurfacePtr s = makeSurface(10, 10, kBack);
    ImageHolder h{s.get()};
    RenderContext rc(&h);
    rc.DrawCircle(5, 5, INT32_MAX, kInk);
    rc.DrawCircle(-1000000, 5, 1000000 + 30, kInk); // the ring passes right of the surface
    EXPECT_EQ(changed(*s, kBack), PointSet{});
    // A ring through the surface still draws there: radius 7 about (-2, 5) crosses x = 5.
    rc.DrawCircle(-2, 5, 7, kInk);
    SurfacePtr full = makeSurface(30, 30, kBack);
    Gfx::Internal::Raster2D::instance().DrawCircle(*full, {13, 15}, 7, kInk);
    PointSet want;
    for (auto [x, y] : changed(*full, kBack))
        if (x - 15 >= 0 && x - 15 < 10 && y - 10 >= 0 && y - 10 < 10)
            want.insert({x - 15, y - 10});
    ASSERT_FALSE(want.empty());
    EXPECT_EQ(changed(*s, kBack), want);
}
