// Inner loops of the mixer: add a run of output frames of one source, whose step, volume and pan
// stay the same for the whole run, to the mixing sums. One loop per data format and output
// layout, so that none of them tests a format or a boundary per frame.
#pragma once

#include <cstdint>

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
    Split,   // stereo output, stereo sound at the centre: each side gets its own value
    Panned,  // stereo output: the frame's values, summed, shared out by the pan
    MonoOut, // mono output: the frame's values, summed, go to the left sum only
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

// Adds `frames` frames of a sound (24.8 frame position) with the left and right factors.
template <bool EightBit, bool StereoSource, sndLayout Layout>
void sndAddSoundSpan(const uint8_t* data, uint64_t& position, uint32_t step, int32_t leftFactor,
                     int32_t rightFactor, int32_t* left, int32_t* right, uint32_t frames)
{
    uint64_t pos = position;
    for (uint32_t i = 0; i < frames; ++i) {
        int32_t t, o;
        sndFetchFrame<EightBit, StereoSource>(data, pos >> 8, t, o);
        if constexpr (Layout == sndLayout::Split) {
            left[i] += t * leftFactor;
            right[i] += o * rightFactor;
        } else if constexpr (Layout == sndLayout::Panned) {
            left[i] += (t + o) * leftFactor;
            right[i] += (t + o) * rightFactor;
        } else {
            left[i] += (t + o) * leftFactor;
        }
        pos += step;
    }
    position = pos;
}

// Adds `frames` frames of a signed 8-bit MOD sample (20.12 byte position) with the left and
// right factors; mono output takes the left one only.
template <bool StereoOutput>
void sndAddMusicSpan(const int8_t* data, uint64_t& position, uint32_t step, int32_t leftFactor,
                     int32_t rightFactor, int32_t* left, int32_t* right, uint32_t frames)
{
    uint64_t pos = position;
    for (uint32_t i = 0; i < frames; ++i) {
        const int32_t s = data[pos >> 12];
        left[i] += s * leftFactor;
        if constexpr (StereoOutput)
            right[i] += s * rightFactor;
        pos += step;
    }
    position = pos;
}
