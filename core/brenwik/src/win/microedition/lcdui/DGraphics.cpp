#include "microedition/lcdui/DGraphics.h"

#include "microedition/lcdui/DImage.h"
#include "raster/RenderContext.h"

#include <algorithm>

namespace qev::microedition::lcdui {

using namespace qev::lang;

namespace {

// Coordinates are ints, but their sums may not be: every edge is computed wide and then pinned
// to a range the rasteriser can take without overflow.
int32_t pin(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

} // namespace

DGraphics::DGraphics(ImageHolder* target)
    : m_context(std::make_unique<RenderContext>(target)), m_target(target)
{
    setClip(0, 0, surfaceWidth(), surfaceHeight());
}

DGraphics::~DGraphics() = default;

int32_t DGraphics::surfaceWidth() const
{
    const Surface* s = m_context->targetSurface();
    return s ? s->width : 0;
}

int32_t DGraphics::surfaceHeight() const
{
    const Surface* s = m_context->targetSurface();
    return s ? s->height : 0;
}

void DGraphics::setColor(int32_t rgb)
{
    m_colour = static_cast<uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) |
                                     ((rgb >> 3) & 0x001F));
}

void DGraphics::setColor(int32_t red, int32_t green, int32_t blue)
{
    red &= 0xFF;
    green &= 0xFF;
    blue &= 0xFF;
    m_colour = static_cast<uint16_t>(((red >> 3) << 11) | ((green & 0xFC) << 3) | (blue >> 3));
}

void DGraphics::setFont(DFontPtr font)
{
    m_font = font;
    m_fontChosen = true;
}

DFontPtr DGraphics::getFont() const
{
    // The default font is made when text first needs it: making it matches and renders a
    // system font, which a context that never draws text should not wait for.
    if (!m_fontChosen) {
        m_font = DFont::getDefaultFont();
        m_fontChosen = true;
    }
    return m_font;
}

void DGraphics::setClip(int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int64_t width = surfaceWidth();
    const int64_t height = surfaceHeight();
    const int64_t right = int64_t(x) + w;
    const int64_t bottom = int64_t(y) + h;
    if (right > 0 && x < width && bottom > 0 && y < height && w > 0 && h > 0) {
        m_clipNonEmpty = true;
        m_context->clip =
            Gfx::Rect{std::max(x, 0), std::max(y, 0), static_cast<int32_t>(std::min(right, width)),
                      static_cast<int32_t>(std::min(bottom, height))};
    } else {
        m_clipNonEmpty = false;
        m_context->clip =
            Gfx::Rect{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    }
}

int32_t DGraphics::getClipX() const
{
    return m_context->clip.left;
}

int32_t DGraphics::getClipY() const
{
    return m_context->clip.top;
}

int32_t DGraphics::getClipWidth() const
{
    return m_clipNonEmpty ? m_context->clip.right - m_context->clip.left : 0;
}

int32_t DGraphics::getClipHeight() const
{
    return m_clipNonEmpty ? m_context->clip.bottom - m_context->clip.top : 0;
}

void DGraphics::fillRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (!m_clipNonEmpty)
        return;
    // Both far edges are inclusive: (w + 1) x (h + 1) pixels.
    m_context->FillRect(Gfx::Rect{pin(x), pin(y), pin(int64_t(x) + w + 1), pin(int64_t(y) + h + 1)},
                        m_colour);
}

void DGraphics::horizontalLine(int32_t x, int32_t y, int32_t count)
{
    // Cut to the surface here so that x + count cannot overflow in the front end.
    const int64_t left = std::max<int64_t>(x, -1);
    const int64_t right = std::min<int64_t>(int64_t(x) + count, int64_t(surfaceWidth()) + 1);
    if (right > left)
        m_context->DrawHLine(static_cast<int32_t>(left), y, static_cast<int32_t>(right - left),
                             m_colour);
}

void DGraphics::verticalLine(int32_t x, int32_t y, int32_t count)
{
    const int64_t top = std::max<int64_t>(y, -1);
    const int64_t bottom = std::min<int64_t>(int64_t(y) + count, int64_t(surfaceHeight()) + 1);
    if (bottom > top)
        m_context->DrawVLine(x, static_cast<int32_t>(top), static_cast<int32_t>(bottom - top),
                             m_colour);
}

void DGraphics::drawRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (!m_clipNonEmpty)
        return;
    horizontalLine(x, y, w);
    verticalLine(x, y, h);
    verticalLine(pin(int64_t(x) + w), y, h);
    horizontalLine(x, pin(int64_t(y) + h), w);
}

