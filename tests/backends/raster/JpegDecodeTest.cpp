#include "DecodeTools.h"
#include "SurfaceTools.h"

#include <gtest/gtest.h>

#include <random>

using namespace rastertest;

namespace {

std::vector<uint8_t> picture(int width, int height)
{
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(uint8_t(x * 255 / (width - 1)));
            rgb.push_back(uint8_t(y * 255 / (height - 1)));
            rgb.push_back(uint8_t((x + y) % 2 ? 200 : 40));
        }
    return rgb;
}

// The decode must equal libjpeg's own RGB decode of the same file, pixel by pixel, packed as
// (r >> 3) << 11 | (g >> 2) << 5 | b >> 3.
void expectLikeLibjpeg(const Bytes& jpeg)
{
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = referenceJpegRgb(jpeg, width, height);
    ImagePtr image = decode(jpeg);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->surface->width, width);
    ASSERT_EQ(image->surface->height, height);
    EXPECT_LT(image->colourKey, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            ASSERT_EQ(at(*image->surface, x, y), Gfx::rgb565(p[0], p[1], p[2])) << x << "," << y;
        }
}

Bytes sample(JpegKind kind, int width = 23, int height = 17)
{
    return encodeJpeg(picture(width, height), width, height, kind);
}

// Offset of the first start-of-frame marker's height field.
size_t frameSizeField(const Bytes& jpeg)
{
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
            return i + 5;
    return 0;
}

// The file with its last scan repeated until it has `scans` scans in all.
Bytes withRepeatedLastScan(const Bytes& jpeg, int scans)
{
    size_t last = 0;
    int count = 0;
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
            last = i;
            ++count;
        }
    const size_t eoi = jpeg.size() - 2;
    Bytes out(jpeg.begin(), jpeg.begin() + long(eoi));
    for (int i = count; i < scans; ++i)
        out.insert(out.end(), jpeg.begin() + long(last), jpeg.begin() + long(eoi));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

// A grey progressive file of the given size made of `scans` DC scans with four bytes of data
// each: a few kilobytes however large the frame.
Bytes emptyProgressiveScans(int width, int height, int scans)
{
    auto segment = [](Bytes& out, uint8_t marker, const Bytes& payload) {
        const size_t length = payload.size() + 2;
        out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
        out.insert(out.end(), payload.begin(), payload.end());
    };
    Bytes out = {0xFF, 0xD8};
    Bytes table(65, 1);
    table[0] = 0; // 8-bit table 0
    segment(out, 0xDB, table);
    segment(out, 0xC2,
            {8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 1, 1,
             0x11, 0});
    Bytes huffman(18, 0); // DC table 0: one code of one bit for the value 0
    huffman[1] = 1;
    segment(out, 0xC4, huffman);
    for (int i = 0; i < scans; ++i) {
        segment(out, 0xDA, {1, 1, 0, 0, 0, 0});
        out.insert(out.end(), 4, 0);
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

} // namespace

TEST(JpegDecode, BaselineAndProgressiveMatchLibjpegsOwnDecode)
{
    expectLikeLibjpeg(sample(JpegKind::Baseline));
    expectLikeLibjpeg(sample(JpegKind::Progressive));
    expectLikeLibjpeg(sample(JpegKind::Baseline, 240, 320));
}

TEST(JpegDecode, ColoursComeOutClose)
{
    // A flat picture of one colour survives the lossy round trip within a step or two.
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 16 * 16; ++i)
        rgb.insert(rgb.end(), {255, 255, 255});
    ImagePtr white = decode(encodeJpeg(rgb, 16, 16, JpegKind::Baseline, 95));
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(at(*white->surface, 7, 7), 0xFFFF);
    rgb.clear();
    for (int i = 0; i < 16 * 16; ++i)
        rgb.insert(rgb.end(), {200, 100, 40});
    ImagePtr flat = decode(encodeJpeg(rgb, 16, 16, JpegKind::Baseline, 95));
    ASSERT_NE(flat, nullptr);
    const uint16_t p = at(*flat->surface, 5, 9);
    EXPECT_NEAR(p >> 11, 200 >> 3, 1);
    EXPECT_NEAR(p >> 5 & 63, 100 >> 2, 1);
    EXPECT_NEAR(p & 31, 40 >> 3, 1);
}

