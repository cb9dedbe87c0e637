// The last step of mixing: music and sound sums of a run of frames into output samples, clipped
// instead of wrapped.
#pragma once

#include "sound/sndMixSpan.h"

#include <algorithm>
#include <cstdint>

// The value of one output sample: the music sum plus the sound sum scaled down by 128
// (arithmetic shift), clipped to 16 bits.
inline int32_t sndOutputValue(int32_t music, int32_t sound)
{
    return std::clamp(music + (sound >> 7), -32768, 32767);
}

// 16-bit signed output.
inline int16_t sndTo16(int32_t value)
{
    return static_cast<int16_t>(value);
}

// 8-bit unsigned output: the clipped value's high byte plus 128.
inline uint8_t sndTo8(int32_t value)
{
    return static_cast<uint8_t>((value >> 8) + 128);
}

// Writes `frames` frames of output, converting each clipped value with `convert`.
template <bool Stereo, typename Out, typename Convert>
void sndWriteFrames(Out* out, const sndPackedSum* music, const sndPackedSum* sound, uint32_t frames,
                    Convert convert)
{
    for (uint32_t i = 0; i < frames; ++i) {
        if constexpr (Stereo) {
            out[2 * i] = convert(sndOutputValue(sndLeftOf(music[i]), sndLeftOf(sound[i])));
            out[2 * i + 1] = convert(sndOutputValue(sndRightOf(music[i]), sndRightOf(sound[i])));
        } else {
            out[i] = convert(sndOutputValue(sndLeftOf(music[i]), sndLeftOf(sound[i])));
        }
    }
}
