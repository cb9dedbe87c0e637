#include "sound/sndMixOutput.h"
#include "sound/sndMixSpan.h"
#include "sound/sndMixWide.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

TEST(MixSpan, PackedSumsKeepBothSidesExactAcrossSigns)
{
    const int32_t values[] = {0,       1,          -1,         32767,          -32768,
                              1 << 30, -(1 << 30), 2147483647, -2147483647 - 1};
    for (int32_t l : values)
        for (int32_t r : values) {
            const sndPackedSum s = sndPack(l, r);
            EXPECT_EQ(l, sndLeftOf(s)) << l << " " << r;
            EXPECT_EQ(r, sndRightOf(s)) << l << " " << r;
        }
    // Many products of opposite signs, as the mixer adds them.
    sndPackedSum sum = 0;
    int32_t left = 0, right = 0;
    for (int i = 0; i < 2000; ++i) {
        const int32_t s = (i * 7919) % 256 - 128;
        const int32_t lf = i % 129, rf = 128 - lf;
        sum += s * sndPack(lf, rf);
        left += s * lf;
        right += s * rf;
    }
    EXPECT_EQ(left, sndLeftOf(sum));
    EXPECT_EQ(right, sndRightOf(sum));
}

TEST(MixSpan, RunsEndWhereThePositionReachesTheBound)
{
    EXPECT_EQ(4u, sndFramesBefore(0, 1024, 256, 100)); // 0, 256, 512, 768
    EXPECT_EQ(5u, sndFramesBefore(0, 1025, 256, 100)); // 1024 is still below 1025
    EXPECT_EQ(1u, sndFramesBefore(1023, 1024, 4096, 100));
    EXPECT_EQ(3u, sndFramesBefore(0, 1 << 20, 1, 3)); // capped by the limit
    EXPECT_EQ(7u, sndFramesBefore(10, 20, 0, 7));     // a still position never gets there
    const uint64_t far = uint64_t{1} << 40;           // positions beyond 32 bits
    EXPECT_EQ(2u, sndFramesBefore(far, far + 300, 256, 10));
}

TEST(MixSpan, SoundSpansAddEachFormatAsTheMixerDefinesIt)
{
    // 8-bit stereo: (byte - 128) x 256 per value; the Split layout gives each side its own.
    const uint8_t bytes8[] = {128 + 1, 128 - 2, 128 + 3, 128 - 4};
    sndPackedSum sums[2] = {};
    uint64_t pos = 0;
    sndAddSoundSpan<true, true, sndLayout::Split>(bytes8, pos, 256, sndPack(10, 0), sndPack(0, 20),
                                                  sums, 2);
    EXPECT_EQ(512u, pos);
    EXPECT_EQ(1 * 256 * 10, sndLeftOf(sums[0]));
    EXPECT_EQ(-2 * 256 * 20, sndRightOf(sums[0]));
    EXPECT_EQ(3 * 256 * 10, sndLeftOf(sums[1]));
    EXPECT_EQ(-4 * 256 * 20, sndRightOf(sums[1]));
    // 16-bit mono at half speed: each frame is read twice.
    const int16_t words[] = {-30000, 20000};
    sndPackedSum mono[4] = {};
    pos = 0;
    sndAddSoundSpan<false, false, sndLayout::Summed>(reinterpret_cast<const uint8_t*>(words), pos,
                                                     128, sndPack(3, 5), 0, mono, 4);
    EXPECT_EQ(-90000, sndLeftOf(mono[1]));
    EXPECT_EQ(-150000, sndRightOf(mono[1]));
    EXPECT_EQ(100000, sndRightOf(mono[3]));
}

namespace {

// The value of one output frame of a 16-bit stereo sound, worked out frame by frame.
sndPackedSum referenceFrame(const int16_t* words, uint64_t position, sndLayout layout)
{
    const int16_t* p = words + (position >> 8) * 2;
    if (layout == sndLayout::Split)
        return p[0] * sndPack(7, 0) + p[1] * sndPack(0, 9);
    return (p[0] + p[1]) * sndPack(7, 0);
}

template <sndLayout Layout> void checkHalfRateSpans()
{
    int16_t words[64];
    for (int i = 0; i < 64; ++i)
        words[i] = static_cast<int16_t>((i * 7919) % 60001 - 30000);
    const auto* data = reinterpret_cast<const uint8_t*>(words);
    // Every fraction of the start frame (the upper half starts with a lone frame), every parity
    // of the run, and a start some frames in.
    for (uint64_t start : {0u, 1u, 127u, 128u, 129u, 255u, 5u * 256 + 200, 9u * 256 + 64})
        for (uint32_t frames = 0; frames <= 9; ++frames) {
            sndPackedSum sums[10];
            sndPackedSum expected[10];
            for (uint32_t i = 0; i < 10; ++i)
                sums[i] = expected[i] = sndPack(static_cast<int32_t>(i), -1);
            uint64_t pos = start;
            sndAddSoundSpan<false, true, Layout>(data, pos, 128, sndPack(7, 0), sndPack(0, 9), sums,
                                                 frames);
            for (uint32_t i = 0; i < frames; ++i)
                expected[i] += referenceFrame(words, start + i * 128, Layout);
            EXPECT_EQ(start + frames * 128, pos) << start << " " << frames;
            for (uint32_t i = 0; i < 10; ++i)
                EXPECT_EQ(expected[i], sums[i]) << start << " " << frames << " frame " << i;
        }
}

} // namespace

