// 8-bit RGB rows into RGB565 rows: a plain loop, and sixteen pixels a step with AVX2 where the
// processor has it (picked at first use, as the fills are).
#include "PixelConvert.h"

#include "platform/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace Gfx::Internal {

namespace {

using RowConvert = void (*)(const uint8_t*, uint16_t*, int32_t);

void rowPlain(const uint8_t* rgb, uint16_t* out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, rgb += 3)
        out[x] = static_cast<uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | rgb[2] >> 3);
}

#if defined(__x86_64__) || defined(__i386__)
// Byte shuffles of eight pixels (24 bytes) per 128-bit lane, read as `a` (bytes 0 to 15) and
// `b` (bytes 8 to 23): pixels 0 to 2 come from `a`, 3 to 7 from `b`. Word k of `rb` gets pixel
// k's red in its high byte and blue in its low one; word k of `g` its green in the low byte; -1
// makes a zero byte.
constexpr int8_t kRedBlueA[16] = {2, 0, 5, 3, 8, 6, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr int8_t kRedBlueB[16] = {-1, -1, -1, -1, -1, -1, 3, 1, 6, 4, 9, 7, 12, 10, 15, 13};
constexpr int8_t kGreenA[16] = {1, -1, 4, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
constexpr int8_t kGreenB[16] = {-1, -1, -1, -1, -1, -1, 2, -1, 5, -1, 8, -1, 11, -1, 14, -1};

__attribute__((target("avx2"))) inline __m256i bothLanes(const int8_t (&bytes)[16])
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
}

__attribute__((target("avx2"))) inline __m256i twoLoads(const uint8_t* low, const uint8_t* high)
{
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low));
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(l), h, 1);
}

// Sixteen pixels (48 bytes, every byte read lies inside them) from `rgb` into `out`.
__attribute__((target("avx2"))) inline void sixteenTo565(const uint8_t* rgb, uint16_t* out)
{
    const __m256i a = twoLoads(rgb, rgb + 24), b = twoLoads(rgb + 8, rgb + 32);
    const __m256i rb = _mm256_or_si256(_mm256_shuffle_epi8(a, bothLanes(kRedBlueA)),
                                       _mm256_shuffle_epi8(b, bothLanes(kRedBlueB)));
    const __m256i g = _mm256_or_si256(_mm256_shuffle_epi8(a, bothLanes(kGreenA)),
                                      _mm256_shuffle_epi8(b, bothLanes(kGreenB)));
    const __m256i red = _mm256_and_si256(rb, _mm256_set1_epi16(static_cast<short>(0xF800)));
    const __m256i blue = _mm256_and_si256(_mm256_srli_epi16(rb, 3), _mm256_set1_epi16(0x001F));
    const __m256i green = _mm256_and_si256(_mm256_slli_epi16(g, 3), _mm256_set1_epi16(0x07E0));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_or_si256(_mm256_or_si256(red, blue), green));
}

// A row's last part narrower than a step is converted again as the row's last sixteen pixels,
// which gives the same values; rows under sixteen pixels go the plain way.
__attribute__((target("avx2"))) void rowAvx2(const uint8_t* rgb, uint16_t* out, int32_t width)
{
    if (width < 16) {
        rowPlain(rgb, out, width);
        return;
    }
    int32_t x = 0;
    for (; x + 16 <= width; x += 16)
        sixteenTo565(rgb + 3 * x, out + x);
    if (x < width)
        sixteenTo565(rgb + 3 * (width - 16), out + width - 16);
}
#endif

} // namespace

void rgbRowTo565(const uint8_t* rgb, uint16_t* out, int32_t width)
{
    static const RowConvert convert = PH_AVX2_OR_PLAIN(rowAvx2, rowPlain);
    convert(rgb, out, width);
}

} // namespace Gfx::Internal
