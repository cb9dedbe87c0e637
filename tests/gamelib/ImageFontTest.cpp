#include "gamelib/ImageFont.h"
#include "GamelibTestSupport.h"
#include "ShellFixture.h"
#include "StderrCapture.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ScreenCanvas.h"

#include <utility>
#include <vector>

using namespace gamelib;
using namespace gamelibtest;
using namespace qev::lang;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

constexpr uint16_t kWhite = 0xFFFF;
constexpr int kStripH = 8;

// Strip pixel (x, y) of page p has its own colour, so a drawn pixel names glyph and column.
uint16_t stripCode(int page, int x, int y)
{
    return static_cast<uint16_t>(1 + page * 1000 + x + 64 * y);
}

// A descriptor: the count byte, then each glyph as a record followed by its advance.
std::string descriptor(int count, const std::vector<std::pair<std::string, int>>& glyphs)
{
    std::string out(1, static_cast<char>(count));
    for (const auto& [glyph, advance] : glyphs)
        out += record(glyph) + std::string(1, static_cast<char>(advance));
    return out;
}

class ImageFonts : public shelltest::ShellTest
{
  protected:
    ImageFonts()
    {
        releaseImageFonts();
        canvas = DImage::createImage(60, 30);
        g = canvas->getGraphics();
    }
    ~ImageFonts() override
    {
        releaseImageFonts();
        screenGraphics = nullptr;
    }

    // Page n of the font folder "graphics/fonts/t": a strip as wide as the advances add up.
    void writePage(int n, const std::string& desc, int stripWidth, const std::string& dir = "t")
    {
        const std::string base = "graphics/fonts/" + dir + "/font_" + std::to_string(n);
        writeFile(base, desc);
        writeFile(base + ".png", pngOf(stripWidth, kStripH,
                                       [n](int x, int y) { return rgbOf565(stripCode(n, x, y)); }));
    }

    // Space 4, A 5, B 6 on page 0; C 3 on page 1; no page 2.
    ImageFontPtr standardFont(bool upper = true)
    {
        writePage(0, descriptor(3, {{" ", 4}, {"A", 5}, {"B", 6}}), 15);
        writePage(1, descriptor(1, {{"C", 3}}), 3);
        ImageFontPtr font(new ImageFont);
        font->upperCase = upper ? 1 : 0;
        font->load(u"/graphics/fonts/t");
        return font;
    }

    std::vector<std::string> wrap(const ImageFontPtr& font, const char* text, int width)
    {
        DStringArrayPtr lines = font->wrapText(str(text), width);
        std::vector<std::string> out;
        for (int32_t i = 0; i < lines->length; ++i)
            out.push_back(ascii((*lines)[i]));
        return out;
    }

    // Where on the canvas the top-left pixel of glyph A (page 0, column 4, row 0) landed.
    std::pair<int, int> findA() const
    {
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x)
                if (pixelAt(canvas, x, y) == stripCode(0, 4, 0))
                    return {x, y};
        return {-1, -1};
    }

    void clear()
    {
        g->setClip(0, 0, 60, 30);
        g->setColor(0xFFFFFF);
        g->fillRect(0, 0, 60, 30);
    }

    DImagePtr canvas;
    DGraphicsPtr g;
};

} // namespace

TEST_F(ImageFonts, WidthsAddAdvancesOverAllPages)
{
    ImageFontPtr font = standardFont();
    EXPECT_EQ(2, font->pageCount);
    EXPECT_EQ(kStripH, font->getHeight());
    EXPECT_EQ(5 + 6 + 4 + 3, font->stringWidth(u"AB C"));
    EXPECT_EQ(5 + 6 + 4 + 3, font->stringWidth(u"ab c")); // upper-cased
    EXPECT_EQ(5, font->stringWidth(u"A?"));               // no glyph: nothing
    EXPECT_EQ(0, font->stringWidth(u""));
    font->spacing = 1;
    EXPECT_EQ(5 + 6 + 4 + 3 + 4, font->stringWidth(u"AB C"));
}

