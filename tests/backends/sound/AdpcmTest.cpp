#include "SoundData.h"

#include "sound/sndSound.h"

#include <gtest/gtest.h>

#include <random>

using namespace soundtest;

namespace {

const int16_t kCoef[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                             {240, 0}, {460, -208}, {392, -232}};

std::vector<uint8_t> adpcmExtra(uint16_t samplesPerBlock, uint16_t coefCount = 7)
{
    std::vector<uint8_t> e;
    put16(e, 32); // extra size
    put16(e, samplesPerBlock);
    put16(e, coefCount);
    for (auto& c : kCoef) {
        put16(e, static_cast<uint16_t>(c[0]));
        put16(e, static_cast<uint16_t>(c[1]));
    }
    return e;
}

// Straight from the published algorithm, one channel, one sample at a time.
std::vector<int16_t> referenceMono(const std::vector<uint8_t>& block, int samplesPerBlock)
{
    static const int adapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                  768, 614, 512, 409, 307, 230, 230, 230};
    int pred = block[0];
    long long delta = static_cast<int16_t>(block[1] | block[2] << 8);
    int s1 = static_cast<int16_t>(block[3] | block[4] << 8);
    int s2 = static_cast<int16_t>(block[5] | block[6] << 8);
    std::vector<int16_t> out{static_cast<int16_t>(s2), static_cast<int16_t>(s1)};
    for (int i = 0; i < samplesPerBlock - 2; ++i) {
        int byte = block[7 + i / 2];
        int n = i % 2 ? byte & 15 : byte >> 4;
        int sn = n & 8 ? n - 16 : n;
        long long p = (static_cast<long long>(s1) * kCoef[pred][0] + s2 * kCoef[pred][1]) / 256;
        long long v = p + static_cast<long long>(sn) * delta;
        if (v > 32767)
            v = 32767;
        if (v < -32768)
            v = -32768;
        delta = delta * adapt[n] / 256;
        if (delta < 16)
            delta = 16;
        if (delta > 2147483647)
            delta = 2147483647; // noise input grows delta without end

        s2 = s1;
        s1 = static_cast<int>(v);
        out.push_back(static_cast<int16_t>(v));
    }
    return out;
}

} // namespace

TEST(Adpcm, MonoBlockMatchesReferenceDecode)
{
    std::mt19937 rng(7);
    for (int predictor = 0; predictor < 7; ++predictor) {
        std::vector<uint8_t> block(256);
        for (auto& b : block)
            b = static_cast<uint8_t>(rng());
        block[0] = static_cast<uint8_t>(predictor);
        auto file = wav(2, 1, 22050, 4, block, 256, adpcmExtra(500));
        sndSound s;
        ASSERT_EQ(0, s.Load(file.data(), file.size()));
        ASSERT_EQ(500u, s.frames); // 1000 bytes of 16-bit PCM
        auto ref = referenceMono(block, 500);
        const int16_t* pcm = reinterpret_cast<const int16_t*>(s.data);
        for (int i = 0; i < 500; ++i)
            ASSERT_EQ(ref[i], pcm[i]) << "predictor " << predictor << " sample " << i;
    }
}

TEST(Adpcm, StereoSplitsNibblesAndDropsPartialBlock)
{
    // Two channels: header bytes interleaved per field, high nibble left, low nibble right.
    std::vector<uint8_t> block = {0, 0, 16, 0, 16, 0, 100, 0, 200, 0, 10, 0, 20, 0};
    block.push_back(0x1F); // left +1, right -1
    block.push_back(0x00);
    std::vector<uint8_t> data = block;
    data.insert(data.end(), {1, 2, 3}); // partial block, dropped
    auto file = wav(2, 2, 8000, 4, data, 16, adpcmExtra(4));
    sndSound s;
    ASSERT_EQ(0, s.Load(file.data(), file.size()));
    EXPECT_EQ(1, s.stereo);
    ASSERT_EQ(4u, s.frames);
    const int16_t* p = reinterpret_cast<const int16_t*>(s.data);
    EXPECT_EQ(10, p[0]);  // left sample2
    EXPECT_EQ(20, p[1]);  // right sample2
    EXPECT_EQ(100, p[2]); // left sample1
    EXPECT_EQ(200, p[3]); // right sample1
    EXPECT_EQ(100 + 16, p[4]);
    EXPECT_EQ(200 - 16, p[5]);
}

TEST(Adpcm, DamagedLayoutsAreRefused)
{
    std::vector<uint8_t> block(256, 0x11);
    sndSound s;
    auto sixCoefs = wav(2, 1, 8000, 4, block, 256, adpcmExtra(500, 6));
    EXPECT_EQ(-100, s.Load(sixCoefs.data(), sixCoefs.size()));
    block[0] = 7; // predictor index past the table
    auto badPredictor = wav(2, 1, 8000, 4, block, 256, adpcmExtra(500));
    EXPECT_EQ(-100, s.Load(badPredictor.data(), badPredictor.size()));
    block[0] = 0;
    auto tooManySamples = wav(2, 1, 8000, 4, block, 256, adpcmExtra(600));
    EXPECT_EQ(-100, s.Load(tooManySamples.data(), tooManySamples.size()));
    auto zeroAlign = wav(2, 1, 8000, 4, block, 0xFFFF, adpcmExtra(500));
    zeroAlign[32] = zeroAlign[33] = 0;
    EXPECT_EQ(-100, s.Load(zeroAlign.data(), zeroAlign.size()));
    auto noExtra = wav(2, 1, 8000, 4, block, 256);
    EXPECT_EQ(-100, s.Load(noExtra.data(), noExtra.size()));
    EXPECT_EQ(nullptr, s.data);
}
