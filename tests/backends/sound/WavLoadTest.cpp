#include "SoundData.h"

#include "sound/sndSound.h"

#include <gtest/gtest.h>

using namespace soundtest;

TEST(WavLoad, PcmFormatsGiveFrameCounts)
{
    sndSound s;
    auto stereo16 = wav(1, 2, 44100, 16, std::vector<uint8_t>(4000, 1));
    ASSERT_EQ(0, s.Load(stereo16.data(), stereo16.size()));
    EXPECT_EQ(1000u, s.frames);
    EXPECT_EQ(1, s.stereo);
    EXPECT_EQ(0, s.is8Bit);
    EXPECT_EQ(44100u, s.playbackRate);

    // A LIST chunk between "fmt " and "data" is skipped by its size.
    std::vector<uint8_t> list;
    putTag(list, "LIST");
    put32(list, 6);
    list.insert(list.end(), {1, 2, 3, 4, 5, 6});
    auto mono8 = wav(1, 1, 22050, 8, {0x80, 0x90, 0xA0}, 0, {}, list);
    ASSERT_EQ(0, s.Load(mono8.data(), mono8.size()));
    EXPECT_EQ(3u, s.frames);
    EXPECT_EQ(1, s.is8Bit);
    EXPECT_EQ(0xA0, s.data[2]);
    EXPECT_EQ(22050u, s.rate);
}

TEST(WavLoad, RefusesBadHeadersWithTheirCodes)
{
    sndSound s;
    EXPECT_EQ(-10, s.Load(nullptr, 0));
    auto adpcm11 = wav(0x11, 1, 8000, 4, std::vector<uint8_t>(256));
    EXPECT_EQ(-100, s.Load(adpcm11.data(), adpcm11.size()));
    auto bits12 = wav(1, 1, 8000, 12, std::vector<uint8_t>(8));
    EXPECT_EQ(-100, s.Load(bits12.data(), bits12.size()));
    auto three = wav(1, 3, 8000, 8, std::vector<uint8_t>(9));
    EXPECT_EQ(-100, s.Load(three.data(), three.size()));
    auto noFmt = wav(1, 1, 8000, 8, std::vector<uint8_t>(8));
    std::memcpy(noFmt.data() + 12, "junk", 4);
    EXPECT_EQ(-300, s.Load(noFmt.data(), noFmt.size()));
    EXPECT_EQ(nullptr, s.data);
}

TEST(WavLoad, LyingOrMissingChunksFailCleanly)
{
    sndSound s;
    auto good = wav(1, 1, 8000, 16, std::vector<uint8_t>(100, 7));
    // The data chunk claims more than the file holds.
    auto lying = good;
    lying[lying.size() - 100 - 4] = 0xFF;
    EXPECT_EQ(-100, s.Load(lying.data(), lying.size()));
    // A chunk between whose size runs past the end.
    std::vector<uint8_t> big;
    putTag(big, "JUNK");
    put32(big, 0x7FFFFFF0);
    auto runaway = wav(1, 1, 8000, 8, {1, 2}, 0, {}, big);
    EXPECT_EQ(-100, s.Load(runaway.data(), runaway.size()));
    // No data chunk at all, and every truncation of a good file.
    auto headerOnly = std::vector<uint8_t>(good.begin(), good.begin() + 36);
    EXPECT_EQ(-100, s.Load(headerOnly.data(), headerOnly.size()));
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_NE(0, s.Load(good.data(), n)) << n;
    EXPECT_EQ(0, s.Load(good.data(), good.size()));
}
