#include "CoreTestSupport.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"
#include "raster/ImageHolder.h"

#include <array>
#include <climits>

using namespace qev::lang;
using namespace qev::microedition::lcdui;

namespace {

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kRed = 0xF800;

// A white mutable image and a context drawing red on it.
struct Canvas
{
    explicit Canvas(int32_t w = 20, int32_t h = 20)
        : image(DImage::createImage(w, h)), g(image->getGraphics())
    {
        g->setColor(0xFF0000);
    }
    uint16_t at(int32_t x, int32_t y) const { return image->getHolder()->surface->row(y)[x]; }
    void put(int32_t x, int32_t y, uint16_t c) { image->getHolder()->surface->row(y)[x] = c; }
    int count(uint16_t colour) const
    {
        int n = 0;
        for (int32_t y = 0; y < image->getHeight(); ++y)
            for (int32_t x = 0; x < image->getWidth(); ++x)
                n += at(x, y) == colour;
        return n;
    }
    // The bounding box of the pixels of `colour` as {left, top, right, bottom}, inclusive.
    std::array<int32_t, 4> box(uint16_t colour) const
    {
        std::array<int32_t, 4> b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int32_t y = 0; y < image->getHeight(); ++y)
            for (int32_t x = 0; x < image->getWidth(); ++x)
                if (at(x, y) == colour)
                    b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x),
                         std::max(b[3], y)};
        return b;
    }
    DImagePtr image;
    DGraphicsPtr g;
};

// A small sprite whose pixel (x, y) has the value 1 + x + 10y, with a keyed pixel at (1, 0).
DImagePtr sprite(int32_t w, int32_t h)
{
    DImagePtr s = DImage::createImage(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            s->getHolder()->surface->row(y)[x] = static_cast<uint16_t>(1 + x + 10 * y);
    s->getHolder()->surface->row(0)[1] = 0xF81F;
    return s;
}

} // namespace

TEST(GraphicsColour, BothFormsGiveTheSameRgb565)
{
    Canvas c;
    c.g->setColor(255, 128, 0);
    EXPECT_EQ(0xFC00, c.g->getColor565());
    c.g->setColor(0xFF8000);
    EXPECT_EQ(0xFC00, c.g->getColor565());
    c.g->setColor(0x12345678); // the top byte is ignored
    EXPECT_EQ(((0x34 >> 3) << 11) | ((0x56 >> 2) << 5) | (0x78 >> 3), c.g->getColor565());
    c.g->setColor(0x1FF, 0x100, 0x2FF); // low 8 bits of each
    EXPECT_EQ(0xF81F, c.g->getColor565());
}

TEST(GraphicsRectangles, FillsAreOnePixelLargerAndOutlinesMissTheirLastCorner)
{
    Canvas c;
    c.g->fillRect(0, 0, 0, 0);
    EXPECT_EQ(1, c.count(kRed));
    EXPECT_EQ(kRed, c.at(0, 0));

    Canvas d;
    d.g->fillRect(10, 10, 4, 2);
    EXPECT_EQ(15, d.count(kRed));
    EXPECT_EQ((std::array<int32_t, 4>{10, 10, 14, 12}), d.box(kRed));

    Canvas e;
    e.g->drawRect(0, 0, 3, 3);
    EXPECT_EQ(11, e.count(kRed));
    EXPECT_EQ(kWhite, e.at(3, 3));
    EXPECT_EQ(kRed, e.at(3, 2));
    EXPECT_EQ(kRed, e.at(2, 3));
    EXPECT_EQ(kWhite, e.at(1, 1));

    Canvas f;
    f.g->fillRect(5, 5, -3, 4); // a negative size fills nothing
    EXPECT_EQ(0, f.count(kRed));
}

