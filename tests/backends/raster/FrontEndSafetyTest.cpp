// Whatever the arguments, the front end must keep every write inside its clip (and the clip
// inside the surface). The target surface sits inside a larger guarded buffer so that stray
// writes show up as changed guard pixels, not only as sanitizer reports.
#include "SurfaceTools.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

using namespace rastertest;
using Gfx::Rect;

namespace {

constexpr int kGuard = 16;
constexpr int kW = 24, kH = 20;
constexpr uint16_t kSentinel = 0x5555;
constexpr uint16_t kInk = 0xAAAA;

class GuardedTarget : public ::testing::Test
{
  protected:
    GuardedTarget() : buffer(size_t(kW + 2 * kGuard) * (kH + 2 * kGuard), kSentinel)
    {
        surface.width = kW;
        surface.height = kH;
        surface.pitch = (kW + 2 * kGuard) * 2;
        surface.pixels = &buffer[size_t(kGuard) * (kW + 2 * kGuard) + kGuard];
        surface.ownsPixels = 0;
        holder.surface = &surface;
        rc.SetTarget(&holder);
        source = makeNumbered(7, 5);
        source->row(2)[3] = Gfx::kColourKey;
    }

    // Buffer pixels that changed outside `allowed` (in surface coordinates).
    std::vector<std::pair<int, int>> strayWrites(const Rect& allowed) const
    {
        std::vector<std::pair<int, int>> out;
        const int stride = kW + 2 * kGuard;
        for (int by = 0; by < kH + 2 * kGuard; ++by)
            for (int bx = 0; bx < stride; ++bx) {
                const int x = bx - kGuard, y = by - kGuard;
                const bool inside = x >= allowed.left && x < allowed.right && y >= allowed.top &&
                                    y < allowed.bottom;
                if (!inside && buffer[size_t(by) * stride + bx] != kSentinel)
                    out.push_back({x, y});
            }
        return out;
    }

    // Every front-end operation once with the given arguments.
    void drawAll(int32_t a, int32_t b, int32_t c, int32_t d)
    {
        ImageHolder src{source.get()};
        const Rect r{a, b, c, d};
        rc.Blit(a, b, src);
        rc.Blit(c, d, src, &r);
        src.colourKey = Gfx::kColourKey;
        rc.Blit(a, d, src);
        rc.Blit(c, b, src, &r);
        rc.DrawHLine(a, b, c, kInk);
        rc.DrawVLine(a, b, d, kInk);
        rc.DrawLine(a, b, c, d, kInk);
        rc.DrawLine(a, b, a, d, kInk);
        rc.DrawLine(a, b, c, b, kInk);
        rc.FillRect(r, kInk);
        rc.BlitTransform(r, Gfx::Transform{a % 4096, b % 4096, c % 4096, d % 4096, a, b}, *source,
                         -1);
        rc.BlitTransform(r, Gfx::Transform{}, *source, Gfx::kColourKey);
        rc.DrawCircle(a, b, c & 0xFF, kInk);
        rc.DrawCircle(c, d, std::abs(a % 64), kInk);
    }

    std::vector<uint16_t> buffer;
    Surface surface;
    ImageHolder holder;
    RenderContext rc;
    SurfacePtr source;
};

const int32_t kExtremes[] = {
    INT32_MIN, INT32_MIN + 1, -1000000000, -65536,        -kW,      -1, 0, 1, kW / 2, kW,
    kH,        65536,         1000000000,  INT32_MAX - 1, INT32_MAX};

} // namespace

TEST_F(GuardedTarget, ExtremeArgumentsWriteOnlyInsideTheClip)
{
    const Rect clip{5, 4, 17, 13};
    rc.clip = clip;
    for (int32_t a : kExtremes)
        for (int32_t b : kExtremes)
            for (int32_t c : {INT32_MIN, -3, 0, 9, 15, INT32_MAX})
                for (int32_t d : {INT32_MIN, -7, 2, 11, INT32_MAX})
                    drawAll(a, b, c, d);
    EXPECT_EQ(strayWrites(clip), (std::vector<std::pair<int, int>>{}));
    // And something was drawn at all.
    EXPECT_FALSE(strayWrites(Rect{}).empty());
}

TEST_F(GuardedTarget, RandomArgumentsWriteOnlyInsideTheClip)
{
    const Rect clip{3, 6, 20, 15};
    rc.clip = clip;
    std::mt19937 random(12345);
    for (int i = 0; i < 20000; ++i) {
        // Mostly near the surface, sometimes anywhere.
        auto arg = [&] {
            const uint32_t pick = random() % 4;
            const int32_t v = int32_t(random());
            return pick == 0 ? v : pick == 1 ? v % 1000 : v % 40 - 10;
        };
        drawAll(arg(), arg(), arg(), arg());
    }
    EXPECT_EQ(strayWrites(clip), (std::vector<std::pair<int, int>>{}));
}

TEST_F(GuardedTarget, ClipLargerThanTheSurfaceStillStopsAtTheSurface)
{
    rc.clip = Rect{-1000, -1000, 1000, 1000};
    for (int32_t a : kExtremes)
        for (int32_t b : kExtremes)
            drawAll(a, b, a / 2 + 7, b / 3 - 5);
    for (int32_t a : kExtremes)
        for (int32_t b : kExtremes)
            rc.SetPixel(a, b, kInk);
    EXPECT_EQ(strayWrites(Rect{0, 0, kW, kH}), (std::vector<std::pair<int, int>>{}));
}

TEST_F(GuardedTarget, SetPixelNeverLeavesTheSurface)
{
    rc.clip = Rect{8, 8, 9, 9};
    for (int32_t a : kExtremes)
        for (int32_t b : kExtremes)
            rc.SetPixel(a, b, kInk);
    EXPECT_EQ(strayWrites(Rect{0, 0, kW, kH}), (std::vector<std::pair<int, int>>{}));
}
