// System fonts: a GDI font rendered once per character into 1-byte masks that drawString copies.
// One font per face, style and size, shared through a process-wide cache.
#pragma once

#include "lang/DString.h"
#include "microedition/lcdui/DCharMask.h"
#include "util/DHashtable.h"

namespace qev::microedition::lcdui {

class DFont;
using DFontPtr = qev::lang::DPtr<DFont>;

class DFont : public qev::lang::DObject
{
  public:
    static constexpr int32_t FACE_SYSTEM = 0;
    static constexpr int32_t FACE_MONOSPACE = 32;
    static constexpr int32_t FACE_PROPORTIONAL = 64;
    static constexpr int32_t STYLE_PLAIN = 0;
    static constexpr int32_t STYLE_BOLD = 1;
    static constexpr int32_t STYLE_ITALIC = 2;
    static constexpr int32_t STYLE_UNDERLINED = 4;
    static constexpr int32_t SIZE_MEDIUM = 0;
    static constexpr int32_t SIZE_SMALL = 8;
    static constexpr int32_t SIZE_LARGE = 16;

    static DFontPtr getFont(int32_t face, int32_t style, int32_t size);
    static DFontPtr getDefaultFont();
    // Drops every cached font; the host calls it at shutdown.
    static void clearCache();

    int32_t getFace() const { return m_face; }
    int32_t getStyle() const { return m_style; }
    int32_t getSize() const { return m_size; }
    int32_t getHeight() const { return m_height; }
    // Offset of the baseline from the top of a line (the font's ascent).
    int32_t getBaselinePosition() const { return m_ascent; }
    int32_t getDescent() const { return m_descent; }

    // 0 when no mask can be made.
    int32_t charWidth(char16_t c);
    // NullPointerException for a null string.
    int32_t stringWidth(qev::lang::DStringPtr s);
    // The cached mask, rendered on first use; null when none can be made.
    DCharMaskPtr getCharMask(char16_t c);

  private:
    class Renderer;

    DFont(int32_t face, int32_t style, int32_t size);

    int32_t m_face;
    int32_t m_style;
    int32_t m_size;
    int32_t m_height = 0;
    int32_t m_ascent = 0;
    int32_t m_descent = 0;
    qev::util::DHashtablePtr m_glyphs;
};

} // namespace qev::microedition::lcdui
