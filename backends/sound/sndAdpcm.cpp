#include "sound/sndAdpcm.h"

#include <algorithm>
#include <cstdint>

namespace {

const int kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                        768, 614, 512, 409, 307, 230, 230, 230};

struct ChannelState
{
    int predictor = 0;
    int delta = 0; // may start negative in damaged data; arithmetic stays 64-bit
    int sample1 = 0;
    int sample2 = 0;
};

int16_t expand(ChannelState& c, const int16_t (&coef)[7][2], int nibble)
{
    int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
    int64_t predicted = (static_cast<int64_t>(c.sample1) * coef[c.predictor][0] +
                         static_cast<int64_t>(c.sample2) * coef[c.predictor][1]) /
                        256;
    // Damaged data can grow delta without end; 64-bit sums and a cap at the 32-bit maximum keep
    // the arithmetic defined, and valid streams never come near it.
    int64_t sum = predicted + static_cast<int64_t>(signedNibble) * c.delta;
    int value = static_cast<int>(std::clamp<int64_t>(sum, -32768, 32767));
    int64_t delta = static_cast<int64_t>(c.delta) * kAdapt[nibble] / 256;
    c.delta = static_cast<int>(std::clamp<int64_t>(delta, 16, INT32_MAX));
    c.sample2 = c.sample1;
    c.sample1 = value;
    return static_cast<int16_t>(value);
}

int16_t le16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

} // namespace

bool sndAdpcmDecode(const sndAdpcmFormat& f, const uint8_t* data, size_t size,
                    std::vector<int16_t>& out)
{
    const size_t ch = static_cast<size_t>(f.channels);
    if (ch < 1 || ch > 2 || f.samplesPerBlock < 2 || f.blockAlign < 7 * ch)
        return false;
    // The nibbles of one block must fit behind its header.
    if ((f.samplesPerBlock - 2) * ch > (f.blockAlign - 7 * ch) * 2)
        return false;
    const size_t blocks = size / f.blockAlign;
    out.clear();
    out.reserve(blocks * f.samplesPerBlock * ch);
    for (size_t b = 0; b < blocks; ++b) {
        const uint8_t* p = data + b * f.blockAlign;
        ChannelState state[2];
        for (size_t c = 0; c < ch; ++c) {
            state[c].predictor = p[c];
            if (state[c].predictor >= 7)
                return false;
        }
        p += ch;
        for (size_t c = 0; c < ch; ++c, p += 2)
            state[c].delta = le16(p);
        for (size_t c = 0; c < ch; ++c, p += 2)
            state[c].sample1 = le16(p);
        for (size_t c = 0; c < ch; ++c, p += 2)
            state[c].sample2 = le16(p);
        for (size_t c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(state[c].sample2));
        for (size_t c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(state[c].sample1));
        const size_t nibbles = (f.samplesPerBlock - 2) * ch;
        for (size_t n = 0; n < nibbles; ++n) {
            int byte = p[n / 2];
            int nibble = (n % 2 == 0) ? byte >> 4 : byte & 0x0F;
            out.push_back(expand(state[ch == 2 ? n % 2 : 0], f.coef, nibble));
        }
    }
    return true;
}