TEST(GraphicsClip, ReplacesCutsAndEmptiesTheDrawing)
{
    Canvas c;
    c.g->setClip(5, 5, 4, 4);
    c.g->setClip(2, 2, 3, 3); // replaces, not intersects
    EXPECT_EQ(2, c.g->getClipX());
    EXPECT_EQ(3, c.g->getClipWidth());
    c.g->fillRect(0, 0, 19, 19);
    EXPECT_EQ((std::array<int32_t, 4>{2, 2, 4, 4}), c.box(kRed));

    c.g->setClip(-5, 18, 10, 10); // cut to the surface
    EXPECT_EQ(0, c.g->getClipX());
    EXPECT_EQ(18, c.g->getClipY());
    EXPECT_EQ(5, c.g->getClipWidth());
    EXPECT_EQ(2, c.g->getClipHeight());

    for (auto [x, y, w, h] : {std::array<int32_t, 4>{0, 0, 0, 5},
                              {0, 0, 5, -1},
                              {20, 0, 5, 5},
                              {0, -5, 5, 5},
                              {INT32_MAX, 0, INT32_MAX, 5}}) {
        Canvas e;
        e.g->setClip(x, y, w, h);
        EXPECT_EQ(0, e.g->getClipWidth());
        EXPECT_EQ(0, e.g->getClipHeight());
        EXPECT_EQ(0, e.g->getClipX());
        e.g->fillRect(0, 0, 19, 19);
        e.g->drawLine(3, 3, 3, 3);
        e.g->drawString(u"W", 0, 0, DGraphics::TOP | DGraphics::LEFT);
        e.g->drawImage(sprite(3, 3), 0, 0, 0);
        EXPECT_EQ(400, e.count(kWhite)) << x << "," << y << "," << w << "," << h;
    }
}

TEST(GraphicsLines, EndsAndTheSinglePointCase)
{
    Canvas c;
    c.g->setClip(10, 10, 5, 5);
    c.g->drawLine(3, 3, 3, 3); // one point: the surface bounds apply, not the clip
    EXPECT_EQ(kRed, c.at(3, 3));
    c.g->drawLine(25, 3, 25, 3);
    EXPECT_EQ(1, c.count(kRed));

    Canvas d;
    d.g->drawLine(0, 0, 5, 1); // sloped: both ends
    EXPECT_EQ(6, d.count(kRed));
    EXPECT_EQ(kRed, d.at(5, 1));
    Canvas e;
    e.g->drawLine(0, 0, 5, 0); // straight: the far end is left out
    EXPECT_EQ(5, e.count(kRed));
    EXPECT_EQ(kWhite, e.at(5, 0));
}

TEST(GraphicsImages, AnchorsColourKeyAndOpaqueDrawing)
{
    Canvas c;
    DImagePtr s = sprite(4, 2);
    c.g->drawImage(s, 10, 10, DGraphics::RIGHT | DGraphics::HCENTER); // right rule only
    EXPECT_EQ(1, c.at(6, 10));
    EXPECT_EQ(kWhite, c.at(7, 10)); // the keyed pixel is skipped
    Canvas d;
    d.g->drawImage(s, 10, 10, DGraphics::BOTTOM | DGraphics::VCENTER); // bottom rule only
    EXPECT_EQ(1, d.at(10, 8));
    Canvas e;
    e.g->drawImage(s, 10, 10, DGraphics::HCENTER | DGraphics::VCENTER);
    EXPECT_EQ(1, e.at(8, 9));
    Canvas f;
    f.g->drawImageOpaque(s, 0, 0, 0);
    EXPECT_EQ(0xF81F, f.at(1, 0));
    EXPECT_EQ(0xF81F, s->getHolder()->colourKey); // restored
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, f.g->drawImage(DImagePtr(), 0, 0, 0));

    Canvas g; // partly off every edge
    for (auto [x, y] : {std::pair{-3, -1}, {18, 19}, {INT32_MIN, 0}, {INT32_MAX, INT32_MAX}})
        g.g->drawImage(s, x, y, 0);
    EXPECT_EQ(1 + 3 + 10 * 1, g.at(0, 0)); // source (3, 1)
    EXPECT_EQ(1, g.at(18, 19));
}