void DGraphics::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!m_clipNonEmpty)
        return;
    if (x1 == x2 && y1 == y2) {
        m_context->SetPixel(x1, y1, m_colour);
        return;
    }
    m_context->DrawLine(x1, y1, x2, y2, m_colour);
}

void DGraphics::blitImage(DImage& image, int32_t x, int32_t y, int32_t anchor)
{
    ImageHolder* holder = image.getHolder();
    if (!holder || !holder->surface)
        return;
    const int32_t w = holder->surface->width;
    const int32_t h = holder->surface->height;
    int64_t left = x, top = y;
    if (anchor & RIGHT)
        left -= w;
    else if (anchor & HCENTER)
        left -= w >> 1;
    if (anchor & BOTTOM)
        top -= h;
    else if (anchor & VCENTER)
        top -= h >> 1;
    // Pinned far outside any surface, an image that started outside stays outside.
    m_context->Blit(pin(left), pin(top), *holder);
}

void DGraphics::drawImage(DImagePtr image, int32_t x, int32_t y, int32_t anchor)
{
    DImage& img = *image; // null: NullPointerException
    if (m_clipNonEmpty)
        blitImage(img, x, y, anchor);
}

void DGraphics::drawImageOpaque(DImagePtr image, int32_t x, int32_t y, int32_t anchor)
{
    DImage& img = *image;
    if (!m_clipNonEmpty || !img.getHolder())
        return;
    ImageHolder* holder = img.getHolder();
    const int32_t key = holder->colourKey;
    holder->colourKey = Gfx::kNoColourKey;
    blitImage(img, x, y, anchor);
    holder->colourKey = key;
}

void DGraphics::textAnchor(int32_t width, int64_t& x, int64_t& y, int32_t anchor) const
{
    if (!(anchor & LEFT)) {
        if (anchor & RIGHT)
            x -= width;
        else if (anchor & HCENTER)
            x -= width / 2;
    }
    if (!(anchor & TOP)) {
        if (anchor & BOTTOM)
            y -= m_font->getHeight();
        else if (anchor & VCENTER)
            y -= m_font->getHeight() / 2;
        else if (anchor & BASELINE)
            y -= m_font->getBaselinePosition();
    }
}

int32_t DGraphics::drawGlyph(char16_t c, int64_t x, int64_t y)
{
    DCharMaskPtr mask = m_font->getCharMask(c);
    if (!mask)
        return 0;
    Surface* surface = m_context->targetSurface();
    const int32_t advance = mask->getWidth();
    if (!surface)
        return advance;
    // Text is cut to the surface only: the clip rectangle does not apply.
    const int64_t rows = std::min(mask->getRows(), m_font->getHeight());
    const int64_t r0 = std::max<int64_t>(0, -y);
    const int64_t r1 = std::min<int64_t>(rows, surface->height - y);
    const int64_t c0 = std::max<int64_t>(0, -x);
    const int64_t c1 = std::min<int64_t>(advance, surface->width - x);
    for (int64_t r = r0; r < r1; ++r) {
        const uint8_t* bits = mask->row(static_cast<int32_t>(r));
        uint16_t* out = surface->row(static_cast<int32_t>(y + r));
        for (int64_t col = c0; col < c1; ++col)
            if (bits[col])
                out[x + col] = m_colour;
    }
    return advance;
}

void DGraphics::drawString(DStringPtr str, int32_t x, int32_t y, int32_t anchor)
{
    if (!getFont())
        throwException(ExceptionCode::NullPointerException);
    const int32_t width = m_font->stringWidth(str); // null string: NullPointerException
    if (!m_clipNonEmpty)
        return;
    int64_t pen = x, top = y;
    textAnchor(width, pen, top, anchor);
    const int32_t n = str->length();
    for (int32_t i = 0; i < n; ++i) {
        if (pen > INT32_MAX)
            break; // everything further right is off any surface
        pen += drawGlyph(str->charAt(i), pen, top);
    }
}

void DGraphics::drawChar(char16_t c, int32_t x, int32_t y, int32_t anchor)
{
    if (!getFont())
        throwException(ExceptionCode::NullPointerException);
    if (!m_clipNonEmpty)
        return;
    int64_t left = x, top = y;
    textAnchor(m_font->charWidth(c), left, top, anchor);
    drawGlyph(c, left, top);
}

} // namespace qev::microedition::lcdui
