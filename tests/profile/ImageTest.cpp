#include "../core/SevenZipTool.h"
#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "PngBytes.h"
#include "TempFolder.h"
#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DImage.h"
#include "raster/ImageHolder.h"

#include <string>
#include <vector>

using namespace qev::lang;
using namespace qev::microedition::lcdui;

namespace {

// A PNG of w x h pixels whose red channel is `shade` and whose green channel counts the pixels,
// so that which file was loaded and how it was turned can both be read back.
std::string png(int w, int h, uint8_t shade)
{
    return testsupport::pngOf(w, h, [w, shade](int x, int y) {
        const int i = y * w + x;
        return static_cast<uint32_t>(shade) << 16 | static_cast<uint32_t>(i * 4 & 0xFF) << 8;
    });
}

uint16_t pixel(const DImagePtr& image, int x, int y)
{
    return image->getHolder()->surface->row(y)[x];
}

// The pixel index the green channel of png() encodes.
int indexOf(uint16_t p)
{
    return (p >> 5) & 0x3F; // green was i * 4: its top 6 bits are i
}

int shadeOf(uint16_t p)
{
    return (p >> 11) << 3;
}

DStringPtr g_prefix;
DStringPtr prefixSource(DStringPtr key)
{
    return DStringPtr(key) == DStringPtr(u"image.path") ? g_prefix : DStringPtr();
}

class Images : public DeviceTest
{
  protected:
    Images()
    {
        profile().programFile = folder.path() + "/game.exe";
        DImage::setPropertySource(prefixSource);
        g_prefix = DStringPtr();
    }
    ~Images() override
    {
        qev::io::D7zipInputStream::closeArchive();
        DImage::setPropertySource(nullptr);
        g_prefix = DStringPtr();
    }
    void archive(const std::map<std::string, std::string>& files)
    {
        ASSERT_TRUE(sevenzip::pack(folder.path() + "/game.dat", files, sevenzip::nonSolid("LZMA")));
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
    }
    testsupport::TempFolder folder;
};

} // namespace

TEST_F(Images, TheFiveTransformsOfAnAsymmetricImage)
{
    folder.write("t.png", png(3, 2, 0x80));
    // Source index i = x + 3y, so the source pixel (x, y) is recognisable anywhere.
    auto src = [](int x, int y) { return x + 3 * y; };
    struct Case
    {
        int32_t transform;
        int w, h;
        std::vector<int> expected; // source index per result pixel, row by row
    };
    const Case cases[] = {
        {DImage::TRANS_NONE,
         3,
         2,
         {src(0, 0), src(1, 0), src(2, 0), src(0, 1), src(1, 1), src(2, 1)}},
        {DImage::TRANS_MIRROR,
         3,
         2,
         {src(2, 0), src(1, 0), src(0, 0), src(2, 1), src(1, 1), src(0, 1)}},
        {DImage::TRANS_ROT180,
         3,
         2,
         {src(2, 1), src(1, 1), src(0, 1), src(2, 0), src(1, 0), src(0, 0)}},
        {DImage::TRANS_ROT90,
         2,
         3,
         {src(0, 1), src(0, 0), src(1, 1), src(1, 0), src(2, 1), src(2, 0)}},
        {DImage::TRANS_ROT270,
         2,
         3,
         {src(2, 0), src(2, 1), src(1, 0), src(1, 1), src(0, 0), src(0, 1)}},
    };
    DImagePtr plain = DImage::createImage(u"/t.png");
    for (const Case& c : cases) {
        for (DImagePtr image : {DImage::createImage(u"/t.png", c.transform),
                                DImage::createImage(plain, c.transform)}) {
            ASSERT_EQ(c.w, image->getWidth()) << c.transform;
            ASSERT_EQ(c.h, image->getHeight()) << c.transform;
            std::vector<int> got;
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x)
                    got.push_back(indexOf(pixel(image, x, y)));
            EXPECT_EQ(c.expected, got) << "transform " << c.transform;
            EXPECT_FALSE(image->isMutable());
            EXPECT_EQ(0xF81F, image->getHolder()->colourKey);
        }
    }
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, DImage::createImage(u"/t.png", 1));
    EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, DImage::createImage(plain, 7));
}

TEST_F(Images, BlankImagesAreWhiteMutableAndKeyed)
{
    DImagePtr blank = DImage::createImage(5, 4);
    EXPECT_TRUE(blank->isMutable());
    EXPECT_EQ(0xF81F, blank->getHolder()->colourKey);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(0xFFFF, pixel(blank, x, y));
    DImagePtr turned = DImage::createImage(blank, DImage::TRANS_ROT90);
    EXPECT_TRUE(turned->isMutable());
    EXPECT_EQ(4, turned->getWidth());
    EXPECT_EQ(5, turned->getHeight());

    // A source whose key was cleared still gives a keyed copy.
    blank->getHolder()->colourKey = -1;
    EXPECT_EQ(0xF81F, DImage::createImage(blank, DImage::TRANS_NONE)->getHolder()->colourKey);

    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 5}, {INT32_MAX, INT32_MAX}})
        EXPECT_THROWS_CODE(ExceptionCode::IllegalArgumentException, DImage::createImage(w, h));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException,
                       DImage::createImage(DImagePtr(), DImage::TRANS_NONE));
}

TEST_F(Images, PlainFilesWinOverArchiveEntries)
{
    archive({{"a.png", png(2, 2, 0x40)}, {"b.png", png(2, 2, 0x48)}});
    folder.write("a.png", png(2, 2, 0xC0));
    EXPECT_EQ(0xC0, shadeOf(pixel(DImage::createImage(u"/a.png"), 0, 0)));
    EXPECT_EQ(0x48, shadeOf(pixel(DImage::createImage(u"/b.png"), 0, 0)));
    // A plain file that does not decode gives way to the archive.
    folder.write("b.png", "not a picture");
    EXPECT_EQ(0x48, shadeOf(pixel(DImage::createImage(u"/b.png"), 0, 0)));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, DImage::createImage(u"/missing.png"));
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, DImage::createImage(DStringPtr()));
}

TEST_F(Images, ThePrefixIsTriedFirstThenTheBareName)
{
    archive({{"ppc/a.png", png(1, 1, 0x10)},
             {"a.png", png(1, 1, 0x20)},
             {"c.png", png(1, 1, 0x30)},
             {"bad.png", "\x89PNG\r\n\x1a\n truncated"}});
    EXPECT_EQ(0x20, shadeOf(pixel(DImage::createImage(u"/a.png"), 0, 0))); // no prefix
    g_prefix = u"";
    EXPECT_EQ(0x20, shadeOf(pixel(DImage::createImage(u"/a.png"), 0, 0)));
    g_prefix = u"/ppc";
    EXPECT_EQ(0x10, shadeOf(pixel(DImage::createImage(u"/a.png"), 0, 0)));
    EXPECT_EQ(0x30, shadeOf(pixel(DImage::createImage(u"/c.png"), 0, 0))); // fallback
    EXPECT_THROWS_CODE(ExceptionCode::IOException, DImage::createImage(u"/none.png"));
    EXPECT_THROWS_CODE(ExceptionCode::IOException, DImage::createImage(u"/bad.png"));
}

TEST_F(Images, WithoutAnArchiveOnlyFilesLoad)
{
    folder.write("a.png", png(2, 1, 0x60));
    EXPECT_EQ(2, DImage::createImage(u"/a.png")->getWidth());
    EXPECT_THROWS_CODE(ExceptionCode::IOException, DImage::createImage(u"/b.png"));
}