TEST(GraphicsText, AnchorsAndClippingToTheSurfaceOnly)
{
    auto drawn = [](int32_t x, int32_t y, int32_t anchor) {
        Canvas c(60, 40);
        c.g->setClip(0, 0, 2, 2);
        c.g->drawString(u"HH", x, y, anchor);
        return std::pair{c.box(kRed), c.count(kRed)};
    };
    DFontPtr font = DFont::getDefaultFont();
    const int32_t width = font->stringWidth(u"HH");
    const auto [box, ink] = drawn(10, 10, DGraphics::TOP | DGraphics::LEFT);
    ASSERT_GT(ink, 0); // drawn although wholly outside the clip rectangle
    EXPECT_GE(box[0], 10);
    EXPECT_GE(box[1], 10);
    EXPECT_LT(box[2], 10 + width);
    EXPECT_LT(box[3], 10 + font->getHeight());

    using G = DGraphics;
    EXPECT_EQ(box, drawn(10, 10, G::TOP | G::LEFT | G::RIGHT).first); // left wins
    EXPECT_EQ(box, drawn(10 + width, 10, G::TOP | G::RIGHT).first);
    EXPECT_EQ(box, drawn(10 + width / 2, 10, G::TOP | G::HCENTER).first);
    EXPECT_EQ(box, drawn(10, 10 + font->getHeight(), G::LEFT | G::BOTTOM).first);
    EXPECT_EQ(box, drawn(10, 10 + font->getBaselinePosition(), G::LEFT | G::BASELINE).first);

    // Cut at every edge of the surface, never beyond it.
    EXPECT_LT(drawn(-3, -4, G::TOP | G::LEFT).second, ink);
    EXPECT_LT(drawn(55, 35, G::TOP | G::LEFT).second, ink);
    EXPECT_EQ(0, drawn(INT32_MAX, INT32_MIN, G::TOP | G::LEFT).second);

    Canvas c;
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, c.g->drawString(DStringPtr(), 0, 0, 0));
    c.g->setFont(DFontPtr());
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, c.g->drawString(u"x", 0, 0, 0));
}

TEST(GraphicsRgb, OpaqueAndBlendedRowsWithinTheClip)
{
    Canvas c(8, 8);
    c.g->setClip(2, 2, 4, 4);
    DintArrayPtr argb(new DintArray(100));
    for (int32_t i = 0; i < 100; ++i)
        (*argb)[i] = static_cast<int32_t>(0xFF000000u | static_cast<uint32_t>(i) << 16);
    // Source rows of 10; the area starts at (0, 0) so the clip skips two columns and two rows.
    c.g->drawRGB(argb, 5, 10, 0, 0, 8, 8, false);
    EXPECT_EQ(kWhite, c.at(1, 2));
    EXPECT_EQ((5 + 2 + 2 * 10) >> 3 << 11, c.at(2, 2));
    EXPECT_EQ((5 + 5 + 5 * 10) >> 3 << 11, c.at(5, 5));
    EXPECT_EQ(kWhite, c.at(6, 6));

    Canvas d(4, 1);
    d.put(0, 0, 0xF81F);
    d.put(1, 0, 0x0000);
    d.put(2, 0, 0x0000);
    d.put(3, 0, 0xFFFF);
    DintArrayPtr px(new DintArray(4));
    (*px)[0] = static_cast<int32_t>(0x80FFFFFFu);
    (*px)[1] = static_cast<int32_t>(0xFFFC8408u); // alpha 255: the 6-bit truncated colour
    (*px)[2] = 0x00FFFFFF;                        // alpha 0 keeps the destination
    (*px)[3] = 0x00000000;
    d.g->drawRGB(px, 0, 4, 0, 0, 4, 1, true);
    EXPECT_EQ(0xF81F, d.at(0, 0));
    // 6-bit fields 63, 33, 2 scaled by 255/512 (red, blue) and 255/256 (green), truncated.
    EXPECT_EQ((31 << 11) | (32 << 5) | 0, d.at(1, 0));
    EXPECT_EQ(0x0000, d.at(2, 0));
    EXPECT_EQ(0xFFFF & ~0x0821, d.at(3, 0) & ~0x0821); // within rounding of white
}

