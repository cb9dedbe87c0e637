#include "SurfaceTools.h"
#include "raster/Raster2D.h"
#include "raster/RenderContext.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace rastertest;
using Gfx::Rect;
using Gfx::Transform;

namespace {

constexpr uint16_t kBack = 0x0841;

Gfx::Internal::Raster2D& raster()
{
    return Gfx::Internal::Raster2D::instance();
}

// Every target pixel inside `to` shows source(map(x, y)) when that is inside the source, and
// every other pixel keeps the background.
void expectMapped(const Surface& target, const Surface& source, const Rect& to,
                  const std::function<std::pair<int, int>(int, int)>& map)
{
    for (int y = 0; y < target.height; ++y) {
        for (int x = 0; x < target.width; ++x) {
            uint16_t want = kBack;
            if (x >= to.left && x < to.right && y >= to.top && y < to.bottom) {
                auto [sx, sy] = map(x, y);
                if (sx >= 0 && sx < source.width && sy >= 0 && sy < source.height)
                    want = at(source, sx, sy);
            }
            ASSERT_EQ(at(target, x, y), want) << x << "," << y;
        }
    }
}

} // namespace

TEST(TransformBlit, IdentityEqualsAnOpaqueBlit)
{
    SurfacePtr source = makeNumbered(6, 5);
    SurfacePtr viaTransform = makeSurface(12, 10, kBack), viaBlit = makeSurface(12, 10, kBack);
    const Rect part{1, 1, 5, 4};
    raster().BlitTransform(*viaTransform, part, Transform{}, *source);
    raster().Blit(*viaBlit, {1, 1}, *source, part);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(at(*viaTransform, x, y), at(*viaBlit, x, y)) << x << "," << y;
}

TEST(TransformBlit, PositionsLeftOfOrAboveTheSourceAreSkipped)
{
    SurfacePtr source = makeNumbered(5, 4), target = makeSurface(10, 8, kBack);
    Transform t;
    t.tx = -2 * 65536; // destination x shows source x - 2
    t.ty = 1 * 65536;  // destination y shows source y + 1
    const Rect to{0, 0, 10, 8};
    raster().BlitTransform(*target, to, t, *source);
    expectMapped(*target, *source, to, [](int x, int y) { return std::pair{x - 2, y + 1}; });
}

TEST(TransformBlit, ScalingSamplesPixelCentres)
{
    SurfacePtr source = makeNumbered(8, 8);
    const Rect to{0, 0, 12, 12};

    SurfacePtr doubled = makeSurface(12, 12, kBack);
    raster().BlitTransform(*doubled, to, Transform{512, 0, 0, 512, 0, 0}, *source);
    expectMapped(*doubled, *source, to, [](int x, int y) { return std::pair{x >> 1, y >> 1}; });

    // Half size: centre 64x + 32 times 2048 lands on source pixel 2x + 1.
    SurfacePtr halved = makeSurface(12, 12, kBack);
    raster().BlitTransform(*halved, to, Transform{2048, 0, 0, 2048, 0, 0}, *source);
    expectMapped(*halved, *source, to, [](int x, int y) {
        return std::pair{2 * x + 1, 2 * y + 1};
    });
}

TEST(TransformBlit, MirrorAndQuarterTurn)
{
    SurfacePtr source = makeNumbered(6, 4);
    const Rect to{0, 0, 6, 6};

    SurfacePtr mirrored = makeSurface(6, 6, kBack);
    raster().BlitTransform(*mirrored, to, Transform{-1024, 0, 0, 1024, 6 * 65536, 0}, *source);
    expectMapped(*mirrored, *source, to, [](int x, int y) { return std::pair{5 - x, y}; });

    SurfacePtr turned = makeSurface(6, 6, kBack);
    raster().BlitTransform(*turned, to, Transform{0, 1024, 1024, 0, 0, 0}, *source);
    expectMapped(*turned, *source, to, [](int x, int y) { return std::pair{y, x}; });
}

TEST(TransformBlit, IncrementalStepsMatchTheDirectFormula)
{
    SurfacePtr source = makeNumbered(20, 20), target = makeSurface(24, 20, kBack);
    const Transform t{700, 300, -250, 900, 3 << 16, -(1 << 15)};
    const Rect to{2, 3, 23, 19};
    raster().BlitTransform(*target, to, t, *source);
    expectMapped(*target, *source, to, [&](int x, int y) {
        const uint32_t X = 64u * x + 32, Y = 64u * y + 32;
        const uint32_t sx = uint32_t(t.m00) * X + uint32_t(t.m10) * Y + uint32_t(t.tx);
        const uint32_t sy = uint32_t(t.m01) * X + uint32_t(t.m11) * Y + uint32_t(t.ty);
        // Unsigned: anything negative is far outside.
        const uint32_t px = sx >> 16, py = sy >> 16;
        return std::pair{px < 20 ? int(px) : -1, py < 20 ? int(py) : -1};
    });
}