TEST(MixSpan, HalfRateSoundsReadEachFrameOnceForTwoOutputFrames)
{
    checkHalfRateSpans<sndLayout::Split>();
    checkHalfRateSpans<sndLayout::Summed>();
}

TEST(MixSpan, APairOfMusicSpansAddsWhatEachAddsAlone)
{
    // Every run length up to 40 (the pair loop goes eight frames a step), steps below, at and
    // above a byte with fractions that carry, and a still position.
    int8_t a[200], b[200];
    for (int i = 0; i < 200; ++i) {
        a[i] = static_cast<int8_t>((i * 37) % 256 - 128);
        b[i] = static_cast<int8_t>(127 - (i * 53) % 256);
    }
    const sndPackedSum fa = sndPack(100, 28), fb = sndPack(-3, 125);
    const uint32_t steps[][2] = {{777, 4096 + 123}, {0, 4095}, {3 * 4096 + 4095, 1}};
    for (const auto& step : steps) {
        for (uint32_t frames = 1; frames <= 40; ++frames) {
            sndPackedSum pair[40], single[40];
            for (int i = 0; i < 40; ++i)
                pair[i] = single[i] = sndPack(i, -i);
            uint64_t pa = 5 * 4096 + 4000, pb = 7, qa = pa, qb = pb;
            sndAddMusicSpanPair(a, b, pa, pb, step[0], step[1], fa, fb, pair, frames);
            sndAddMusicSpan(a, qa, step[0], fa, single, frames);
            sndAddMusicSpan(b, qb, step[1], fb, single, frames);
            ASSERT_EQ(qa, pa) << step[0] << " " << frames;
            ASSERT_EQ(qb, pb) << step[1] << " " << frames;
            for (int i = 0; i < 40; ++i)
                ASSERT_EQ(single[i], pair[i]) << step[0] << " " << frames << " " << i;
        }
    }
}

namespace {

// Values from a small generator, exactly as many as asked, so that a read past the end is one
// past the buffer.
template <typename T> std::vector<T> noise(size_t count, uint32_t seed)
{
    std::vector<T> v(count);
    for (auto& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<T>(seed >> 16);
    }
    return v;
}

std::vector<sndPackedSum> startSums(uint32_t frames)
{
    std::vector<sndPackedSum> sums(frames);
    for (uint32_t i = 0; i < frames; ++i)
        sums[i] = sndPack(int32_t(i * 977) - 5000, 3000 - int32_t(i * 131));
    return sums;
}

} // namespace

TEST(MixSpan, WideHalfRateSoundSpansGiveThePlainSums)
{
    // 16-bit stereo at half the output rate from either half of a frame, and another step.
    const auto frames16 = noise<int16_t>(2 * 40, 11);
    const auto* data = reinterpret_cast<const uint8_t*>(frames16.data());
    const sndPackedSum factor = sndPack(90, 38);
    for (uint32_t step : {128u, 200u}) {
        for (uint64_t start : {uint64_t{0}, uint64_t{128 + 5}, uint64_t{3 << 8}}) {
            for (uint32_t frames = 0; frames <= 70; ++frames) {
                if (frames && start + uint64_t(step) * (frames - 1) >= uint64_t{40} << 8)
                    continue;
                auto want = startSums(frames), got = want;
                uint64_t plain = start, wide = start;
                sndAddSoundSpan<false, true, sndLayout::Summed>(data, plain, step, factor, 0,
                                                                want.data(), frames);
                sndAddSoundSpan16StereoSummed(data, wide, step, factor, 0, got.data(), frames);
                ASSERT_EQ(want, got) << step << " " << start << " " << frames;
                ASSERT_EQ(plain, wide);
            }
        }
    }
}

TEST(MixSpan, WideStereoOutputClipsAndUnpacksAsThePlainOne)
{
    // Sums of both signs on each side (a negative left borrows from the right word), inside
    // and beyond the 16-bit range, for every length up to 40 frames.
    const int32_t values[] = {0,      1,      -1,         300,           -300,    32767,     32768,
                              -32768, -32769, 40000 << 7, -(40000 << 7), 1 << 24, -(1 << 24)};
    const size_t n = std::size(values);
    std::vector<sndPackedSum> music, sound;
    for (size_t i = 0; i < n * n; ++i) {
        music.push_back(sndPack(values[i % n], values[i / n]));
        sound.push_back(sndPack(values[(i * 5) % n], values[(i * 3 + 1) % n]));
    }
    for (uint32_t frames = 0; frames <= 40; ++frames) {
        for (size_t start : {size_t{0}, size_t{7}, music.size() - frames}) {
            std::vector<int16_t> want(2 * frames + 1, 77), got = want;
            sndWriteFrames<true>(want.data(), &music[start], &sound[start], frames, sndTo16);
            sndWriteFrames16Stereo(got.data(), &music[start], &sound[start], frames);
            ASSERT_EQ(want, got) << frames << " " << start;
        }
    }
}
