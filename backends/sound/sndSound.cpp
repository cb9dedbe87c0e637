#include "sound/sndSound.h"

#include "sound/sndAdpcm.h"
#include "sound/sndResult.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

uint16_t u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t u32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

sndSound::~sndSound()
{
    Free();
}

void sndSound::Free()
{
    if (ownsData)
        std::free(data);
    data = nullptr;
    ownsData = 0;
    frames = 0;
    is8Bit = 0;
    stereo = 0;
}

int sndSound::Load(const uint8_t* bytes, size_t size)
{
    Free();
    if (!bytes)
        return sndErrNoData;
    if (size < 16 || std::memcmp(bytes + 12, "fmt ", 4) != 0)
        return sndErrNoFmtChunk;
    if (size < 36)
        return sndErrFormat;
    const uint16_t tag = u16(bytes + 20);
    const uint16_t channels = u16(bytes + 22);
    const uint32_t fileRate = u32(bytes + 24);
    const uint16_t bits = u16(bytes + 34);
    if ((bits != 4 && bits != 8 && bits != 16) || (channels != 1 && channels != 2))
        return sndErrFormat;

    // Chunk walk from the format chunk, bounded by the bytes we were given.
    size_t at = 12;
    const uint8_t* pcm = nullptr;
    size_t pcmSize = 0;
    while (at + 8 <= size) {
        const size_t chunk = u32(bytes + at + 4);
        if (std::memcmp(bytes + at, "data", 4) == 0) {
            if (chunk > size - at - 8)
                return sndErrFormat; // the chunk claims more than the file holds
            pcm = bytes + at + 8;
            pcmSize = chunk;
            break;
        }
        if (chunk > size - at - 8)
            return sndErrFormat;
        at += 8 + chunk;
    }
    if (!pcm)
        return sndErrFormat;

    if (bits == 16 || bits == 8) {
        const size_t frameCount = bits == 16 ? pcmSize / 2 : pcmSize;
        // Keep the copy to whole values so the mixer never reads half a sample.
        const size_t copy = bits == 16 ? frameCount * 2 : frameCount;
        data = static_cast<uint8_t*>(std::malloc(copy ? copy : 1));
        if (!data)
            return sndErrNoData;
        std::memcpy(data, pcm, copy);
        frames = static_cast<uint32_t>(frameCount);
        is8Bit = bits == 8;
    } else {
        if (tag != 2)
            return sndErrFormat;
        int r = decodeAdpcm(bytes, size, pcm, pcmSize);
        if (r != 0)
            return r;
    }
    ownsData = 1;
    if (channels == 2) {
        stereo = 1;
        frames /= 2;
    }
    rate = fileRate;
    playbackRate = fileRate;
    return 0;
}

int sndSound::decodeAdpcm(const uint8_t* bytes, size_t size, const uint8_t* pcm, size_t pcmSize)
{
    // Extra format fields: size word at 36, samples per block 38, coefficient count 40, pairs 42.
    const uint32_t fmtSize = u32(bytes + 16);
    if (size < 70 || fmtSize < 50)
        return sndErrFormat;
    sndAdpcmFormat f;
    f.channels = u16(bytes + 22);
    f.blockAlign = u16(bytes + 32);
    f.samplesPerBlock = u16(bytes + 38);
    if (u16(bytes + 40) != 7 || f.blockAlign == 0)
        return sndErrFormat;
    for (int i = 0; i < 7; ++i) {
        f.coef[i][0] = static_cast<int16_t>(u16(bytes + 42 + 4 * i));
        f.coef[i][1] = static_cast<int16_t>(u16(bytes + 44 + 4 * i));
    }
    std::vector<int16_t> out;
    try {
        if (!sndAdpcmDecode(f, pcm, pcmSize, out))
            return sndErrFormat;
    } catch (const std::bad_alloc&) {
        return sndErrNoData;
    }
    const size_t bytesOut = out.size() * 2;
    data = static_cast<uint8_t*>(std::malloc(bytesOut ? bytesOut : 1));
    if (!data)
        return sndErrNoData;
    if (bytesOut)
        std::memcpy(data, out.data(), bytesOut);
    frames = static_cast<uint32_t>(out.size());
    return 0;
}
