// drawRGB: 0xAARRGGBB pixels into the surface, opaque or blended with 6-bit precision.
#include "microedition/lcdui/DGraphics.h"

#include "raster/RenderContext.h"

#include <algorithm>
#include <array>
#include <vector>

namespace qev::microedition::lcdui {

using namespace qev::lang;

namespace {

// i * j for a 6-bit colour field and an 8-bit alpha.
const std::array<uint16_t, 64 * 256>& products()
{
    static const std::array<uint16_t, 64 * 256> table = [] {
        std::array<uint16_t, 64 * 256> t{};
        for (int i = 0; i < 64; ++i)
            for (int j = 0; j < 256; ++j)
                t[i * 256 + j] = static_cast<uint16_t>(i * j);
        return t;
    }();
    return table;
}

uint16_t opaque(uint32_t s)
{
    return static_cast<uint16_t>(((s >> 8) & 0xF800) | ((s >> 5) & 0x07E0) | ((s >> 3) & 0x001F));
}

uint16_t blend(uint16_t d, uint32_t s)
{
    if (d == 0xF81F)
        return d; // transparent pixels of the target stay transparent
    const auto& p = products();
    const unsigned a = s >> 24;
    const unsigned ia = 255 - a;
    const unsigned dr = d >> 11, dg = (d >> 5) & 0x3F, db = d & 0x1F;
    const unsigned sr6 = (s >> 18) & 0x3F, sg6 = (s >> 10) & 0x3F, sb6 = (s >> 2) & 0x3F;
    const unsigned blue = (p[(2 * db) * 256 + ia] + p[sb6 * 256 + a]) >> 9;
    const unsigned green = (p[dg * 256 + ia] + p[sg6 * 256 + a]) >> 8;
    const unsigned red = (p[(2 * dr) * 256 + ia] + p[sr6 * 256 + a]) >> 9;
    return static_cast<uint16_t>((red << 11) | (green << 5) | blue);
}

} // namespace

void DGraphics::drawRGB(DintArrayPtr argb, int32_t offset, int32_t scanLength, int32_t x, int32_t y,
                        int32_t w, int32_t h, bool processAlpha)
{
    DintArray& source = *argb; // null: NullPointerException
    Surface* surface = m_context->targetSurface();
    if (!m_clipNonEmpty || !surface)
        return;
    const Gfx::Rect& clip = m_context->clip;
    const int64_t left = std::max<int64_t>(x, clip.left);
    const int64_t top = std::max<int64_t>(y, clip.top);
    const int64_t columns = std::min<int64_t>(clip.right, int64_t(x) + w) - left;
    const int64_t rows = std::min<int64_t>(clip.bottom, int64_t(y) + h) - top;
    if (columns <= 0 || rows <= 0)
        return;

    // Every element the clipped area reads must lie in the array; a caller's slip raises an
    // exception instead of reading past it.
    const int64_t first = int64_t(offset) + (left - x) + (top - y) * scanLength;
    const int64_t lastRow = first + (rows - 1) * scanLength;
    if (std::min(first, lastRow) < 0 || std::max(first, lastRow) + columns > source.length)
        throwException(ExceptionCode::ArrayIndexOutOfBoundsException);

    const int32_t* data = source.getData();
    std::vector<uint16_t> line(static_cast<size_t>(columns));
    for (int64_t r = 0; r < rows; ++r) {
        const int32_t* in = data + first + r * scanLength;
        uint16_t* out = surface->row(static_cast<int32_t>(top + r)) + left;
        for (int64_t c = 0; c < columns; ++c) {
            const uint32_t s = static_cast<uint32_t>(in[c]);
            line[c] = processAlpha ? blend(out[c], s) : opaque(s);
        }
        std::copy(line.begin(), line.end(), out);
    }
}

} // namespace qev::microedition::lcdui
