#include "gamelib/ImageFont.h"

#include "gamelib/ClipKeeper.h"
#include "gamelib/GameLib.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ScreenCanvas.h"

#include "io/DDataInputStream.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace gamelib {

using namespace qev::lang;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;

ImageFontArrayPtr imageFonts;

namespace {

const char16_t* const kFontFolders[FONT_COUNT] = {
    u"/graphics/fonts/menu", u"/graphics/fonts/menusel", u"/graphics/fonts/hud0",
    u"/graphics/fonts/hud1", u"/graphics/fonts/num0",    u"/graphics/fonts/num1",
    u"/graphics/fonts/small"};

int32_t clampToInt(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool isBreak(char16_t c)
{
    return c == u' ' || c == u'\n';
}

} // namespace

void ImageFont::load(DStringPtr folder)
{
    for (int32_t n = 0; n < kMaxPages; ++n)
        loadPage(folder, n);
}

namespace {

bool descriptorExists(const DStringPtr& name)
{
    return tolerant([&] { GameLib::probeResource(name)->close(); });
}

} // namespace

void ImageFont::loadPage(const DStringPtr& folder, int32_t n)
{
    DStringPtr base = folder + u"/font_" + n;
    if (!tolerant([&] { m_images[n] = DImage::createImage(base + u".png"); })) {
        // A font's pages end at the first one without strip; the first page's strip, or one
        // whose descriptor is there, is missing from the data.
        if (n == 0 || descriptorExists(base))
            reportMissing(Missing::PlainImage, base + u".png");
        return;
    }
    qev::io::DInputStreamPtr in;
    if (!tolerant([&] { in = GameLib::getResourceAsStream(base); }))
        return;
    readDescriptor(in, base, n);
    in->close();
    ++pageCount;
}

void ImageFont::readDescriptor(const qev::io::DInputStreamPtr& in, const DStringPtr& name,
                               int32_t n)
{
    qev::io::DDataInputStreamPtr data(new qev::io::DDataInputStream(in));
    std::u16string text;
    std::vector<int8_t> advances;
    int32_t count = -1;
    // The count decides how many records are read; whatever follows them is not the font's.
    // Records that end before the count keep the whole glyphs read so far.
    const bool ended = tolerant([&] {
        count = data->readByte();
        while (static_cast<int32_t>(advances.size()) < count) {
            DStringPtr glyph = data->readUTF();
            const int8_t advance = static_cast<int8_t>(data->readByte());
            if (upperCase)
                glyph = glyph->toUpperCase();
            text.append(glyph->chars(), static_cast<size_t>(glyph->length()));
            advances.push_back(advance);
        }
    });
    if (!ended || count < 0)
        reportDamaged(name, "count " + std::to_string(count) + ", " +
                                std::to_string(advances.size()) + " whole glyphs");
    const auto glyphs = static_cast<int32_t>(advances.size());
    m_offsets[n] = new DintArray(glyphs + 1);
    m_advances[n] = new DbyteArray(glyphs + 1);
    for (int32_t j = 0; j < glyphs; ++j) {
        (*m_advances[n])[j] = advances[static_cast<size_t>(j)];
        (*m_offsets[n])[j + 1] = (*m_offsets[n])[j] + advances[static_cast<size_t>(j)];
    }
    m_counts[n] = glyphs;
    m_glyphs[n] = new DString(text.data(), static_cast<int32_t>(text.size()));
}

int32_t ImageFont::getHeight() const
{
    return m_images[0] ? m_images[0]->getHeight() : 0;
}

ImageFont::Glyph ImageFont::find(char16_t c) const
{
    const int32_t pages = std::min(pageCount, kMaxPages);
    for (int32_t p = 0; p < pages; ++p) {
        if (!m_glyphs[p])
            continue;
        const int32_t j = m_glyphs[p]->indexOf(c);
        // A glyph entry of more than one character shifts the later ones past the advances.
        if (j >= 0 && j < m_counts[p])
            return Glyph{p, j};
    }
    return Glyph{};
}

int32_t ImageFont::spaceAdvance() const
{
    return pageCount > 0 && m_counts[0] > 0 ? (*m_advances[0])[0] : 0;
}

DStringPtr ImageFont::prepared(const DStringPtr& text) const
{
    return upperCase ? text->toUpperCase() : DStringPtr(text);
}

int64_t ImageFont::width(const DString& text) const
{
    int64_t w = 0;
    for (int32_t i = 0; i < text.length(); ++i) {
        const char16_t c = text.chars()[i];
        if (c == u' ') {
            w += spaceAdvance() + int64_t(spacing);
            continue;
        }
        const Glyph g = find(c);
        if (g.page >= 0)
            w += (*m_advances[g.page])[g.index] + int64_t(spacing);
    }
    return w;
}

int32_t ImageFont::stringWidth(DStringPtr text) const
{
    return clampToInt(width(*prepared(text)));
}

void ImageFont::drawString(DGraphicsPtr graphics, DStringPtr text, int32_t x, int32_t y,
                           int32_t anchor) const
{
    DGraphics& g = *graphics;
    const DStringPtr s = prepared(text);
    ClipKeeper keep(g);
    int64_t px = x;
    int64_t py = y;
    if (anchor & DGraphics::HCENTER)
        px -= width(*s) >> 1;
    else if (anchor & DGraphics::RIGHT)
        px -= width(*s);
    if (anchor & (DGraphics::BASELINE | DGraphics::VCENTER))
        py -= getHeight() >> 1;
    else if (anchor & DGraphics::BOTTOM)
        py -= getHeight();
    const int32_t top = clampToInt(py);
    for (int32_t i = 0; i < s->length(); ++i) {
        const char16_t c = s->chars()[i];
        if (c == u' ') {
            px += spaceAdvance() + int64_t(spacing);
            continue;
        }
        const Glyph glyph = find(c);
        if (glyph.page < 0)
            continue;
        const int32_t advance = (*m_advances[glyph.page])[glyph.index];
        const int32_t offset = (*m_offsets[glyph.page])[glyph.index];
        const DImage& strip = *m_images[glyph.page];
        g.setClip(clampToInt(px), top, advance, strip.getHeight());
        g.drawImage(m_images[glyph.page], clampToInt(px - offset), top,
                    DGraphics::TOP | DGraphics::LEFT);
        keep.restore();
        px += advance + int64_t(spacing);
    }
}

void ImageFont::drawStringOnScreen(DStringPtr text, int32_t x, int32_t y, int32_t anchor) const
{
    drawString(screenGraphics, text, x, y, anchor);
}

DStringArrayPtr ImageFont::wrapText(DStringPtr text, int32_t maxWidth) const
{
    const DString& t = *text;
    const int32_t len = t.length();
    std::vector<DStringPtr> lines;
    if (len == 0)
        lines.push_back(DStringPtr(u""));
    int32_t start = 0;
    while (start < len) {
        int32_t lastBreak = -1; // the last space that still fitted
        int32_t from = start;
        int32_t end;
        for (;;) {
            int32_t d = from;
            while (d < len && !isBreak(t.chars()[d]))
                ++d;
            if (stringWidth(t.substring(start, d)) > maxWidth) {
                end = lastBreak >= 0 ? lastBreak : d;
                break;
            }
            if (d == len || t.chars()[d] == u'\n') {
                end = d;
                break;
            }
            lastBreak = d;
            from = d + 1;
        }
        lines.push_back(t.substring(start, end));
        start = end + 1;
    }
    DStringArrayPtr result(new DStringArray(static_cast<int32_t>(lines.size())));
    for (size_t i = 0; i < lines.size(); ++i)
        (*result)[static_cast<int32_t>(i)] = lines[i];
    return result;
}

void loadImageFonts()
{
    imageFonts = new ImageFontArray(FONT_COUNT);
    for (int32_t i = 0; i < FONT_COUNT; ++i) {
        ImageFontPtr font(new ImageFont);
        if (i == FONT_SMALL) {
            font->spacing = 1;
            font->upperCase = 0;
        }
        (*imageFonts)[i] = font;
        font->load(DStringPtr(kFontFolders[i]));
    }
}

void releaseImageFonts()
{
    imageFonts = nullptr;
}

} // namespace gamelib
