// Rectangle copies: opaque rows as memory blocks, keyed rows pixel by pixel.
#include "RowWalk.h"
#include "platform/CpuFeatures.h"
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
    for (RowPairs r(target, at, source, from); r.more(); r.next())
        keyRowPlain(r.target(), r.source(), count, key);
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
    for (RowPairs r(target, at, source, from); r.more(); r.next()) {
        const uint16_t* s = r.source();
        uint16_t* d = r.target();
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

// Thirty-two pixels of a keyed row.
__attribute__((target("avx512f,avx512bw"))) inline void keyThirtyTwo(uint16_t* d, const uint16_t* s,
                                                                     __m512i key)
{
    const __m512i p = _mm512_loadu_si512(s);
    _mm512_mask_storeu_epi16(d, _mm512_cmpneq_epi16_mask(p, key), p);
}

// Rows at least this long step from the destination's 64-byte boundary on, so that no store in
// between straddles two cache lines; shorter rows (sprites) save that step's set-up.
constexpr int32_t kAlignedKeyedRow = 128;

// With AVX-512 a masked store writes only the unkeyed pixels, so the destination is never read:
// thirty-two pixels a step. Rows of 32 pixels or more are keyed by whole steps, the first at the
// row's start and the last ending at the row's end; keying a pixel twice leaves it as the first
// time did, as long as the rows do not overlap (which goes the plain way). Shorter rows take one
// step under a mask, which also keeps the load inside the row; masked loads cost more than whole
// ones, so longer rows do without them.
__attribute__((target("avx512f,avx512bw"))) void
keyRowsAvx512(Surface& target, Point at, const Surface& source, const Rect& from, uint16_t key)
{
    const int32_t count = from.right - from.left;
    const __m512i k = _mm512_set1_epi16(static_cast<short>(key));
    for (RowPairs r(target, at, source, from); r.more(); r.next()) {
        const uint16_t* s = r.source();
        uint16_t* d = r.target();
        if (rowsOverlap(d, s, count)) {
            keyRowPlain(d, s, count, key);
            continue;
        }
        if (count < 32) {
            keyMasked(d, s, (uint32_t{1} << count) - 1, k);
            continue;
        }
        keyThirtyTwo(d, s, k);
        // Rows are at least 2-byte aligned, so the boundary is a whole pixel away.
        int32_t i = 32;
        if (count >= kAlignedKeyedRow)
            i = static_cast<int32_t>((64 - (reinterpret_cast<uintptr_t>(d) & 63)) / 2);
        for (; i < count - 32; i += 32)
            keyThirtyTwo(d + i, s + i, k);
        keyThirtyTwo(d + count - 32, s + count - 32, k);
    }
}
#endif

KeyedRows chooseKeyedRows()
{
#if defined(__x86_64__) || defined(__i386__)
    if (platform::cpuHasAvx512bw())
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
    const int32_t rows = from.bottom - from.top;
    RowPairs r(target, at, source, from);
    // Rows that follow each other without a gap on both sides (a whole frame) are one block.
    // Row by row from the top gives the same as one forward move unless the target starts
    // inside the source's block, past its start (a surface blitted a row or more down onto
    // itself): that case keeps the rows.
    if (rows > 1 && static_cast<size_t>(target.pitch) == bytes &&
        static_cast<size_t>(source.pitch) == bytes) {
        const auto to = reinterpret_cast<uintptr_t>(r.target());
        const auto s = reinterpret_cast<uintptr_t>(r.source());
        const size_t total = bytes * static_cast<size_t>(rows);
        if (to <= s || to >= s + total) {
            std::memmove(r.target(), r.source(), total);
            return;
        }
    }
    // memmove: a surface may be blitted onto itself.
    for (; r.more(); r.next())
        std::memmove(r.target(), r.source(), bytes);
}

void Raster2D::BlitColorKey(Surface& target, Point at, const Surface& source, const Rect& from,
                            uint16_t key)
{
    // Chosen by the processor at first use, as the short-row fill is.
    static const KeyedRows keyRows = chooseKeyedRows();
    keyRows(target, at, source, from, key);
}

} // namespace Gfx::Internal
