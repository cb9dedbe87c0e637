#include "SplashArt.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

struct Colour
{
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Colour kNightTop{0x10, 0x18, 0x3a};
constexpr Colour kNightBottom{0x26, 0x34, 0x6e};
constexpr Colour kAmber{0xff, 0xb3, 0x47};
constexpr Colour kCyan{0x5f, 0xd3, 0xff};
constexpr Colour kOffWhite{0xf4, 0xf1, 0xe8};
constexpr Colour kOutline{0x0b, 0x0f, 0x1f};

// The colour of one sample point of the picture, in picture pixels.
Colour sample(float x, float y)
{
    const float w = SplashArt::kWidth, h = SplashArt::kHeight;
    Colour c = mix(kNightTop, kNightBottom, y / h);
    // A one-pixel outline around the panel.
    if (x < 1 || y < 1 || x >= w - 1 || y >= h - 1)
        return kOutline;
    // The ring behind the planet, a tilted ellipse around its centre.
    const float cx = w * 0.5f, cy = h * 0.52f, radius = 30.0f;
    const float dx = x - cx, dy = y - cy;
    const float rx = dx * 0.96f + dy * 0.28f, ry = -dx * 0.28f + dy * 0.96f;
    const float ring = std::sqrt(rx * rx / (62.0f * 62.0f) + ry * ry / (16.0f * 16.0f));
    const bool onRing = ring > 0.86f && ring < 1.0f;
    const bool ringInFront = ry > 0;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (onRing && !ringInFront)
        c = mix(c, kCyan, 0.75f);
    if (d < radius) {
        // Lit from the upper left: amber fading to a dark rim.
        const float lx = (dx + radius * 0.45f) / radius, ly = (dy + radius * 0.45f) / radius;
        const float light = std::clamp(1.0f - std::sqrt(lx * lx + ly * ly) * 0.6f, 0.15f, 1.0f);
        c = mix(kOutline, kAmber, light);
        // Two soft bands across the planet.
        if (std::fabs(dy - 6.0f) < 2.5f || std::fabs(dy + 9.0f) < 1.5f)
            c = mix(c, kOffWhite, 0.18f);
    }
    if (onRing && ringInFront)
        c = mix(c, kCyan, 0.85f);
    return c;
}

uint16_t rgb565(Colour c, int x, int y)
{
    // An ordered dither keeps the gradient from banding in 16 bits.
    static const float bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const float t = (bayer[y & 3][x & 3] + 0.5f) / 16.0f;
    const int r = std::clamp(static_cast<int>(c.r / 8.0f + t), 0, 31);
    const int g = std::clamp(static_cast<int>(c.g / 4.0f + t), 0, 63);
    const int b = std::clamp(static_cast<int>(c.b / 8.0f + t), 0, 31);
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

} // namespace

std::vector<uint16_t> SplashArt::draw()
{
    std::vector<uint16_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    // Fixed stars: positions from a small linear congruential sequence, the same every run.
    uint32_t seed = 0x2545F491u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::vector<std::pair<int, int>> stars;
    for (int i = 0; i < 28; ++i)
        stars.emplace_back(2 + next() % (kWidth - 4), 2 + next() % (kHeight - 4));

    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Four by four samples per pixel for clean edges.
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    Colour s = sample(x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f);
                    sum = {sum.r + s.r, sum.g + s.g, sum.b + s.b};
                }
            Colour c{sum.r / 16, sum.g / 16, sum.b / 16};
            pixels[static_cast<size_t>(y) * kWidth + x] = rgb565(c, x, y);
        }
    }
    for (auto [x, y] : stars) {
        // Stars only on the sky, never over the planet or its ring.
        Colour here = sample(x + 0.5f, y + 0.5f);
        Colour sky = mix(kNightTop, kNightBottom, (y + 0.5f) / kHeight);
        if (std::fabs(here.r - sky.r) < 1 && std::fabs(here.b - sky.b) < 1)
            pixels[static_cast<size_t>(y) * kWidth + x] = rgb565(mix(sky, kOffWhite, 0.8f), x, y);
    }
    return pixels;
}

} // namespace host
