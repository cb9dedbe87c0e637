#include "CoreTestSupport.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/lcdui/DFontGdi.h"
#include "platform/DeviceProfile.h"

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
    DFontPtr plain = DFont::getFont(0, 0, 0);
    DFontPtr bold = DFont::getFont(0, DFont::STYLE_BOLD, 0);
    EXPECT_GE(bold->stringWidth(DStringPtr(u"Wide words")),
              plain->stringWidth(DStringPtr(u"Wide words")));
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
    EXPECT_EQ(2 * font->charWidth(u'x') + font->charWidth(u'y'),
              font->stringWidth(DStringPtr(u"xyx")));
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

TEST_F(FontTest, AnyOtherSizeGivesACellThirteenPixelsHigh)
{
    // Sizes other than 0, 8 and 16 ask GDI for a cell height of 13, whatever the screen's
    // dots per inch: the line height and every mask are then exactly 13 rows.
    for (int32_t face : {DFont::FACE_SYSTEM, DFont::FACE_MONOSPACE})
        for (int32_t size : {1, 5, 12}) {
            DFontPtr font = DFont::getFont(face, DFont::STYLE_PLAIN, size);
            EXPECT_EQ(13, font->getHeight()) << face << " " << size;
            EXPECT_EQ(13, font->getBaselinePosition() + font->getDescent()) << face << " " << size;
            EXPECT_GT(font->getDescent(), 0);
            EXPECT_EQ(13, font->getCharMask(u'g')->getRows());
            EXPECT_TRUE(hasInk(font->getCharMask(u'g'), 0, 13));
        }
}

TEST(FontDescription, SizesInPointsAtTheScreensResolution)
{
    // -(dpi * points) / 72, truncated toward zero: at 96 dpi 11 pt is -14.67 -> -14, 9 pt -12,
    // 13 pt -17.33 -> -17; at 131 dpi -20.01 -> -20, -16.38 -> -16, -23.65 -> -23.
    const struct
    {
        int32_t dpi, size, height;
    } cases[] = {{96, DFont::SIZE_MEDIUM, -14},
                 {96, DFont::SIZE_SMALL, -12},
                 {96, DFont::SIZE_LARGE, -17},
                 {131, DFont::SIZE_MEDIUM, -20},
                 {131, DFont::SIZE_SMALL, -16},
                 {131, DFont::SIZE_LARGE, -23},
                 {131, 5, 13},
                 {96, 24, 13}};
    for (const auto& c : cases)
        EXPECT_EQ(c.height, describeFont(DFont::FACE_SYSTEM, 0, c.size, c.dpi).lfHeight)
            << c.dpi << " " << c.size;
}

TEST(FontDescription, StyleBitsAndFixedFields)
{
    const LOGFONTW plain = describeFont(DFont::FACE_SYSTEM, DFont::STYLE_PLAIN, 0, 96);
    EXPECT_EQ(400, plain.lfWeight);
    EXPECT_EQ(0, plain.lfItalic);
    EXPECT_EQ(0, plain.lfUnderline);
    EXPECT_EQ(0, plain.lfStrikeOut);
    EXPECT_EQ(0, plain.lfWidth);
    EXPECT_EQ(0, plain.lfEscapement);
    EXPECT_EQ(0, plain.lfOrientation);
    EXPECT_EQ(1, plain.lfCharSet);
    EXPECT_EQ(0, plain.lfOutPrecision);
    EXPECT_EQ(0, plain.lfClipPrecision);
    EXPECT_EQ(3, plain.lfQuality);

    const LOGFONTW all = describeFont(DFont::FACE_SYSTEM, 1 | 2 | 4, 0, 96);
    EXPECT_EQ(700, all.lfWeight);
    EXPECT_NE(0, all.lfItalic);
    EXPECT_NE(0, all.lfUnderline);
    EXPECT_EQ(0, all.lfStrikeOut);
    EXPECT_EQ(700, describeFont(DFont::FACE_SYSTEM, 1, 0, 96).lfWeight);
    EXPECT_EQ(0, describeFont(DFont::FACE_SYSTEM, 1, 0, 96).lfItalic);
    EXPECT_NE(0, describeFont(DFont::FACE_SYSTEM, 2, 0, 96).lfItalic);
    EXPECT_EQ(0, describeFont(DFont::FACE_SYSTEM, 2, 0, 96).lfUnderline);
}

TEST(FontDescription, FaceNamesAndPitch)
{
    const LOGFONTW system = describeFont(DFont::FACE_SYSTEM, 0, 0, 96);
    EXPECT_EQ(std::u16string(u"Tahoma"), std::u16string(system.lfFaceName));
    EXPECT_EQ(0, system.lfPitchAndFamily);
    for (int32_t face : {DFont::FACE_MONOSPACE, DFont::FACE_PROPORTIONAL}) {
        const LOGFONTW lf = describeFont(face, 0, 0, 96);
        EXPECT_EQ(std::u16string(u"Courier New"), std::u16string(lf.lfFaceName)) << face;
        EXPECT_EQ(0x30, lf.lfPitchAndFamily) << face;
    }
    const LOGFONTW other = describeFont(16, 0, 0, 96);
    EXPECT_EQ(0, other.lfFaceName[0]);
    EXPECT_EQ(0, other.lfPitchAndFamily);
}

TEST_F(FontTest, PointSizesFollowTheScreensDotsPerInch)
{
    const int32_t normal = DFont::getDefaultFont()->getHeight();
    DFont::clearCache();
    platform::DeviceProfile::current().logPixelsY = 192; // twice the pixels per point
    const int32_t fine = DFont::getDefaultFont()->getHeight();
    const int32_t cell = DFont::getFont(0, 0, 5)->getHeight();
    platform::DeviceProfile::reset();
    EXPECT_GE(fine, 2 * normal - 2);
    EXPECT_LE(fine, 2 * normal + 2);
    EXPECT_EQ(13, cell); // a cell height is in pixels
}