TEST(GraphicsRgb, SourceRangesOutsideTheArrayAreRefused)
{
    Canvas c(8, 8);
    DintArrayPtr small(new DintArray(10));
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException,
                       c.g->drawRGB(small, 0, 4, 0, 0, 4, 4, false));
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException,
                       c.g->drawRGB(small, -1, 4, 0, 0, 2, 1, false));
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException,
                       c.g->drawRGB(small, 9, -4, 0, 0, 2, 2, false));
    EXPECT_EQ(64, c.count(kWhite)); // nothing drawn by refused calls
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       c.g->drawRGB(DintArrayPtr(), 0, 4, 0, 0, 4, 4, false));
    c.g->drawRGB(small, 0, 4, 0, 0, 2, 2, false); // exactly inside: drawn
    EXPECT_EQ(60, c.count(kWhite));
}

TEST(GraphicsHostileInput, HugeAndNegativeCoordinatesStayInsideTheSurface)
{
    Canvas c(16, 16);
    const int32_t big[] = {INT32_MIN, INT32_MIN + 1, -100000,       -1,       0, 15,
                           16,        100000,        INT32_MAX - 1, INT32_MAX};
    for (int32_t a : big)
        for (int32_t b : big) {
            c.g->fillRect(a, b, b, a);
            c.g->drawRect(a, b, b, a);
            c.g->drawLine(a, b, b, a);
            c.g->drawLine(a, 3, b, 3);
            c.g->drawLine(3, a, 3, b);
            c.g->drawLine(a, b, 7, 7);
        }
    EXPECT_GT(c.count(kRed), 0);
}

TEST(GraphicsScene, TextPrimitivesAndATurnedSprite)
{
    Canvas c(40, 30);
    DImagePtr s = DImage::createImage(sprite(3, 2), DImage::TRANS_ROT90); // now 2 x 3
    c.g->setColor(0x0000FF);
    c.g->fillRect(0, 0, 39, 4);
    c.g->drawImage(s, 39, 29, DGraphics::RIGHT | DGraphics::BOTTOM);
    c.g->setColor(0x00FF00);
    c.g->drawLine(0, 29, 10, 19);
    c.g->setColor(0);
    c.g->drawString(u"A", 0, 5, DGraphics::TOP | DGraphics::LEFT);

    EXPECT_EQ(200, c.count(0x001F)); // 40 x 5 band
    // Turned a quarter clockwise, the source's top-left (1) lands top-right of the sprite.
    // The 2 x 3 result sits at (37, 26).
    EXPECT_EQ(1, c.at(38, 26));
    EXPECT_EQ(11, c.at(37, 26));
    EXPECT_EQ(13, c.at(37, 28));
    EXPECT_EQ(3, c.at(38, 28));
    EXPECT_EQ(0xFFFF, c.at(38, 27)); // the keyed source pixel (1, 0)
    EXPECT_EQ(0x07E0, c.at(0, 29));
    EXPECT_EQ(0x07E0, c.at(10, 19));
    EXPECT_EQ(0x07E0, c.at(5, 24));
    const auto ink = c.box(0x0000);
    EXPECT_GE(ink[1], 5);
    EXPECT_LT(ink[3], 5 + DFont::getDefaultFont()->getHeight());
}

TEST(GraphicsHostileInput, AnchorsAtTheEndsOfTheRangeMoveNothingOntoTheSurface)
{
    // Moving a position at INT32_MIN left or up by the size of the picture or text must neither
    // overflow nor wrap around onto the surface.
    using G = DGraphics;
    Canvas c(16, 16);
    DImagePtr s = sprite(4, 2);
    for (int32_t anchor : {G::RIGHT | G::BOTTOM, G::HCENTER | G::VCENTER}) {
        c.g->drawImage(s, INT32_MIN, INT32_MIN, anchor);
        c.g->drawImageOpaque(s, INT32_MIN + 1, 3, anchor);
        c.g->drawString(u"HH", INT32_MIN, 3, anchor);
        c.g->drawString(u"HH", 3, INT32_MIN, anchor);
        c.g->drawChar(u'H', INT32_MIN, INT32_MIN, anchor);
    }
    c.g->drawString(u"HH", 3, INT32_MIN, G::LEFT | G::BASELINE);
    EXPECT_EQ(256, c.count(kWhite));

    // Still drawn where a picture anchored at its right edge belongs.
    c.g->drawImage(s, 4, 16, G::RIGHT | G::BOTTOM);
    EXPECT_EQ(1, c.at(0, 14));
    EXPECT_EQ(1 + 3 + 10, c.at(3, 15));
}

