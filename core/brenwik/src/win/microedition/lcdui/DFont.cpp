#include "microedition/lcdui/DFont.h"

#include "lang/DInteger.h"
#include "microedition/lcdui/DFontGdi.h"
#include "platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qev::microedition::lcdui {

using namespace qev::lang;

namespace {

DPtr<qev::util::DHashtable> g_fonts;

} // namespace

LOGFONTW describeFont(int32_t face, int32_t style, int32_t size, int32_t dpi)
{
    LOGFONTW lf{};
    switch (size) {
    case DFont::SIZE_MEDIUM:
        lf.lfHeight = -(dpi * 11) / 72;
        break;
    case DFont::SIZE_SMALL:
        lf.lfHeight = -(dpi * 9) / 72;
        break;
    case DFont::SIZE_LARGE:
        lf.lfHeight = -(dpi * 13) / 72;
        break;
    default:
        lf.lfHeight = 13;
    }
    lf.lfWeight = (style & DFont::STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & DFont::STYLE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (style & DFont::STYLE_UNDERLINED) ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    const char16_t* name = u"";
    if (face == DFont::FACE_SYSTEM) {
        name = u"Tahoma";
    } else if (face == DFont::FACE_MONOSPACE || face == DFont::FACE_PROPORTIONAL) {
        name = u"Courier New";
        lf.lfPitchAndFamily = FF_MODERN;
    }
    std::memcpy(lf.lfFaceName, name,
                (std::char_traits<char16_t>::length(name) + 1) * sizeof(char16_t));
    return lf;
}

// The GDI set-up for rendering characters: font, memory DC, a 32-bit bottom-up DIB large enough
// for the widest character to render and the font's height, a white brush. Every object is
// released when the renderer goes, whatever failed on the way.
class DFont::Renderer
{
  public:
    Renderer(const DFont& font, const std::vector<char16_t>& chars)
    {
        m_screen = GetDC(nullptr);
        LOGFONTW lf = describeFont(font.m_face, font.m_style, font.m_size,
                                   GetDeviceCaps(m_screen, LOGPIXELSY));
        m_font = CreateFontIndirectW(&lf);
        m_dc = CreateCompatibleDC(m_screen);
        m_brush = CreateSolidBrush(0xFFFFFF);
        if (!m_font || !m_dc || !m_brush)
            return;
        SelectObject(m_dc, m_font);
        TEXTMETRICW tm{};
        if (GetTextMetricsW(m_dc, &tm)) {
            height = tm.tmHeight;
            ascent = tm.tmAscent;
            descent = tm.tmDescent;
        }
        int widest = 1;
        for (char16_t c : chars)
            widest = std::max(widest, advanceOf(c));
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = widest;
        bi.bmiHeader.biHeight = std::max(height, 1);
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (m_bitmap && bits) {
            SelectObject(m_dc, m_bitmap);
            m_bits = static_cast<const uint8_t*>(bits);
            m_width = widest;
            m_rows = std::max(height, 1);
        }
    }

    ~Renderer()
    {
        if (m_dc)
            DeleteDC(m_dc);
        if (m_screen)
            ReleaseDC(nullptr, m_screen);
        if (m_font)
            DeleteObject(m_font);
        if (m_bitmap)
            DeleteObject(m_bitmap);
        if (m_brush)
            DeleteObject(m_brush);
    }

    int advanceOf(char16_t c)
    {
        INT w = 0;
        if (!m_dc || !GetCharWidth32W(m_dc, c, c, &w) || w < 0)
            return 0;
        return w;
    }

    // A mask of the character's advance and the font height; all zero when rendering fails.
    DCharMaskPtr render(char16_t c)
    {
        int advance = advanceOf(c);
        DCharMaskPtr mask(new DCharMask(c, advance, height));
        if (!m_bits || advance > m_width || height > m_rows)
            return mask;
        RECT cell{0, 0, advance, height};
        if (!FillRect(m_dc, &cell, m_brush))
            return mask;
        SetTextAlign(m_dc, TA_TOP | TA_LEFT);
        SetTextColor(m_dc, 0);
        if (!ExtTextOutW(m_dc, 0, 0, 0, nullptr, &c, 1, nullptr))
            return mask;
        int pitch = m_width * 4;
        for (int r = 0; r < height; ++r) {
            // Bottom-up DIB: the top row of the picture is stored last.
            const uint8_t* src = m_bits + static_cast<size_t>(m_rows - 1 - r) * pitch;
            uint8_t* dst = mask->row(r);
            for (int x = 0; x < advance; ++x) {
                uint32_t v;
                std::memcpy(&v, src + x * 4, 4);
                dst[x] = (v & 0xFFFFFF) == 0 ? 0xFF : 0;
            }
        }
        return mask;
    }

    int height = 0;
    int ascent = 0;
    int descent = 0;

  private:
    HDC m_screen = nullptr;
    HDC m_dc = nullptr;
    HFONT m_font = nullptr;
    HBITMAP m_bitmap = nullptr;
    HBRUSH m_brush = nullptr;
    const uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_rows = 0;
};

DFont::DFont(int32_t face, int32_t style, int32_t size)
    : m_face(face), m_style(style), m_size(size), m_glyphs(new qev::util::DHashtable(11, 75))
{
    std::vector<char16_t> latin(256);
    for (int c = 0; c < 256; ++c)
        latin[c] = static_cast<char16_t>(c);
    Renderer renderer(*this, latin);
    m_height = renderer.height;
    m_ascent = renderer.ascent;
    m_descent = renderer.descent;
    for (char16_t c : latin)
        m_glyphs->put(DObjectPtr(new DInteger(c)), DObjectPtr(renderer.render(c)));
}

DFontPtr DFont::getFont(int32_t face, int32_t style, int32_t size)
{
    if (!g_fonts)
        g_fonts = new qev::util::DHashtable(11, 75);
    int32_t key = face | style | size;
    DObjectPtr cached = g_fonts->get(key);
    if (cached)
        return dcast<DFont>(cached);
    DFontPtr font(new DFont(face, style, size));
    g_fonts->put(DObjectPtr(new DInteger(key)), DObjectPtr(font));
    return font;
}

DFontPtr DFont::getDefaultFont()
{
    return getFont(FACE_SYSTEM, STYLE_PLAIN, SIZE_SMALL);
}

void DFont::clearCache()
{
    g_fonts = nullptr;
}

DCharMaskPtr DFont::getCharMask(char16_t c)
{
    DObjectPtr cached = m_glyphs->get(static_cast<int32_t>(c));
    if (!cached) {
        Renderer renderer(*this, {c});
        if (renderer.height > 0) {
            m_height = renderer.height;
            m_ascent = renderer.ascent;
            m_descent = renderer.descent;
        }
        m_glyphs->put(DObjectPtr(new DInteger(c)), DObjectPtr(renderer.render(c)));
        cached = m_glyphs->get(static_cast<int32_t>(c));
    }
    return dcast<DCharMask>(cached);
}

int32_t DFont::charWidth(char16_t c)
{
    DCharMaskPtr mask = getCharMask(c);
    return mask ? mask->getWidth() : 0;
}

int32_t DFont::stringWidth(DStringPtr s)
{
    int32_t width = 0;
    for (int32_t i = 0, n = s->length(); i < n; ++i)
        width += charWidth(s->charAt(i));
    return width;
}

} // namespace qev::microedition::lcdui
