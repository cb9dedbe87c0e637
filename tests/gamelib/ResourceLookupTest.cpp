#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"

using gamelib::GameLib;
using qev::lang::DString;
using qev::lang::DStringPtr;
using qev::lang::ExceptionCode::IOException;

namespace {

class ResourceLookup : public shelltest::ShellTest
{
  protected:
    std::string resource(const char16_t* name)
    {
        return readAll(GameLib::getResourceAsStream(name));
    }
    std::string graphics(const char16_t* name)
    {
        return readAll(GameLib::openGraphicsStream(name));
    }
    std::string alias(const char16_t* folderName)
    {
        DStringPtr value = qev::lang::dcast<DString>(
            gamelib::folderAliases->get(qev::lang::DObjectPtr(DStringPtr(folderName))));
        if (!value)
            return "(none)";
        std::string out;
        for (int32_t i = 0; i < value->length(); ++i)
            out.push_back(static_cast<char>(value->charAt(i)));
        return out;
    }
};

TEST_F(ResourceLookup, LargeScreensPreferThePpcVariantOfAnimationListsPictureListsAndMenus)
{
    openArchive({{"ppc/tesk/anim.txt", "large"},
                 {"tesk/anim.txt", "small"},
                 {"corv/anim.txt", "only small"},
                 {"ppc/img/all.txt", "large list"},
                 {"img/all.txt", "small list"},
                 {"ppc/menu/items.txt", "large menu"},
                 {"menu/items.txt", "small menu"},
                 {"ppc/tesk/level.txt", "never"},
                 {"tesk/level.txt", "level"}});
    gamelib::screenWidth = 240;
    gamelib::screenHeight = 320;
    EXPECT_EQ("large", resource(u"/tesk/anim.txt"));
    EXPECT_EQ("only small", resource(u"/corv/anim.txt"));
    EXPECT_EQ("large list", resource(u"/img/all.txt"));
    EXPECT_EQ("large menu", resource(u"/menu/items.txt"));
    // Other names never get the prefix.
    EXPECT_EQ("level", resource(u"/tesk/level.txt"));

    gamelib::screenHeight = 240;
    EXPECT_EQ("small", resource(u"/tesk/anim.txt"));
    EXPECT_EQ("small list", resource(u"/img/all.txt"));
    EXPECT_EQ("small menu", resource(u"/menu/items.txt"));
    gamelib::screenHeight = 319;
    EXPECT_EQ("small", resource(u"/tesk/anim.txt"));
}

TEST_F(ResourceLookup, HelpTextsTakeThePpcVariantOnEveryScreenButFontsAreNeverRenamed)
{
    openArchive({{"ppc/txt/tesk/en_help.txt", "large help"},
                 {"txt/tesk/en_help.txt", "small help"},
                 {"txt/corv/en_help.txt", "plain help"},
                 {"ppc/fonts/odd_help.txt", "wrong"},
                 {"fonts/odd_help.txt", "font entry"}});
    gamelib::screenWidth = 176;
    gamelib::screenHeight = 208;
    EXPECT_EQ("large help", resource(u"/txt/tesk/en_help.txt"));
    EXPECT_EQ("plain help", resource(u"/txt/corv/en_help.txt"));
    EXPECT_EQ("font entry", resource(u"/fonts/odd_help.txt"));
}

TEST_F(ResourceLookup, NamesMissingFromTheArchiveAreReadAsPlainFilesOfTheProgramFolder)
{
    openArchive({{"data/keys.txt", "archive"}});
    writeFile("data/keys.txt", "file");
    writeFile("data/extra.txt", "plain file");
    EXPECT_EQ("archive", resource(u"/data/keys.txt"));
    EXPECT_EQ("plain file", resource(u"/data/extra.txt"));
    EXPECT_THROWS_CODE(IOException, GameLib::getResourceAsStream(u"/data/none.txt"));
}

TEST_F(ResourceLookup, WithoutAnArchiveEveryNameIsAPlainFile)
{
    writeFile("tesk/anim.txt", "plain anim");
    EXPECT_EQ("plain anim", resource(u"/tesk/anim.txt"));
}

TEST_F(ResourceLookup, ScreenConfigurationChoosesTheGraphicsSetAndReadsFolderAliases)
{
    openArchive({{"240x320", "graphics=big\r\nmenu=large\r\n"},
                 {"graphics/big/menu/path", "small\r\nignored"},
                 {"graphics/big/tesk/path", "shared"},
                 {"graphics/big/corv/path", "\r\n"}});
    ASSERT_TRUE(GameLib::loadScreenConfig());
    EXPECT_TRUE(gamelib::graphicsSet->equals(u"big"));
    EXPECT_EQ("small", alias(u"menu"));
    // A path file without carriage return is taken whole; an empty one gives no alias.
    EXPECT_EQ("shared", alias(u"tesk"));
    EXPECT_EQ("(none)", alias(u"corv"));
    EXPECT_EQ("(none)", alias(u"img"));
}

TEST_F(ResourceLookup, APlainPathFileThatEndsWithoutCarriageReturnKeepsWhatWasRead)
{
    // A plain file raises the end-of-file error where an archive entry reports the end.
    openArchive({{"240x320", "graphics=big\r\n"}});
    writeFile("graphics/big/img/path", "alt");
    ASSERT_TRUE(GameLib::loadScreenConfig());
    EXPECT_EQ("alt", alias(u"img"));
}

TEST_F(ResourceLookup, AConfigurationWithoutGraphicsKeyUsesTheKeyAsSetName)
{
    openArchive({{"240x320", "menu=large\r\n"}});
    ASSERT_TRUE(GameLib::loadScreenConfig());
    EXPECT_TRUE(gamelib::graphicsSet->equals(u"graphics"));
}

TEST_F(ResourceLookup, AResolutionWithoutConfigurationIsUnsupported)
{
    openArchive({{"240x320", "graphics=big\r\n"}});
    gamelib::screenWidth = 320;
    gamelib::screenHeight = 240;
    EXPECT_FALSE(GameLib::loadScreenConfig());
    // The plain file of the program folder counts as well.
    writeFile("320x240", "graphics=wide\r\n");
    EXPECT_TRUE(GameLib::loadScreenConfig());
    EXPECT_TRUE(gamelib::graphicsSet->equals(u"wide"));
}

TEST_F(ResourceLookup, GraphicsComeFromTheSetThenTheFolderAliasThenCommon)
{
    openArchive({{"240x320", "graphics=big\r\n"},
                 {"graphics/big/menu/path", "small\r\n"},
                 {"graphics/big/menu/a.txt", "big a"},
                 {"graphics/small/menu/a.txt", "small a"},
                 {"graphics/small/menu/b.txt", "small b"},
                 {"graphics/common/menu/b.txt", "common b"},
                 {"graphics/common/menu/c.txt", "common c"},
                 {"graphics/common/tesk/d.txt", "common d"}});
    ASSERT_TRUE(GameLib::loadScreenConfig());
    EXPECT_EQ("big a", graphics(u"/menu/a.txt"));
    EXPECT_EQ("small b", graphics(u"/menu/b.txt"));
    EXPECT_EQ("common c", graphics(u"/menu/c.txt"));
    // No alias for the folder: straight to common.
    EXPECT_EQ("common d", graphics(u"/tesk/d.txt"));
    EXPECT_THROWS_CODE(IOException, GameLib::openGraphicsStream(u"/tesk/none.txt"));
}

TEST_F(ResourceLookup, ImagesFollowTheSameFallbacksAndAMissingOneFails)
{
    openArchive({{"240x320", "graphics=big\r\n"},
                 {"graphics/big/img/path", "alt\r\n"},
                 {"graphics/big/img/a.png", shelltest::png(3, 2, 0xFF0000)},
                 {"graphics/alt/img/b.png", shelltest::png(5, 4, 0x00FF00)},
                 {"graphics/common/img/c.png", shelltest::png(7, 6, 0x0000FF)}});
    ASSERT_TRUE(GameLib::loadScreenConfig());
    EXPECT_EQ(3, GameLib::loadImage(u"/img/a.png", 0)->getWidth());
    EXPECT_EQ(5, GameLib::loadImage(u"/img/b.png", 0)->getWidth());
    EXPECT_EQ(7, GameLib::loadImage(u"/img/c.png", 0)->getWidth());
    // The transform is passed on: a quarter turn swaps the sides.
    EXPECT_EQ(6, GameLib::loadImage(u"/img/c.png", 5)->getWidth());
    EXPECT_THROWS_CODE(IOException, GameLib::loadImage(u"/img/none.png", 0));
}

} // namespace
