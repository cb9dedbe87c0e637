// Fills: clear, rectangles, horizontal and vertical runs, single pixels.
#include "RowWalk.h"
#include "platform/CpuFeatures.h"
#include "raster/Raster2D.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace Gfx::Internal {

namespace {

static_assert(sizeof(wchar_t) == 4, "runs are filled as 32-bit pixel pairs");

constexpr int32_t kLongRun = 256;

// Runs of kLongRun pixels or more: an odd leading pixel up to a 4-byte boundary, then pixel
// pairs through the C library's vectorised wide fill, then an odd trailing pixel.
void fillLong(uint16_t* d, int32_t count, uint16_t colour)
{
    if (reinterpret_cast<uintptr_t>(d) & 2) {
        *d++ = colour;
        --count;
    }
    const uint32_t pair = colour | static_cast<uint32_t>(colour) << 16;
    wchar_t pattern;
    std::memcpy(&pattern, &pair, sizeof pattern);
    std::wmemset(reinterpret_cast<wchar_t*>(d), pattern, static_cast<size_t>(count) / 2);
    if (count & 1)
        d[count - 1] = colour;
}

// Short rows (sprites, lines) in one inline loop: a library call per row would cost more than
// its stores. Built twice, plain and for AVX2, and chosen by the processor
// (platform/CpuFeatures.h).
using ShortRowFill = void (*)(Surface&, int32_t, int32_t, int32_t, int32_t, uint16_t);

void fillShortRowsPlain(Surface& target, int32_t left, int32_t top, int32_t bottom, int32_t count,
                        uint16_t colour)
{
    TargetRows rows(target, left, top);
    for (int32_t y = top; y < bottom; ++y, rows.next()) {
        uint16_t* d = rows.row();
        for (int32_t i = 0; i < count; ++i)
            d[i] = colour;
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels a store. The first store goes where the row starts, the others from the next
// 32-byte boundary on, so that they never straddle two cache lines; the last store ends where the
// row ends and may cover pixels already stored (eight-pixel stores for rows of eight to fifteen).
__attribute__((target("avx2"))) void fillShortRowsAvx2(Surface& target, int32_t left, int32_t top,
                                                       int32_t bottom, int32_t count,
                                                       uint16_t colour)
{
    const __m256i wide = _mm256_set1_epi16(static_cast<short>(colour));
    const __m128i narrow = _mm256_castsi256_si128(wide);
    TargetRows rows(target, left, top);
    for (int32_t y = top; y < bottom; ++y, rows.next()) {
        uint16_t* d = rows.row();
        if (count >= 16) {
            uint16_t* const last = d + count - 16;
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), wide);
            // Rows are at least 2-byte aligned, so the boundary is a whole pixel away.
            auto* p =
                reinterpret_cast<uint16_t*>((reinterpret_cast<uintptr_t>(d) + 32) & ~uintptr_t{31});
            for (; p < last; p += 16)
                _mm256_store_si256(reinterpret_cast<__m256i*>(p), wide);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(last), wide);
        } else if (count >= 8) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), narrow);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + count - 8), narrow);
        } else {
            for (int32_t i = 0; i < count; ++i)
                d[i] = colour;
        }
    }
}
#endif

void fillShortRows(Surface& target, int32_t left, int32_t top, int32_t bottom, int32_t count,
                   uint16_t colour)
{
    static const ShortRowFill fill = PH_AVX2_OR_PLAIN(fillShortRowsAvx2, fillShortRowsPlain);
    fill(target, left, top, bottom, count, colour);
}

void fillRows(Surface& target, int32_t left, int32_t top, int32_t bottom, int32_t count,
              uint16_t colour)
{
    if (count <= 0 || top >= bottom)
        return;
    if (count < kLongRun) {
        fillShortRows(target, left, top, bottom, count, colour);
        return;
    }
    TargetRows rows(target, left, top);
    for (int32_t y = top; y < bottom; ++y, rows.next())
        fillLong(rows.row(), count, colour);
}

} // namespace

void Raster2D::Clear(Surface& target, uint16_t colour)
{
    const uint8_t low = static_cast<uint8_t>(colour), high = static_cast<uint8_t>(colour >> 8);
    if (low == high) {
        if (target.pitch > 0) {
            std::memset(target.pixels, low, static_cast<size_t>(target.pitch) * target.height);
        } else {
            for (int32_t y = 0; y < target.height; ++y)
                std::memset(target.row(y), low, static_cast<size_t>(target.width) * 2);
        }
        return;
    }
    if (target.width % 8 != 0) {
        for (int32_t y = 0; y < target.height; ++y) {
            uint16_t* d = target.row(y);
            for (int32_t x = 0; x < target.width; ++x)
                d[x] = colour;
        }
        return;
    }
    // Eight pixels per step as four words holding the colour twice.
    const uint32_t pair = colour | static_cast<uint32_t>(colour) << 16;
    for (int32_t y = 0; y < target.height; ++y) {
        auto* d = reinterpret_cast<uint32_t*>(target.row(y));
        for (int32_t x = 0; x < target.width / 2; x += 4) {
            d[x] = pair;
            d[x + 1] = pair;
            d[x + 2] = pair;
            d[x + 3] = pair;
        }
    }
}

void Raster2D::FillRect(Surface& target, const Rect& rect, uint16_t colour)
{
    if (rect.top >= rect.bottom)
        return;
    const int32_t count = rect.right - rect.left;
    // Whole rows without padding form one run.
    if (rect.left == 0 && count == target.width && target.pitch == count * 2) {
        fillRows(target, 0, rect.top, rect.top + 1, count * (rect.bottom - rect.top), colour);
        return;
    }
    fillRows(target, rect.left, rect.top, rect.bottom, count, colour);
}

void Raster2D::DrawHLine(Surface& target, Point from, int32_t count, uint16_t colour)
{
    fillRows(target, from.x, from.y, from.y + 1, count, colour);
}

void Raster2D::DrawVLine(Surface& target, Point from, int32_t count, uint16_t colour)
{
    for (int32_t i = 0; i < count; ++i)
        target.row(from.y + i)[from.x] = colour;
}

void Raster2D::SetPixel(Surface& target, Point at, uint16_t colour)
{
    target.row(at.y)[at.x] = colour;
}

} // namespace Gfx::Internal
