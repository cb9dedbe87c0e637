// Inner loops of the mixer: add a run of output frames of one source, whose step, volume and pan
// stay the same for the whole run, to the mixing sums. One loop per data format and output
// layout, so that none of them tests a format or a boundary per frame.
#pragma once

#include <cstdint>

// A left and a right sum packed in one 64-bit word: left + right x 2^32. One multiplication by
// a packed factor and one addition then serve both sides; each side stays exact as long as its
// own sum fits in 32 bits, which the mixer's channel counts and volumes guarantee.
using sndPackedSum = int64_t;

// Computed in unsigned arithmetic, so that extreme pairs wrap instead of overflowing.
inline sndPackedSum sndPack(int32_t left, int32_t right)
{
    const uint64_t high = static_cast<uint64_t>(static_cast<int64_t>(right)) << 32;
    return static_cast<int64_t>(high + static_cast<uint64_t>(static_cast<int64_t>(left)));
}

inline int32_t sndLeftOf(sndPackedSum sum)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(sum)));
}

inline int32_t sndRightOf(sndPackedSum sum)
{
    const uint64_t left = static_cast<uint64_t>(static_cast<int64_t>(sndLeftOf(sum)));
    return static_cast<int32_t>(static_cast<uint32_t>((static_cast<uint64_t>(sum) - left) >> 32));
}

// Frames, at most `limit`, that a position below `bound` moving by `step` per frame stays below
// it (at least 1).
inline uint32_t sndFramesBefore(uint64_t position, uint64_t bound, uint32_t step, uint32_t limit)
{
    if (step == 0)
        return limit;
    const uint64_t frames = (bound - position + step - 1) / step;
    return frames < limit ? static_cast<uint32_t>(frames) : limit;
}

// How one frame of a sound reaches the sums.
enum class sndLayout {
    Split,  // stereo output, stereo sound at the centre: each side gets its own value
    Summed, // the frame's values, summed, shared out by the factors (the pan, or mono output)
};

// One frame of sound data as mixing values: 8-bit unsigned scaled to 16 bits, or 16-bit signed;
// `second` is 0 for a mono sound.
template <bool EightBit, bool StereoSource>
inline void sndFetchFrame(const uint8_t* data, uint64_t frame, int32_t& first, int32_t& second)
{
    constexpr uint64_t width = StereoSource ? 2 : 1;
    if constexpr (EightBit) {
        const uint8_t* p = data + frame * width;
        first = (p[0] - 128) * 256;
        second = StereoSource ? (p[width - 1] - 128) * 256 : 0;
    } else {
        const int16_t* p = reinterpret_cast<const int16_t*>(data) + frame * width;
        first = p[0];
        second = StereoSource ? p[width - 1] : 0;
    }
}

// One frame of a sound as its packed contribution to the sums.
template <bool EightBit, bool StereoSource, sndLayout Layout>
inline sndPackedSum sndSoundValue(const uint8_t* data, uint64_t frame, sndPackedSum factor,
                                  sndPackedSum second)
{
    int32_t t, o;
    sndFetchFrame<EightBit, StereoSource>(data, frame, t, o);
    if constexpr (Layout == sndLayout::Split)
        return t * factor + o * second;
    else
        return (t + o) * factor;
}

// Adds `frames` frames of a sound (24.8 frame position); `factor` is the packed pair of left and
// right factors (for Split: `factor` for the first value, `second` for the other one).
template <bool EightBit, bool StereoSource, sndLayout Layout>
void sndAddSoundSpan(const uint8_t* data, uint64_t& position, uint32_t step, sndPackedSum factor,
                     sndPackedSum second, sndPackedSum* sums, uint32_t frames)
{
    uint64_t pos = position;
    uint32_t i = 0;
    if (step == 128 && frames >= 2) {
        // Half the output rate (a 22050 Hz sound at 44100 Hz): every source frame feeds two
        // output frames in a row, and is read and scaled once for both. A position in the upper
        // half of its frame starts with a lone frame.
        if (pos & 128) {
            sums[0] +=
                sndSoundValue<EightBit, StereoSource, Layout>(data, pos >> 8, factor, second);
            pos += 128;
            i = 1;
        }
        uint64_t frame = pos >> 8;
#pragma GCC unroll 4
        for (; i + 2 <= frames; i += 2) {
            const sndPackedSum v =
                sndSoundValue<EightBit, StereoSource, Layout>(data, frame++, factor, second);
            sums[i] += v;
            sums[i + 1] += v;
        }
        pos = (frame << 8) | (pos & 0xFF);
    }
#pragma GCC unroll 8
    for (; i < frames; ++i) {
        sums[i] += sndSoundValue<EightBit, StereoSource, Layout>(data, pos >> 8, factor, second);
        pos += step;
    }
    position = pos;
}

// Adds `frames` frames of a signed 8-bit MOD sample (20.12 byte position) with the packed
// left and right factors.
inline void sndAddMusicSpan(const int8_t* data, uint64_t& position, uint32_t step,
                            sndPackedSum factor, sndPackedSum* sums, uint32_t frames)
{
    uint64_t pos = position;
#pragma GCC unroll 8
    for (uint32_t i = 0; i < frames; ++i) {
        sums[i] += data[pos >> 12] * factor;
        pos += step;
    }
    position = pos;
}

// A 20.12 byte position in a sample kept as the address of its byte and a fraction scaled to
// 2^32, so that each step is an add and an add with carry and the byte is read without a shift.
// Exact: the fraction's 12 bits only move up.
struct sndSplitPosition
{
    uintptr_t address;
    uint32_t fraction;

    sndSplitPosition(const int8_t* data, uint64_t position)
        : address(reinterpret_cast<uintptr_t>(data) + static_cast<uintptr_t>(position >> 12)),
          fraction(static_cast<uint32_t>(position & 0xFFF) << 20)
    {
    }
    int8_t byte() const { return *reinterpret_cast<const int8_t*>(address); }
    uint64_t joined(const int8_t* data) const
    {
        return static_cast<uint64_t>(address - reinterpret_cast<uintptr_t>(data)) << 12 |
               fraction >> 20;
    }
};

// A step as the whole bytes and the fraction it adds.
struct sndSplitStep
{
    uintptr_t bytes;
    uint32_t fraction;

    explicit sndSplitStep(uint32_t step) : bytes(step >> 12), fraction((step & 0xFFF) << 20) {}
    void advance(sndSplitPosition& p) const
    {
        const uint32_t f = p.fraction + fraction;
        p.address += bytes + (f < p.fraction ? 1u : 0u);
        p.fraction = f;
    }
};

// As sndAddMusicSpan for two samples at once: the sums are read and written once per frame for
// both. The additions wrap, so their order does not change the sums.
inline void sndAddMusicSpanPair(const int8_t* data0, const int8_t* data1, uint64_t& position0,
                                uint64_t& position1, uint32_t step0, uint32_t step1,
                                sndPackedSum factor0, sndPackedSum factor1, sndPackedSum* sums,
                                uint32_t frames)
{
    sndSplitPosition pos0(data0, position0), pos1(data1, position1);
    const sndSplitStep by0(step0), by1(step1);
#pragma GCC unroll 8
    for (uint32_t i = 0; i < frames; ++i) {
        const uint64_t add = static_cast<uint64_t>(pos0.byte() * factor0) +
                             static_cast<uint64_t>(pos1.byte() * factor1);
        sums[i] = static_cast<sndPackedSum>(static_cast<uint64_t>(sums[i]) + add);
        by0.advance(pos0);
        by1.advance(pos1);
    }
    position0 = pos0.joined(data0);
    position1 = pos1.joined(data1);
}
