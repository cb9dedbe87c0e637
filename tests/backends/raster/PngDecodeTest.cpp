#include "DecodeTools.h"
#include "SurfaceTools.h"

#include <png.h>

#include <gtest/gtest.h>

using namespace rastertest;

namespace {

// Width x height RGB samples with distinct, uneven values.
std::vector<uint16_t> rgbPattern(int width, int height, int maxValue = 255)
{
    std::vector<uint16_t> s;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                s.push_back(uint16_t((x * 37 + y * 91 + c * 53 + x * y * 7) % (maxValue + 1)));
    return s;
}

PngLayout rgbLayout(int width, int height)
{
    return pngLayout(width, height, PNG_COLOR_TYPE_RGB, 8, rgbPattern(width, height));
}

void expectRgb(const ImagePtr& image, const std::vector<uint16_t>& rgb, int width, int height)
{
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->surface->width, width);
    ASSERT_EQ(image->surface->height, height);
    EXPECT_LT(image->colourKey, 0);
    EXPECT_EQ(image->secondSurface, nullptr);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint16_t* p = &rgb[(size_t(y) * width + x) * 3];
            ASSERT_EQ(at(*image->surface, x, y), Gfx::rgb565(p[0], p[1], p[2])) << x << "," << y;
        }
}

} // namespace

TEST(PngDecode, RgbToRgb565)
{
    PngLayout layout =
        pngLayout(3, 1, PNG_COLOR_TYPE_RGB, 8, {255, 255, 255, 255, 0, 255, 0, 0, 0});
    ImagePtr image = decode(encodePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(at(*image->surface, 0, 0), 0xFFFF);
    EXPECT_EQ(at(*image->surface, 1, 0), Gfx::kColourKey);
    EXPECT_EQ(at(*image->surface, 2, 0), 0x0000);

    // (r >> 3) << 11 | (g >> 2) << 5 | b >> 3 for every pixel.
    const PngLayout big = rgbLayout(13, 7);
    expectRgb(decode(encodePng(big)), big.samples, 13, 7);
}

TEST(PngDecode, PaletteEntriesWithAlphaZeroBecomeTheColourKey)
{
    PngLayout layout = pngLayout(8, 2, PNG_COLOR_TYPE_PALETTE, 8);
    for (int i = 0; i < 8; ++i) {
        layout.palette.insert(layout.palette.end(),
                              {uint8_t(i * 30), uint8_t(200 - i * 20), uint8_t(i * 9 + 1)});
        layout.paletteAlpha.push_back(i == 5 ? 0 : i == 6 ? 128 : 255);
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            layout.samples.push_back(uint16_t((x + y * 3) % 8));
    for (int depth : {8, 4}) {
        layout.bitDepth = depth;
        ImagePtr image = decode(encodePng(layout));
        ASSERT_NE(image, nullptr) << depth;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; ++x) {
                const int entry = (x + y * 3) % 8;
                const uint8_t* c = &layout.palette[size_t(entry) * 3];
                // Entry 5 is transparent; entry 6 (alpha 128) stays opaque with its colour.
                const uint16_t want = entry == 5 ? Gfx::kColourKey : Gfx::rgb565(c[0], c[1], c[2]);
                EXPECT_EQ(at(*image->surface, x, y), want) << depth << ": " << x << "," << y;
            }
    }
}

TEST(PngDecode, PaletteWithoutTransparencyAndShortAlphaList)
{
    PngLayout layout = pngLayout(4, 1, PNG_COLOR_TYPE_PALETTE, 2);
    layout.palette = {10, 20, 30, 255, 0, 255, 40, 50, 60, 70, 80, 90};
    layout.samples = {0, 1, 2, 3};
    ImagePtr plain = decode(encodePng(layout));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(at(*plain->surface, 0, 0), Gfx::rgb565(10, 20, 30));
    EXPECT_EQ(at(*plain->surface, 1, 0), Gfx::kColourKey); // magenta as such
    // tRNS shorter than the palette: the missing entries are opaque.
    layout.paletteAlpha = {255, 255, 0};
    ImagePtr keyed = decode(encodePng(layout));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(at(*keyed->surface, 2, 0), Gfx::kColourKey);
    EXPECT_EQ(at(*keyed->surface, 3, 0), Gfx::rgb565(70, 80, 90));
}

TEST(PngDecode, GreyDepthsExpandToFullScale)
{
    for (int depth : {1, 2, 4, 8, 16}) {
        const int maxValue = (1 << depth) - 1;
        PngLayout layout = pngLayout(9, 2, PNG_COLOR_TYPE_GRAY, depth);
        for (int i = 0; i < 18; ++i)
            layout.samples.push_back(uint16_t(i * 5 % (maxValue + 1)));
        ImagePtr image = decode(encodePng(layout));
        ASSERT_NE(image, nullptr) << depth;
        for (int i = 0; i < 18; ++i) {
            // Scaled to 8 bits (a 16-bit sample keeps its high byte).
            const unsigned v =
                depth == 16 ? layout.samples[i] >> 8 : layout.samples[i] * 255 / maxValue;
            EXPECT_EQ(at(*image->surface, i % 9, i / 9), Gfx::rgb565(v, v, v))
                << "depth " << depth << " sample " << i;
        }
    }
}

TEST(PngDecode, AlphaIsDroppedAndGreyTransparencyIgnored)
{
    PngLayout greyAlpha = pngLayout(3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 0, 128, 128, 255, 255});
    ImagePtr a = decode(encodePng(greyAlpha));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(at(*a->surface, 0, 0), 0x0000); // alpha 0 still decodes as its grey
    EXPECT_EQ(at(*a->surface, 1, 0), Gfx::rgb565(128, 128, 128));
    EXPECT_EQ(at(*a->surface, 2, 0), 0xFFFF);

    PngLayout greyKey = pngLayout(2, 1, PNG_COLOR_TYPE_GRAY, 8, {77, 200});
    greyKey.greyKey = true;
    greyKey.greyKeyValue = 77;
    ImagePtr k = decode(encodePng(greyKey));
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(at(*k->surface, 0, 0), Gfx::rgb565(77, 77, 77));

    PngLayout rgba = pngLayout(2, 1, PNG_COLOR_TYPE_RGBA, 8, {255, 0, 0, 0, 1, 2, 3, 200});
    ImagePtr r = decode(encodePng(rgba));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(at(*r->surface, 0, 0), Gfx::rgb565(255, 0, 0));
    EXPECT_EQ(at(*r->surface, 1, 0), Gfx::rgb565(1, 2, 3));
}

