// Drawing context over an RGB565 image: one colour, one clip rectangle, one font. Filled
// rectangles cover one pixel more than their size in each direction, and text is clipped to the
// surface rather than to the clip rectangle; the screens are laid out for both rules.
#pragma once

#include "lang/DString.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DFont.h"

#include <memory>

class ImageHolder;
class RenderContext;

namespace qev::microedition::lcdui {

class DImage;
using DImagePtr = qev::lang::DPtr<DImage>;
class DGraphics;
using DGraphicsPtr = qev::lang::DPtr<DGraphics>;

class DGraphics : public qev::lang::DObject
{
  public:
    static constexpr int32_t HCENTER = 1;
    static constexpr int32_t VCENTER = 2;
    static constexpr int32_t LEFT = 4;
    static constexpr int32_t RIGHT = 8;
    static constexpr int32_t TOP = 0x10;
    static constexpr int32_t BOTTOM = 0x20;
    static constexpr int32_t BASELINE = 0x40;

    // Draws into `target`, which must outlive this context; the clip is the whole surface.
    explicit DGraphics(ImageHolder* target);
    ~DGraphics() override;
    const char* getClassName() override { return "DGraphics"; }

    void setColor(int32_t rgb);
    void setColor(int32_t red, int32_t green, int32_t blue);
    // The current colour as drawn (RGB565).
    uint16_t getColor565() const { return m_colour; }

    void setFont(DFontPtr font);
    // The font set last, or the default font.
    DFontPtr getFont() const;

    void setClip(int32_t x, int32_t y, int32_t w, int32_t h);
    int32_t getClipX() const;
    int32_t getClipY() const;
    int32_t getClipWidth() const;
    int32_t getClipHeight() const;

    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void drawRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void drawImage(DImagePtr image, int32_t x, int32_t y, int32_t anchor);
    // As drawImage, with the colour key ignored: every pixel is copied.
    void drawImageOpaque(DImagePtr image, int32_t x, int32_t y, int32_t anchor);
    void drawString(qev::lang::DStringPtr str, int32_t x, int32_t y, int32_t anchor);
    void drawChar(char16_t c, int32_t x, int32_t y, int32_t anchor);
    void drawRGB(qev::lang::DintArrayPtr argb, int32_t offset, int32_t scanLength, int32_t x,
                 int32_t y, int32_t w, int32_t h, bool processAlpha);

    ImageHolder* getTarget() const { return m_target; }
    // Keeps the owner of the target (the image) alive for as long as this context draws into it.
    void keepAlive(qev::lang::DObjectPtr owner) { m_owner = owner; }

  private:
    int32_t surfaceWidth() const;
    int32_t surfaceHeight() const;
    void blitImage(DImage& image, int32_t x, int32_t y, int32_t anchor);
    // Draws one character's mask at (x, y) and returns its advance.
    // Positions are wide: anchoring may move them beyond the int range.
    int32_t drawGlyph(char16_t c, int64_t x, int64_t y);
    void textAnchor(int32_t width, int64_t& x, int64_t& y, int32_t anchor) const;
    void horizontalLine(int32_t x, int32_t y, int32_t count);
    void verticalLine(int32_t x, int32_t y, int32_t count);

    // First, so that it goes last.
    qev::lang::DObjectPtr m_owner;
    uint16_t m_colour = 0;
    std::unique_ptr<RenderContext> m_context;
    ImageHolder* m_target;
    // Null until text needs a font or one is set.
    mutable DFontPtr m_font;
    mutable bool m_fontChosen = false;
    bool m_clipNonEmpty = true;
};

} // namespace qev::microedition::lcdui
