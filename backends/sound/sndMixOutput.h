// The last step of mixing: music and sound sums of a run of frames into output samples, clipped
// instead of wrapped.
#pragma once

#include <algorithm>
#include <cstdint>

// The value of one output sample: the music sum plus the sound sum scaled down by 128
// (arithmetic shift), clipped to 16 bits.
inline int32_t sndOutputValue(int32_t music, int32_t sound)
{
    return std::clamp(music + (sound >> 7), -32768, 32767);
}

// Writes `frames` frames of 16-bit signed output.
template <bool Stereo>
void sndWrite16(int16_t* out, const int32_t* musicLeft, const int32_t* musicRight,
                const int32_t* soundLeft, const int32_t* soundRight, uint32_t frames)
{
    for (uint32_t i = 0; i < frames; ++i) {
        if constexpr (Stereo) {
            out[2 * i] = static_cast<int16_t>(sndOutputValue(musicLeft[i], soundLeft[i]));
            out[2 * i + 1] = static_cast<int16_t>(sndOutputValue(musicRight[i], soundRight[i]));
        } else {
            out[i] = static_cast<int16_t>(sndOutputValue(musicLeft[i], soundLeft[i]));
        }
    }
}

// Writes `frames` frames of 8-bit unsigned output (the clipped value's high byte plus 128).
template <bool Stereo>
void sndWrite8(uint8_t* out, const int32_t* musicLeft, const int32_t* musicRight,
               const int32_t* soundLeft, const int32_t* soundRight, uint32_t frames)
{
    for (uint32_t i = 0; i < frames; ++i) {
        if constexpr (Stereo) {
            out[2 * i] =
                static_cast<uint8_t>((sndOutputValue(musicLeft[i], soundLeft[i]) >> 8) + 128);
            out[2 * i + 1] =
                static_cast<uint8_t>((sndOutputValue(musicRight[i], soundRight[i]) >> 8) + 128);
        } else {
            out[i] = static_cast<uint8_t>((sndOutputValue(musicLeft[i], soundLeft[i]) >> 8) + 128);
        }
    }
}