TEST_F(ImageFonts, TheSmallFontKeepsCase)
{
    writePage(0, descriptor(3, {{" ", 2}, {"a", 3}, {"A", 5}}), 10);
    ImageFontPtr keep(new ImageFont);
    keep->upperCase = 0;
    keep->spacing = 1;
    keep->load(u"/graphics/fonts/t");
    EXPECT_EQ(3 + 1 + 5 + 1, keep->stringWidth(u"aA"));
    // Upper-casing the glyph list makes both glyphs capitals: the first one wins.
    ImageFontPtr upper(new ImageFont);
    upper->load(u"/graphics/fonts/t");
    EXPECT_EQ(3 + 3, upper->stringWidth(u"aA"));
}

TEST_F(ImageFonts, DrawsEachGlyphFromItsCell)
{
    ImageFontPtr font = standardFont();
    clear();
    g->setClip(2, 3, 50, 20);
    font->drawString(g, u"ab c", 10, 5, DGraphics::TOP | DGraphics::LEFT);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const int j = y - 5;
            uint16_t expected = kWhite;
            if (j >= 0 && j < kStripH) {
                if (x >= 10 && x < 15)
                    expected = stripCode(0, 4 + (x - 10), j); // A
                else if (x >= 15 && x < 21)
                    expected = stripCode(0, 9 + (x - 15), j); // B
                else if (x >= 25 && x < 28)
                    expected = stripCode(1, x - 25, j); // C, page 1; the space draws nothing
            }
            ASSERT_EQ(expected, pixelAt(canvas, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(2, g->getClipX());
    EXPECT_EQ(3, g->getClipY());
    EXPECT_EQ(50, g->getClipWidth());
    EXPECT_EQ(20, g->getClipHeight());
}

TEST_F(ImageFonts, AnchorsShiftByWidthAndHeight)
{
    ImageFontPtr font = standardFont();
    const int w = 18; // "AB C"
    struct Case
    {
        int anchor, x, y;
        std::pair<int, int> at;
    };
    const Case cases[] = {
        {DGraphics::TOP | DGraphics::LEFT, 30, 10, {30, 10}},
        {DGraphics::TOP | DGraphics::HCENTER, 30, 10, {30 - w / 2, 10}},
        {DGraphics::TOP | DGraphics::RIGHT, 30, 10, {30 - w, 10}},
        {DGraphics::BOTTOM | DGraphics::LEFT, 30, 20, {30, 20 - kStripH}},
        {DGraphics::VCENTER | DGraphics::LEFT, 30, 20, {30, 20 - kStripH / 2}},
        {DGraphics::BASELINE | DGraphics::LEFT, 30, 20, {30, 20 - kStripH / 2}},
    };
    for (const Case& c : cases) {
        clear();
        font->drawString(g, u"AB C", c.x, c.y, c.anchor);
        EXPECT_EQ(c.at, findA()) << "anchor " << c.anchor;
    }
    // The screen variant draws on the screen graphics.
    clear();
    screenGraphics = g;
    font->drawStringOnScreen(u"A", 7, 9, 0);
    EXPECT_EQ(std::make_pair(7, 9), findA());
}

TEST_F(ImageFonts, ADescriptorIsReadUpToItsCountAndNamedWhenItsGlyphsFallShort)
{
    // Too large a count keeps the whole glyphs there are; a negative count reads none; too
    // small a count, or 0, reads that many and leaves the bytes after them alone. Only the first
    // two are named, each once.
    writePage(0, descriptor(9, {{" ", 4}, {"A", 5}}), 9);
    writePage(1, descriptor(-3, {{"C", 3}}), 3);
    writePage(2, descriptor(1, {{"E", 7}, {"F", 2}}), 9);
    writePage(3, descriptor(0, {{"H", 2}}), 2);
    gamelib::resetMissingReports();
    testsupport::StderrCapture stderrText;
    ImageFontPtr font(new ImageFont);
    font->load(u"/graphics/fonts/t");
    const std::string out = stderrText.text();
    EXPECT_EQ(4, font->pageCount);
    EXPECT_EQ(5, font->stringWidth(u"A"));
    EXPECT_EQ(0, font->stringWidth(u"C"));
    EXPECT_EQ(7, font->stringWidth(u"E"));
    EXPECT_EQ(0, font->stringWidth(u"F"));
    EXPECT_EQ(0, font->stringWidth(u"H"));
    EXPECT_EQ("pallasterhorn: damaged: /graphics/fonts/t/font_0: count 9, 2 whole glyphs\n"
              "pallasterhorn: damaged: /graphics/fonts/t/font_1: count -3, 0 whole glyphs\n",
              out);
    // E draws from its own strip; F and C draw nothing.
    clear();
    font->drawString(g, u"FCE", 0, 0, 0);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(x < 7 ? stripCode(2, x, 0) : kWhite, pixelAt(canvas, x, 0)) << x;

    // A descriptor cut inside a glyph keeps the whole glyphs before the cut.
    writePage(0, descriptor(3, {{" ", 4}, {"D", 2}}) + std::string("\0\3G", 3), 6, "u");
    ImageFontPtr cut(new ImageFont);
    cut->load(u"/graphics/fonts/u");
    EXPECT_EQ(1, cut->pageCount);
    EXPECT_EQ(2, cut->stringWidth(u"D"));
    EXPECT_EQ(0, cut->stringWidth(u"G"));

    // A glyph entry of two characters shifts the later glyphs beyond the advances: those have
    // no glyph instead of reading past the table.
    writePage(0, descriptor(2, {{"XY", 3}, {"Z", 4}}), 7, "v");
    ImageFontPtr wide(new ImageFont);
    wide->load(u"/graphics/fonts/v");
    EXPECT_EQ(3, wide->stringWidth(u"X"));
    EXPECT_EQ(4, wide->stringWidth(u"Y"));
    EXPECT_EQ(0, wide->stringWidth(u"Z"));
    clear();
    wide->drawString(g, u"ZXY", 0, 0, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(x < 7 ? stripCode(0, x, 0) : kWhite, pixelAt(canvas, x, 0)) << x;
}

TEST_F(ImageFonts, AFontWithoutFilesDrawsNothing)
{
    ImageFontPtr none(new ImageFont);
    none->load(u"/graphics/fonts/missing");
    EXPECT_EQ(0, none->pageCount);
    EXPECT_EQ(0, none->getHeight());
    EXPECT_EQ(0, none->stringWidth(u"A B"));
    clear();
    none->drawString(g, u"A B", 5, 5, DGraphics::HCENTER);
    EXPECT_EQ(std::make_pair(-1, -1), findA());
}

TEST_F(ImageFonts, WrapsAtSpacesAndLineFeeds)
{
    ImageFontPtr font = standardFont();
    // "AA BB" is 5 + 5 + 4 + 6 + 6 = 26 wide.
    EXPECT_EQ((std::vector<std::string>{"AA BB", "CC"}), wrap(font, "AA BB\nCC", 26));
    EXPECT_EQ((std::vector<std::string>{"AA", "BB", "CC"}), wrap(font, "AA BB\nCC", 25));
    EXPECT_EQ((std::vector<std::string>{"aa", "bb", "cc"}), wrap(font, "aa bb\ncc", 10));
    // A word wider than the width stands alone.
    EXPECT_EQ((std::vector<std::string>{"AAAAAA", "BB"}), wrap(font, "AAAAAA BB", 12));
    EXPECT_EQ((std::vector<std::string>{"AA BB", "AB"}), wrap(font, "AA BB AB", 30));
    EXPECT_EQ((std::vector<std::string>{"AA", "", "BB"}), wrap(font, "AA\n\nBB", 100));
    EXPECT_EQ((std::vector<std::string>{""}), wrap(font, "", 100));
}

TEST_F(ImageFonts, TheSevenFontsOfTheShell)
{
    writePage(0, descriptor(2, {{" ", 4}, {"A", 5}}), 9, "small");
    writePage(0, descriptor(2, {{" ", 3}, {"1", 6}}), 9, "num1");
    loadImageFonts();
    ASSERT_EQ(FONT_COUNT, imageFonts->length);
    for (int i = 0; i < FONT_COUNT; ++i) {
        const ImageFont& f = *(*imageFonts)[i];
        EXPECT_EQ(i == FONT_SMALL ? 1 : 0, f.spacing) << i;
        EXPECT_EQ(i == FONT_SMALL ? 0 : 1, f.upperCase) << i;
        EXPECT_EQ(i == FONT_SMALL || i == FONT_NUM1 ? 1 : 0, f.pageCount) << i;
    }
    EXPECT_EQ(5 + 1 + 4 + 1, (*imageFonts)[FONT_SMALL]->stringWidth(u"A "));
    EXPECT_EQ(6 + 3, (*imageFonts)[FONT_NUM1]->stringWidth(u"1 "));
}
