#include "DecodeTools.h"
#include "DeviceFixture.h"
#include "TempFolder.h"
#include "platform/MappedFile.h"

#include "platform/HandleTable.h"
#include "platform/PathMapping.h"
#include "platform/files.h"

#include <png.h>

#include <gtest/gtest.h>

using namespace rastertest;

namespace {

class LoadImageFileTest : public DeviceTest
{
  protected:
    LoadImageFileTest()
    {
        profile().programFile = folder.path() + "/pallasterhorn";
        handles = platform::HandleTable::openCount();
        views = platform::openViewCount();
        const Bytes png =
            encodePng(pngLayout(3, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 50, 100, 150, 200, 250}));
        pngBytes.assign(png.begin(), png.end());
    }
    ~LoadImageFileTest() override
    {
        // Every path through the loader closes what it opened.
        EXPECT_EQ(platform::HandleTable::openCount(), handles);
        EXPECT_EQ(platform::openViewCount(), views);
    }
    std::u16string platformPath(const std::string& posix)
    {
        std::u16string out;
        EXPECT_EQ(platform::PathMapping::toPlatform(posix, out), DWORD(ERROR_SUCCESS));
        return out;
    }

    testsupport::TempFolder folder;
    size_t handles = 0, views = 0;
    std::string pngBytes;
};

} // namespace

TEST_F(LoadImageFileTest, BareNamesAreFoundInTheProgramsFolder)
{
    folder.write("pic.png", pngBytes);
    ImagePtr image(LoadImageFile(u"pic.png"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->surface->width, 3);
    EXPECT_EQ(image->surface->height, 2);
    EXPECT_EQ(image->surface->row(1)[2], Gfx::rgb565(250, 250, 250));

    folder.write("img/sub.png", pngBytes);
    EXPECT_NE(ImagePtr(LoadImageFile(u"img\\sub.png")), nullptr);
}

TEST_F(LoadImageFileTest, PathsStartingWithABackslashAreUsedAsWritten)
{
    testsupport::TempFolder elsewhere;
    elsewhere.write("far.png", pngBytes);
    const std::u16string path = platformPath(elsewhere.path() + "/far.png");
    ASSERT_EQ(path[0], u'\\');
    EXPECT_NE(ImagePtr(LoadImageFile(path.c_str())), nullptr);
    EXPECT_EQ(ImagePtr(LoadImageFile(u"far.png")), nullptr); // not in the program's folder
}

TEST_F(LoadImageFileTest, JpegFilesToo)
{
    std::vector<uint8_t> rgb(8 * 8 * 3, 128);
    const Bytes jpeg = encodeJpeg(rgb, 8, 8, JpegKind::Baseline);
    folder.write("photo.jpg", std::string(jpeg.begin(), jpeg.end()));
    ImagePtr image(LoadImageFile(u"photo.jpg"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->surface->width, 8);
}

TEST_F(LoadImageFileTest, MissingEmptyOrDamagedFilesGiveNull)
{
    EXPECT_EQ(ImagePtr(LoadImageFile(u"missing.png")), nullptr);
    folder.write("empty.png", "");
    EXPECT_EQ(ImagePtr(LoadImageFile(u"empty.png")), nullptr);
    folder.write("cut.png", pngBytes.substr(0, pngBytes.size() / 2));
    EXPECT_EQ(ImagePtr(LoadImageFile(u"cut.png")), nullptr);
    EXPECT_EQ(ImagePtr(LoadImageFile(u"")), nullptr);
    EXPECT_EQ(ImagePtr(LoadImageFile(nullptr)), nullptr);
}

TEST_F(LoadImageFileTest, ResolvedPathsAreBoundedByTheBuffer)
{
    WCHAR out[MAX_PATH];
    const std::u16string program = platformPath(folder.path() + "/pallasterhorn");
    const size_t folderLength = program.size() - std::u16string(u"pallasterhorn").size();

    EXPECT_EQ(resolveAppPath(u"a.png", out), folderLength + 5);
    EXPECT_EQ(std::u16string(out), program.substr(0, folderLength) + u"a.png");

    // The longest name that fits leaves room for the terminator; one more unit does not fit.
    const std::u16string fits(MAX_PATH - 1 - folderLength, u'x');
    EXPECT_EQ(resolveAppPath(fits.c_str(), out), size_t(MAX_PATH - 1));
    const std::u16string tooLong = fits + u"x";
    EXPECT_EQ(resolveAppPath(tooLong.c_str(), out), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(ImagePtr(LoadImageFile(tooLong.c_str())), nullptr);

    const std::u16string absolute = u"\\" + std::u16string(MAX_PATH - 1, u'y');
    EXPECT_EQ(resolveAppPath(absolute.c_str(), out), 0u);
    EXPECT_EQ(resolveAppPath(absolute.substr(0, MAX_PATH - 1).c_str(), out), size_t(MAX_PATH - 1));
}

TEST_F(LoadImageFileTest, ACutProgramNameIsNotUsed)
{
    folder.write("pic.png", pngBytes);
    profile().moduleNameLimit = 8; // GetModuleFileNameW reports a truncated name
    WCHAR out[MAX_PATH];
    EXPECT_EQ(resolveAppPath(u"pic.png", out), 0u);
    EXPECT_EQ(ImagePtr(LoadImageFile(u"pic.png")), nullptr);
}

TEST_F(LoadImageFileTest, MappedFileReopensAndCloses)
{
    folder.write("a.png", pngBytes);
    folder.write("b.bin", "12345");
    platform::MappedFile file;
    ASSERT_TRUE(file.open(u"a.png"));
    EXPECT_EQ(size_t(file.end() - file.begin()), pngBytes.size());
    ASSERT_TRUE(file.open(u"b.bin")); // closes a.png first
    EXPECT_EQ(std::string(file.begin(), file.end()), "12345");
    EXPECT_EQ(platform::openViewCount(), views + 1);
    EXPECT_FALSE(file.open(u"none.bin"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.begin(), nullptr);
    file.close();
    file.close();
}
