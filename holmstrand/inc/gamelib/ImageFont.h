// Bitmap fonts drawn from glyph strips. A font folder holds up to ten pages; page n is the strip
// image "font_n.png" with the glyphs side by side and the descriptor "font_n": a signed byte
// count N, then N times a glyph (modified UTF-8 with a 16-bit length) followed by its advance
// (a signed byte).
#pragma once

#include "io/DInputStream.h"
#include "lang/DStringArray.h"
#include "lang/DTypedArray.h"
#include "lang/DbyteArray.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"

#include <array>
#include <cstdint>

namespace gamelib {

class ImageFont;
using ImageFontPtr = qev::lang::DPtr<ImageFont>;

class ImageFont : public qev::lang::DObject
{
  public:
    static constexpr int32_t kMaxPages = 10;

    ImageFont() = default;
    const char* getClassName() override { return "ImageFont"; }

    // Loads pages 0 to 9 of the folder. A page whose image or descriptor cannot be opened is
    // skipped. A page reads as many glyphs as its count says; one whose glyphs end before the
    // count, or whose count is negative, keeps the whole glyphs read and is reported.
    // Pages are used from 0 to the count - 1.
    void load(qev::lang::DStringPtr folder);

    // Height of the page 0 image (0 without one).
    int32_t getHeight() const;
    int32_t stringWidth(qev::lang::DStringPtr text) const;
    // Anchors: 1 horizontal centre, 8 right, 0x40 baseline and 2 vertical centre (both half the
    // height up), 0x20 bottom. Each glyph is drawn clipped to its own cell; the caller's clip is
    // restored.
    void drawString(qev::microedition::lcdui::DGraphicsPtr g, qev::lang::DStringPtr text, int32_t x,
                    int32_t y, int32_t anchor) const;
    void drawStringOnScreen(qev::lang::DStringPtr text, int32_t x, int32_t y, int32_t anchor) const;
    // The text broken at spaces and line feeds into lines no wider than width; a word wider
    // than the width stands alone on its line. An empty text gives one empty line.
    qev::lang::DStringArrayPtr wrapText(qev::lang::DStringPtr text, int32_t width) const;

    int32_t pageCount = 0;
    // Added after every glyph, spaces included.
    int32_t spacing = 0;
    // Text and glyph lists are upper-cased.
    int8_t upperCase = 1;

  private:
    struct Glyph
    {
        int32_t page = -1;
        int32_t index = 0;
    };
    Glyph find(char16_t c) const;
    int32_t spaceAdvance() const;
    int64_t width(const qev::lang::DString& text) const;
    qev::lang::DStringPtr prepared(const qev::lang::DStringPtr& text) const;
    void loadPage(const qev::lang::DStringPtr& folder, int32_t n);
    void readDescriptor(const qev::io::DInputStreamPtr& in, const qev::lang::DStringPtr& name,
                        int32_t n);

    std::array<qev::microedition::lcdui::DImagePtr, kMaxPages> m_images;
    std::array<qev::lang::DintArrayPtr, kMaxPages> m_offsets;
    std::array<qev::lang::DbyteArrayPtr, kMaxPages> m_advances;
    std::array<qev::lang::DStringPtr, kMaxPages> m_glyphs;
    // Glyphs that have an advance; a damaged page may have fewer than its glyph string.
    std::array<int32_t, kMaxPages> m_counts{};
};

class ImageFontArray : public qev::lang::DTypedArray<ImageFont>
{
  public:
    using qev::lang::DTypedArray<ImageFont>::DTypedArray;
};
using ImageFontArrayPtr = qev::lang::DPtr<ImageFontArray>;

// The seven fonts of the shell, by index.
enum FontIndex : int32_t {
    FONT_MENU = 0,
    FONT_MENU_SELECTED = 1,
    FONT_HUD0 = 2,
    FONT_HUD1 = 3,
    FONT_NUM0 = 4,
    FONT_NUM1 = 5,
    FONT_SMALL = 6,
    FONT_COUNT = 7
};

// The font table, null until loadImageFonts.
extern ImageFontArrayPtr imageFonts;
// Makes the seven fonts from "/graphics/fonts/<name>"; the small font keeps case and spaces its
// glyphs by one pixel.
void loadImageFonts();
void releaseImageFonts();

} // namespace gamelib