TEST(TransformBlit, KeyedTransformSkipsKeyPixels)
{
    SurfacePtr source = makeNumbered(4, 4), target = makeSurface(4, 4, kBack);
    source->row(2)[1] = Gfx::kColourKey;
    raster().BlitTransformColorKey(*target, Rect{0, 0, 4, 4}, Transform{}, *source,
                                   Gfx::kColourKey);
    EXPECT_EQ(at(*target, 1, 2), kBack);
    EXPECT_EQ(at(*target, 2, 2), at(*source, 2, 2));
    EXPECT_EQ(changed(*target, kBack).size(), 16u - 1); // all but the key pixel
}

TEST(TransformBlit, FrontEndCutsTheDestinationToTheClipOnly)
{
    SurfacePtr source = makeNumbered(8, 8), target = makeSurface(10, 10, kBack);
    ImageHolder holder{target.get()};
    RenderContext rc(&holder);
    rc.clip = Rect{2, 3, 7, 6};
    const Transform t{-1024, 0, 0, 1024, 8 * 65536, 0};
    rc.BlitTransform(Rect{-50, -50, 60, 60}, t, *source, -1);
    // Pixels keep the source position they have in the uncut rectangle.
    expectMapped(*target, *source, rc.clip, [](int x, int y) { return std::pair{7 - x, y}; });
}

TEST(TransformBlit, RandomTransformsMatchTheDirectFormula)
{
    // Rotations, scales, flips, translations, steps that wrap around 2^32 within a row, and
    // matrices with zero entries (the straight-row copies).
    std::mt19937 random(99);
    SurfacePtr source = makeNumbered(13, 9);
    source->row(4)[6] = Gfx::kColourKey;
    auto pick = [&](std::initializer_list<int32_t> choices) {
        return *(choices.begin() + random() % choices.size());
    };
    for (int round = 0; round < 3000; ++round) {
        Transform t;
        const int kind = round % 4;
        auto entry = [&] {
            return kind == 3 ? int32_t(random()) : pick({0, 0, 1024, -1024, 512, 2048, 3000, -700});
        };
        t.m00 = kind == 0 ? 1024 : entry();
        t.m01 = kind == 0 ? 0 : entry();
        t.m10 = kind == 0 ? 0 : entry();
        t.m11 = kind == 0 ? 1024 : entry();
        t.tx = kind == 2 ? int32_t(random()) : int32_t(random() % (40 << 16)) - (20 << 16);
        t.ty = kind == 2 ? int32_t(random()) : int32_t(random() % (40 << 16)) - (20 << 16);
        const bool keyed = random() & 1;
        SurfacePtr target = makeSurface(17, 11, kBack);
        const int left = int(random() % 8), top = int(random() % 5);
        const Rect to{left, top, left + 1 + int(random() % (17 - left)),
                      top + 1 + int(random() % (11 - top))};
        if (keyed)
            raster().BlitTransformColorKey(*target, to, t, *source, Gfx::kColourKey);
        else
            raster().BlitTransform(*target, to, t, *source);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 17; ++x) {
                uint16_t want = kBack;
                if (x >= to.left && x < to.right && y >= to.top && y < to.bottom) {
                    const uint32_t X = 64u * x + 32, Y = 64u * y + 32;
                    const uint32_t px =
                        (uint32_t(t.m00) * X + uint32_t(t.m10) * Y + uint32_t(t.tx)) >> 16;
                    const uint32_t py =
                        (uint32_t(t.m01) * X + uint32_t(t.m11) * Y + uint32_t(t.ty)) >> 16;
                    if (px < 13 && py < 9) {
                        const uint16_t p = at(*source, int(px), int(py));
                        if (!keyed || p != Gfx::kColourKey)
                            want = p;
                    }
                }
                ASSERT_EQ(at(*target, x, y), want)
                    << "round " << round << " at " << x << "," << y << " m " << t.m00 << " "
                    << t.m01 << " " << t.m10 << " " << t.m11 << " t " << t.tx << " " << t.ty;
            }
    }
}
