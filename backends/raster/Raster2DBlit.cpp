// Rectangle copies: opaque rows as memory blocks, keyed rows pixel by pixel.
#include "CpuChoice.h"
#include "raster/Raster2D.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace Gfx::Internal {

namespace {

// One keyed row, pixel by pixel in order: also right when the rows overlap (a surface keyed
// onto itself). Written as a select over every pixel so that the loop vectorises; a keyed pixel
// stores the destination's own value back.
inline __attribute__((always_inline)) void keyRowPlain(uint16_t* d, const uint16_t* s,
                                                       int32_t count, uint16_t key)
{
    for (int32_t i = 0; i < count; ++i) {
        const uint16_t p = s[i];
        d[i] = p == key ? d[i] : p;
    }
}

bool rowsOverlap(const uint16_t* d, const uint16_t* s, int32_t count)
{
    const auto a = reinterpret_cast<uintptr_t>(d), b = reinterpret_cast<uintptr_t>(s);
    const auto bytes = static_cast<uintptr_t>(count) * 2;
    return a < b + bytes && b < a + bytes;
}

using KeyedRows = void (*)(Surface&, Point, const Surface&, const Rect&, uint16_t);

void keyRowsPlain(Surface& target, Point at, const Surface& source, const Rect& from, uint16_t key)
{
    const int32_t count = from.right - from.left;
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy)
        keyRowPlain(target.row(dy) + at.x, source.row(sy) + from.left, count, key);
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels of a keyed row.
__attribute__((target("avx2"))) inline void keySixteen(uint16_t* d, const uint16_t* s, __m256i key)
{
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                        _mm256_blendv_epi8(p, q, _mm256_cmpeq_epi16(p, key)));
}

// Sixteen pixels a step. The first step keys the row's first sixteen pixels, the others go from
// the destination's next 32-byte boundary on, so that their stores never straddle two cache
// lines; the last step keys the row's last sixteen. Keying a pixel a second time leaves it as the
// first time did, as long as the rows do not overlap (which goes the plain way).
__attribute__((target("avx2"))) void keyRowsAvx2(Surface& target, Point at, const Surface& source,
                                                 const Rect& from, uint16_t key)
{
    const int32_t count = from.right - from.left;
    const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy) {
        const uint16_t* s = source.row(sy) + from.left;
        uint16_t* d = target.row(dy) + at.x;
        if (count < 16 || rowsOverlap(d, s, count)) {
            keyRowPlain(d, s, count, key);
            continue;
        }
        keySixteen(d, s, k);
        // Rows are at least 2-byte aligned, so the boundary is a whole pixel away.
        const auto skip = static_cast<int32_t>((32 - (reinterpret_cast<uintptr_t>(d) & 31)) / 2);
        for (int32_t i = skip; i < count - 16; i += 16)
            keySixteen(d + i, s + i, k);
        keySixteen(d + count - 16, s + count - 16, k);
    }
}

// Up to 31 pixels under `rest`, which also keeps the load inside the row.
__attribute__((target("avx512f,avx512bw"))) inline void keyMasked(uint16_t* d, const uint16_t* s,
                                                                  __mmask32 rest, __m512i key)
{
    const __m512i p = _mm512_maskz_loadu_epi16(rest, s);
    _mm512_mask_storeu_epi16(d, _mm512_mask_cmpneq_epi16_mask(rest, p, key), p);
}

// With AVX-512 a masked store writes only the unkeyed pixels, so the destination is never read:
// thirty-two pixels a step, the row's rest under a mask that also keeps the load inside the row.
__attribute__((target("avx512f,avx512bw"))) void
keyRowsAvx512(Surface& target, Point at, const Surface& source, const Rect& from, uint16_t key)
{
    const int32_t count = from.right - from.left;
    const __m512i k = _mm512_set1_epi16(static_cast<short>(key));
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy) {
        const uint16_t* s = source.row(sy) + from.left;
        uint16_t* d = target.row(dy) + at.x;
        if (rowsOverlap(d, s, count)) {
            keyRowPlain(d, s, count, key);
            continue;
        }
        // The part up to the destination's next 64-byte boundary first, so that no store
        // straddles two cache lines.
        int32_t i = static_cast<int32_t>((64 - (reinterpret_cast<uintptr_t>(d) & 63)) & 63) / 2;
        i = i < count ? i : count;
        if (i > 0)
            keyMasked(d, s, (uint32_t{1} << i) - 1, k);
        for (; i + 32 <= count; i += 32) {
            const __m512i p = _mm512_loadu_si512(s + i);
            _mm512_mask_storeu_epi16(d + i, _mm512_cmpneq_epi16_mask(p, k), p);
        }
        if (i < count)
            keyMasked(d + i, s + i, (uint32_t{1} << (count - i)) - 1, k);
    }
}
#endif

KeyedRows chooseKeyedRows()
{
#if defined(__x86_64__) || defined(__i386__)
    if (cpuHasAvx512bw())
        return keyRowsAvx512;
#endif
    return PH_AVX2_OR_PLAIN(keyRowsAvx2, keyRowsPlain);
}

} // namespace

Raster2D& Raster2D::instance()
{
    static Raster2D raster;
    return raster;
}

void Raster2D::Blit(Surface& target, Point at, const Surface& source, const Rect& from)
{
    const size_t bytes = static_cast<size_t>(from.right - from.left) * 2;
    for (int32_t sy = from.top, dy = at.y; sy < from.bottom; ++sy, ++dy) {
        // memmove: a surface may be blitted onto itself.
        std::memmove(target.row(dy) + at.x, source.row(sy) + from.left, bytes);
    }
}

void Raster2D::BlitColorKey(Surface& target, Point at, const Surface& source, const Rect& from,
                            uint16_t key)
{
    // Chosen by the processor at first use, as the short-row fill is.
    static const KeyedRows keyRows = chooseKeyedRows();
    keyRows(target, at, source, from, key);
}

} // namespace Gfx::Internal
