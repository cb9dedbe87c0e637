#include "CoreTestSupport.h"
#include "microedition/lcdui/DFont.h"

#include <string>

using namespace qev::lang;
using namespace qev::microedition::lcdui;

namespace {

bool hasInk(const DCharMaskPtr& mask, int fromRow, int toRow)
{
    for (int r = fromRow; r < toRow; ++r) {
        for (int c = 0; c < mask->getWidth(); ++c) {
            if (mask->row(r)[c])
                return true;
        }
    }
    return false;
}

class FontTest : public ::testing::Test
{
protected:
    void TearDown() override { DFont::clearCache(); }
};

} // namespace

TEST_F(FontTest, CacheGivesOneObjectPerFaceStyleAndSize)
{
    DFontPtr a = DFont::getFont(0, 1, 0);
    EXPECT_EQ(a.get(), DFont::getFont(0, 1, 0).get());
    EXPECT_EQ(DFont::getFont(0, 0, 8).get(), DFont::getDefaultFont().get());
    EXPECT_NE(a.get(), DFont::getFont(0, 0, 0).get());
}

TEST_F(FontTest, MasksAreFontHighAndUpright)
{
    DFontPtr font = DFont::getFont(DFont::FACE_SYSTEM, DFont::STYLE_PLAIN, DFont::SIZE_MEDIUM);
    int h = font->getHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(h, font->getBaselinePosition() + font->getDescent());
    for (char16_t c : {u'A', u' ', u'_', u'^', u'g', u'\u00E9'}) {
        DCharMaskPtr m = font->getCharMask(c);
        ASSERT_TRUE(m);
        EXPECT_EQ(h, m->getRows()) << static_cast<int>(c);
        EXPECT_EQ(font->charWidth(c), m->getWidth());
    }
    EXPECT_TRUE(hasInk(font->getCharMask(u'A'), 0, h));
    EXPECT_FALSE(hasInk(font->getCharMask(u' '), 0, h));
    int base = font->getBaselinePosition();
    EXPECT_FALSE(hasInk(font->getCharMask(u'_'), 0, base - 2)); // only low
    EXPECT_TRUE(hasInk(font->getCharMask(u'_'), base - 2, h));
    EXPECT_TRUE(hasInk(font->getCharMask(u'^'), 0, h / 2)); // only high
    EXPECT_FALSE(hasInk(font->getCharMask(u'^'), h / 2 + 1, h));
}

TEST_F(FontTest, SizesStylesAndFacesRelateAsExpected)
{
    int small = DFont::getFont(0, 0, DFont::SIZE_SMALL)->getHeight();
    int medium = DFont::getFont(0, 0, DFont::SIZE_MEDIUM)->getHeight();
    int large = DFont::getFont(0, 0, DFont::SIZE_LARGE)->getHeight();
    EXPECT_LT(small, medium);
    EXPECT_LT(medium, large);
    int odd = DFont::getFont(0, 0, 5)->getHeight();
    EXPECT_GE(odd, 11);
    EXPECT_LE(odd, 14); // a cell of 13 pixels
    DFontPtr plain = DFont::getFont(0, 0, 0);
    DFontPtr bold = DFont::getFont(0, DFont::STYLE_BOLD, 0);
    EXPECT_GE(bold->stringWidth(DStringPtr(u"Wide words")), plain->stringWidth(DStringPtr(u"Wide words")));
    DFontPtr mono = DFont::getFont(32, 0, 0);
    DFontPtr proportional = DFont::getFont(64, 0, 0);
    EXPECT_EQ(mono->charWidth(u'i'), mono->charWidth(u'W'));
    EXPECT_EQ(mono->charWidth(u'W'), proportional->charWidth(u'W'));
}

TEST_F(FontTest, MeasuringStrings)
{
    DFontPtr font = DFont::getDefaultFont();
    EXPECT_EQ(0, font->stringWidth(DStringPtr(u"")));
    EXPECT_EQ(font->charWidth(u'x'), font->stringWidth(DStringPtr(u"x")));
    EXPECT_EQ(2 * font->charWidth(u'x') + font->charWidth(u'y'), font->stringWidth(DStringPtr(u"xyx")));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, font->stringWidth(DStringPtr()));
}

TEST_F(FontTest, CharactersBeyondLatinAreRenderedOnceOnDemand)
{
    DFontPtr font = DFont::getDefaultFont();
    DCharMaskPtr first = font->getCharMask(u'\u0416'); // Cyrillic Zhe
    ASSERT_TRUE(first);
    EXPECT_GT(first->getWidth(), 0);
    EXPECT_EQ(first.get(), font->getCharMask(u'\u0416').get());
    DCharMaskPtr latin = font->getCharMask(u'a');
    font->charWidth(u'\u4E00');
    EXPECT_EQ(latin.get(), font->getCharMask(u'a').get());
}
