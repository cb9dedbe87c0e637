// MS-ADPCM block decoding to 16-bit PCM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct sndAdpcmFormat
{
    int channels = 0;
    size_t blockAlign = 0;
    size_t samplesPerBlock = 0;
    int16_t coef[7][2] = {};
};

// Decodes every whole block of `data`; false when a block is malformed (bad predictor index or a
// layout that does not fit the block). Output is interleaved 16-bit samples.
bool sndAdpcmDecode(const sndAdpcmFormat& format, const uint8_t* data, size_t size,
                    std::vector<int16_t>& out);