TEST(GraphicsLines, StraightLinesBetweenTheFarEndsOfTheRangeCrossTheClip)
{
    Canvas c(16, 16);
    c.g->setClip(2, 3, 10, 8); // columns 2..11, rows 3..10
    c.g->drawLine(5, INT32_MIN, 5, INT32_MAX);
    c.g->drawLine(INT32_MAX, 7, INT32_MIN, 7);
    // Column 5 over rows 3..10 and row 7 over columns 2..11, crossing at (5, 7).
    EXPECT_EQ(8 + 10 - 1, c.count(kRed));
    EXPECT_EQ((std::array<int32_t, 4>{2, 3, 11, 10}), c.box(kRed));
    EXPECT_EQ(kRed, c.at(5, 3));
    EXPECT_EQ(kRed, c.at(5, 10));
    EXPECT_EQ(kRed, c.at(2, 7));
    EXPECT_EQ(kRed, c.at(11, 7));
}

TEST(GraphicsLifetime, AContextKeepsItsImageAlive)
{
    // The image is dropped at once; drawing through its context must still reach live pixels.
    DGraphicsPtr g = DImage::createImage(6, 4)->getGraphics();
    g->setColor(0xFF0000);
    g->fillRect(0, 0, 5, 3);
    g->drawLine(0, 0, 5, 3);
    EXPECT_EQ(6, g->getClipWidth());
    EXPECT_EQ(4, g->getClipHeight());
    EXPECT_EQ(kRed, g->getTarget()->surface->row(3)[5]);
}

TEST(GraphicsRgb, PartialAlphaWeighsBothColours)
{
    // Destination 0x8410: fields 16, 32, 16. Source alpha 64 over 0xC08020: 6-bit fields 48, 32, 8.
    // blue (2*16*191 + 8*64) >> 9 = 12, green (32*191 + 32*64) >> 8 = 31,
    // red (2*16*191 + 48*64) >> 9 = 17: (17 << 11) | (31 << 5) | 12 = 0x8BEC.
    Canvas c(2, 1);
    c.put(0, 0, 0x8410);
    c.put(1, 0, 0x8410);
    DintArrayPtr px(new DintArray(2));
    (*px)[0] = 0x40C08020;
    (*px)[1] = 0x40C08020;
    c.g->drawRGB(px, 0, 2, 0, 0, 1, 1, true);
    EXPECT_EQ(0x8BEC, c.at(0, 0));
    EXPECT_EQ(0x8410, c.at(1, 0));             // outside the area
    c.g->drawRGB(px, 1, 2, 1, 0, 1, 1, false); // alpha ignored: 0xC08020 as RGB565
    EXPECT_EQ((0xC0 >> 3) << 11 | (0x80 >> 2) << 5 | 0x20 >> 3, c.at(1, 0));
}

TEST(GraphicsText, VerticalAnchorsInTheirOrder)
{
    // 0x10 wins over everything, then 0x20, then 2 (half the height, truncated), then 0x40.
    auto box = [](int32_t y, int32_t anchor) {
        Canvas c(60, 60);
        c.g->drawString(u"Hg", 5, y, anchor);
        return c.box(kRed);
    };
    using G = DGraphics;
    DFontPtr font = DFont::getDefaultFont();
    const int32_t h = font->getHeight();
    const auto top = box(20, G::LEFT | G::TOP);
    EXPECT_EQ(top, box(20, G::LEFT | G::TOP | G::BOTTOM | G::VCENTER | G::BASELINE));
    EXPECT_EQ(top, box(20 + h, G::LEFT | G::BOTTOM | G::VCENTER | G::BASELINE));
    EXPECT_EQ(top, box(20 + h / 2, G::LEFT | G::VCENTER | G::BASELINE));
    EXPECT_EQ(top, box(20 + font->getBaselinePosition(), G::LEFT | G::BASELINE));
    EXPECT_EQ(top, box(20, G::LEFT)); // no vertical bit: the top
}
