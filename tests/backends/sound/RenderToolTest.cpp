#include "SoundData.h"

#include "Renderer.h"

#include <gtest/gtest.h>

using namespace soundtest;

TEST(RenderTool, SongRendersUntilItEndsAndWavFileIsWellFormed)
{
    ModSample s;
    s.data.assign(32, 50);
    s.loopLengthWords = 16;
    Mod mod(4, {0}, 1, {s});
    mod.cell(0, 0, 0, 1, 428, 0, 0);
    modrender::Options o;
    auto r = modrender::render(mod.bytes, o);
    ASSERT_EQ(0, r.code);
    // Rows of 1 + 6 x 883 frames; the song ends as the last row is read, after 63 rows and one
    // frame. Whole 1024-frame chunks are kept.
    const size_t frames = r.pcm.size() / 4;
    EXPECT_GE(frames, 63u * (1 + 6 * 883) + 1);
    EXPECT_LT(frames, 63u * (1 + 6 * 883) + 1 + 1024);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    EXPECT_NE(0, pcm[0] | pcm[1]);
    auto wav = modrender::wavFile(r.pcm, o);
    EXPECT_EQ(44 + r.pcm.size(), wav.size());
    EXPECT_EQ(0, std::memcmp(wav.data() + 36, "data", 4));

    o.maxSeconds = 0.5;
    auto looping = mod.bytes;
    auto endless = modrender::render(looping, o);
    EXPECT_LE(endless.pcm.size() / 4, 22050u + 1024);
}

TEST(RenderTool, WavPlaysAtItsRateAndBadInputIsReported)
{
    modrender::Options o;
    o.stereo = 0;
    auto w = wav(1, 1, 22050, 8, {0x80 + 2, 0x80 - 2});
    auto r = modrender::render(w, o);
    ASSERT_EQ(0, r.code);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(r.pcm.data());
    EXPECT_EQ((2 << 8) * 64 >> 7, pcm[0]);
    EXPECT_EQ(pcm[0], pcm[1]);
    EXPECT_EQ(-((2 << 8) * 64 >> 7), pcm[2]);
    EXPECT_EQ(0, pcm[4]);
    auto broken = w;
    broken.resize(30);
    EXPECT_NE(0, modrender::render(broken, o).code);
    EXPECT_EQ(-100, modrender::render(std::vector<uint8_t>(100, 1), o).code);
}