TEST(PngDecode, SixteenBitRgbaEqualsItsEightBitRgbForm)
{
    const PngLayout rgb = rgbLayout(11, 6);
    PngLayout deep = pngLayout(11, 6, PNG_COLOR_TYPE_RGBA, 16);
    for (size_t i = 0; i < rgb.samples.size(); i += 3) {
        for (int c = 0; c < 3; ++c)
            deep.samples.push_back(uint16_t(rgb.samples[i + c] * 257));
        deep.samples.push_back(uint16_t(i * 1000 % 65536)); // any alpha
    }
    expectRgb(decode(encodePng(deep)), rgb.samples, 11, 6);
}

TEST(PngDecode, InterlacedEqualsNonInterlaced)
{
    PngLayout layout = rgbLayout(13, 11);
    layout.interlaced = true;
    expectRgb(decode(encodePng(layout)), layout.samples, 13, 11);
    PngLayout grey = pngLayout(5, 9, PNG_COLOR_TYPE_GRAY, 2, {}, true);
    for (int i = 0; i < 45; ++i)
        grey.samples.push_back(uint16_t(i % 4));
    ImagePtr g = decode(encodePng(grey));
    ASSERT_NE(g, nullptr);
    for (int i = 0; i < 45; ++i) {
        const unsigned v = (i % 4) * 85;
        ASSERT_EQ(at(*g->surface, i % 5, i / 5), Gfx::rgb565(v, v, v)) << i;
    }
}

TEST(PngDecode, TruncatedFilesGiveNull)
{
    PngLayout interlaced = rgbLayout(20, 20);
    interlaced.interlaced = true;
    for (const Bytes& png : {encodePng(rgbLayout(20, 20)), encodePng(interlaced)}) {
        const size_t iend = findChunk(png, "IEND");
        ASSERT_NE(iend, std::string::npos);
        // Every cut before the end of the image data fails; ASan checks that nothing is read
        // past the cut (the copy below has exactly the kept bytes).
        for (size_t keep = 0; keep < iend; ++keep) {
            const Bytes cut(png.begin(), png.begin() + long(keep));
            EXPECT_EQ(decode(cut), nullptr) << keep;
        }
        // The trailing IEND chunk is never needed.
        EXPECT_NE(decode(Bytes(png.begin(), png.begin() + long(iend))), nullptr);
    }
}

TEST(PngDecode, DamagedFilesGiveNull)
{
    const Bytes png = encodePng(rgbLayout(16, 16));
    Bytes badCrc = png;
    badCrc[29] ^= 0x01; // a byte of the IHDR CRC
    EXPECT_EQ(decode(badCrc), nullptr);

    Bytes badData = png;
    const size_t idat = findChunk(png, "IDAT");
    for (size_t i = idat + 8; i < idat + 20; ++i)
        badData[i] = 0xFF;
    EXPECT_EQ(decode(badData), nullptr); // broken zlib stream (its CRC broken too)

    Bytes badHeader = png;
    badHeader[24] = 3; // bit depth 3 does not exist
    EXPECT_EQ(decode(badHeader), nullptr);
}

TEST(PngDecode, SignatureAloneOrShortBufferIsNotAPng)
{
    const Bytes png = encodePng(rgbLayout(2, 2));
    // Seven bytes of the signature go to the JPEG decoder, which refuses them.
    EXPECT_EQ(decode(Bytes(png.begin(), png.begin() + 7)), nullptr);
    EXPECT_EQ(decode(Bytes(png.begin(), png.begin() + 8)), nullptr);
    EXPECT_EQ(DecodeImage(nullptr, nullptr), nullptr);
    EXPECT_EQ(DecodeImage(png.data() + 4, png.data()), nullptr);
}

TEST(PngDecode, ImagesBeyondTheSideLimitAreRefused)
{
    PngLayout wide = pngLayout(kMaxImageSide + 1, 1, PNG_COLOR_TYPE_GRAY, 1);
    wide.samples.assign(size_t(kMaxImageSide) + 1, 1);
    EXPECT_EQ(decode(encodePng(wide)), nullptr);
    PngLayout tall = pngLayout(1, kMaxImageSide + 1, PNG_COLOR_TYPE_GRAY, 1);
    tall.samples.assign(size_t(kMaxImageSide) + 1, 1);
    EXPECT_EQ(decode(encodePng(tall)), nullptr);
    PngLayout limit = pngLayout(kMaxImageSide, 1, PNG_COLOR_TYPE_GRAY, 1);
    limit.samples.assign(size_t(kMaxImageSide), 1);
    ImagePtr ok = decode(encodePng(limit));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->surface->width, kMaxImageSide);
    EXPECT_EQ(at(*ok->surface, kMaxImageSide - 1, 0), 0xFFFF);
}