TEST(JpegDecode, GreyscaleGivesGreyPixels)
{
    const Bytes grey = sample(JpegKind::Grey);
    expectLikeLibjpeg(grey);
    ImagePtr image = decode(grey);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < image->surface->height; ++y)
        for (int x = 0; x < image->surface->width; ++x) {
            const uint16_t p = at(*image->surface, x, y);
            ASSERT_EQ(p >> 11, p & 31) << x << "," << y;
            ASSERT_EQ((p >> 5 & 63) >> 1, p & 31) << x << "," << y;
        }
}

TEST(JpegDecode, TruncatedFilesNeverFailUnsafely)
{
    const Bytes jpeg = sample(JpegKind::Progressive, 40, 24);
    size_t decoded = 0;
    for (size_t keep = 0; keep < jpeg.size(); ++keep) {
        ImagePtr image = decode(Bytes(jpeg.begin(), jpeg.begin() + long(keep)));
        // Up to the frame header nothing can be decoded; after it libjpeg pads the missing
        // data and the picture keeps its full size.
        if (image) {
            ++decoded;
            EXPECT_EQ(image->surface->width, 40);
            EXPECT_EQ(image->surface->height, 24);
        }
    }
    EXPECT_GT(decoded, 0u);
    EXPECT_EQ(decode(Bytes(jpeg.begin(), jpeg.begin() + 20)), nullptr);
}

TEST(JpegDecode, DamagedFilesNeverFailUnsafely)
{
    const Bytes jpeg = sample(JpegKind::Baseline, 32, 16);
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Bytes damaged = jpeg;
        for (int i = 0; i < 1 + round % 8; ++i)
            damaged[random() % damaged.size()] = uint8_t(random());
        ImagePtr image = decode(damaged);
        if (image) {
            EXPECT_GT(image->surface->width, 0);
            EXPECT_LE(image->surface->width, kMaxImageSide);
        }
    }
    EXPECT_EQ(decode(Bytes{}), nullptr);
    EXPECT_EQ(decode(Bytes{0xFF, 0xD8}), nullptr);
    EXPECT_EQ(decode(Bytes{0xFF, 0xD8, 0xFF, 0xD9}), nullptr); // no image at all
    EXPECT_EQ(decode(Bytes(100, 0x00)), nullptr);
}

TEST(JpegDecode, FramesBeyondTheSideLimitAreRefused)
{
    const Bytes jpeg = sample(JpegKind::Baseline, 16, 16);
    const size_t field = frameSizeField(jpeg);
    ASSERT_NE(field, 0u);
    for (int side : {kMaxImageSide + 1, 65000}) {
        Bytes tall = jpeg;
        tall[field] = uint8_t(side >> 8);
        tall[field + 1] = uint8_t(side);
        EXPECT_EQ(decode(tall), nullptr) << side;
        Bytes wide = jpeg;
        wide[field + 2] = uint8_t(side >> 8);
        wide[field + 3] = uint8_t(side);
        EXPECT_EQ(decode(wide), nullptr) << side;
    }
}

TEST(JpegDecode, ProgressiveFilesWithEndlessScansAreRefused)
{
    // libjpeg only warns about a repeated scan, so a small file could keep the decoder busy
    // for as many full passes as it has scans.
    const Bytes jpeg = sample(JpegKind::Progressive, 16, 16);
    EXPECT_NE(decode(withRepeatedLastScan(jpeg, 100)), nullptr);
    EXPECT_EQ(decode(withRepeatedLastScan(jpeg, 600)), nullptr);
}

TEST(JpegDecode, ManyScansOverALargeFrameAreRefused)
{
    // Every scan is a pass over the whole frame, so the number allowed shrinks as the frame
    // grows: a 7 KB file of 400 empty scans must not cost 400 passes over 8192 x 8192 pixels.
    const Bytes small = emptyProgressiveScans(256, 256, 400);
    ASSERT_LT(small.size(), 8192u);
    ImagePtr image = decode(small);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->surface->width, 256);
    EXPECT_EQ(image->surface->height, 256);
    EXPECT_EQ(decode(emptyProgressiveScans(kMaxImageSide, kMaxImageSide, 400)), nullptr);
    EXPECT_EQ(decode(emptyProgressiveScans(kMaxImageSide, kMaxImageSide, 40)), nullptr);
}
