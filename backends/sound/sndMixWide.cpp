#include "sound/sndMixWide.h"

#include "sound/sndMixOutput.h"

#include "platform/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

#if defined(__x86_64__) || defined(__i386__)
// `frames` (a multiple of 16) output frames at half the sound's rate from a position at the
// start of a frame: each of eight sound frames, its two values summed by a multiply-add with
// ones, goes into two output frames in a row. The value v times the packed factor is
// v x left + (v x right) x 2^32 modulo 2^64, as the scalar product: v x left fits in 32 bits
// (narrowFactor), so its low word is the product's low word and its sign is carried into the
// high word.
__attribute__((target("avx2"))) void addHalfRate16Stereo(const uint8_t* data, uint64_t frame,
                                                         sndPackedSum factor, sndPackedSum* sums,
                                                         uint32_t frames)
{
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i left = _mm256_set1_epi32(sndLeftOf(factor));
    const __m256i right = _mm256_set1_epi32(sndRightOf(factor));
    const auto* in = reinterpret_cast<const __m256i*>(data + frame * 4);
    for (sndPackedSum* out = sums; out != sums + frames; out += 16, ++in) {
        const __m256i v = _mm256_madd_epi16(_mm256_loadu_si256(in), ones);
        const __m256i low = _mm256_mullo_epi32(v, left);
        const __m256i high =
            _mm256_add_epi32(_mm256_mullo_epi32(v, right), _mm256_srai_epi32(low, 31));
        // Sound frames 0, 1, 4, 5 and 2, 3, 6, 7 as 64-bit words; each twice in a row.
        const __m256i a = _mm256_unpacklo_epi32(low, high), b = _mm256_unpackhi_epi32(low, high);
        const __m256i doubled[4] = {
            _mm256_permute4x64_epi64(a, 0x50), _mm256_permute4x64_epi64(b, 0x50),
            _mm256_permute4x64_epi64(a, 0xFA), _mm256_permute4x64_epi64(b, 0xFA)};
        for (int k = 0; k < 4; ++k) {
            auto* at = reinterpret_cast<__m256i*>(out + 4 * k);
            _mm256_storeu_si256(at, _mm256_add_epi64(_mm256_loadu_si256(at), doubled[k]));
        }
    }
}

// The packed sums of four frames as their left and right values in order: the low word is the
// left value; the high word less the left value's sign (-1 or 0) is the right one.
__attribute__((target("avx2"))) inline __m256i unpackedSums(const sndPackedSum* sums)
{
    const __m256i packed = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums));
    return _mm256_sub_epi32(packed, _mm256_slli_epi64(_mm256_srai_epi32(packed, 31), 32));
}

// Output values of four frames: the music sum plus the sound sum scaled down by 128.
__attribute__((target("avx2"))) inline __m256i outputValues(const sndPackedSum* music,
                                                            const sndPackedSum* sound)
{
    return _mm256_add_epi32(unpackedSums(music), _mm256_srai_epi32(unpackedSums(sound), 7));
}

// Eight frames a step (`frames` a multiple of 8); saturating packing is the clipping.
__attribute__((target("avx2"))) void write16StereoWide(int16_t* out, const sndPackedSum* music,
                                                       const sndPackedSum* sound, uint32_t frames)
{
    for (uint32_t i = 0; i < frames; i += 8) {
        const __m256i first = outputValues(music + i, sound + i);
        const __m256i second = outputValues(music + i + 4, sound + i + 4);
        // Packing works in 128-bit halves: frames 0, 1, 4, 5, 2, 3, 6, 7 until put in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(first, second), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), packed);
    }
}

// Factors whose products with a summed frame (up to 2^16 in size) fit in 32 bits.
bool narrowFactor(sndPackedSum factor)
{
    const int32_t left = sndLeftOf(factor);
    return left > -32768 && left < 32768;
}
#endif

} // namespace

void sndAddSoundSpan16StereoSummed(const uint8_t* data, uint64_t& position, uint32_t step,
                                   sndPackedSum factor, sndPackedSum second, sndPackedSum* sums,
                                   uint32_t frames)
{
    uint32_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = platform::cpuHasAvx2();
    if (step == 128 && frames >= 17 && avx2 && narrowFactor(factor)) {
        // A position in the upper half of its frame starts with a lone output frame.
        if (position & 128) {
            sndAddSoundSpan<false, true, sndLayout::Summed>(data, position, step, factor, second,
                                                            sums, 1);
            done = 1;
        }
        const uint32_t wide = (frames - done) / 16 * 16;
        addHalfRate16Stereo(data, position >> 8, factor, sums + done, wide);
        position += static_cast<uint64_t>(wide) * 128;
        done += wide;
    }
#endif
    sndAddSoundSpan<false, true, sndLayout::Summed>(data, position, step, factor, second,
                                                    sums + done, frames - done);
}

void sndWriteFrames16Stereo(int16_t* out, const sndPackedSum* music, const sndPackedSum* sound,
                            uint32_t frames)
{
    uint32_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = platform::cpuHasAvx2();
    if (avx2) {
        done = frames / 8 * 8;
        write16StereoWide(out, music, sound, done);
    }
#endif
    sndWriteFrames<true>(out + 2 * done, music + done, sound + done, frames - done, sndTo16);
}
