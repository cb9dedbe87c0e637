// What the data lacks is named on the error output, once per name: images after every fallback,
// other resources, atlas pieces, sounds in neither format and texts of the language. Names the
// lookups only try on the way (a set's own copy, a folder's alias file, a sound's first format)
// and texts handed in place of their keys are not reported.
#include "../profile/MediaTestSupport.h"
#include "CoreTestSupport.h"
#include "GamelibTestSupport.h"
#include "ShellFixture.h"
#include "StderrCapture.h"

#include "gamelib/GameImage.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/MissingReport.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "platform/DeviceProfile.h"

#include <gtest/gtest.h>

using gamelib::GameLib;

namespace {

// Every line that the code run by `body` wrote to the error output.
template <class Body> std::string errorOutput(Body body)
{
    testsupport::StderrCapture stderrText;
    body();
    return stderrText.text();
}

class MissingReport : public shelltest::ShellTest
{
  protected:
    MissingReport()
    {
        gamelib::resetMissingReports();
        platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
        platform::setManualWaveOutConfig({});
        qev::microedition::media::resetSound();
        gamelib::releaseSounds();
        gamelib::sfxEnabled = 1;
    }
    ~MissingReport() override
    {
        gamelib::releaseSounds();
        gamelib::releaseAtlas();
        gamelib::resetMissingReports();
    }

    // The archive of a 240x320 screen whose set "big" has an alias for "menu" only.
    void openData()
    {
        const std::vector<uint8_t> mod = mediatest::modBytes();
        openArchive({{"240x320", "graphics=big\r\n"},
                     {"graphics/big/menu/path", "small\r\n"},
                     {"graphics/small/menu/a.png", shelltest::png(3, 2, 0xFF0000)},
                     {"graphics/common/img/c.png", shelltest::png(7, 6, 0x0000FF)},
                     {"graphics/common/tesk/sheet.txt", "ball.png;0;0;4;4\r\n"},
                     {"graphics/common/tesk/sheet.png", shelltest::png(8, 8, 0x00FF00)},
                     {"snd/song.mod", std::string(mod.begin(), mod.end())}});
        ASSERT_TRUE(GameLib::loadScreenConfig());
    }
};

TEST_F(MissingReport, ImagesAndResourcesFoundOnTheWayAreNotReported)
{
    openData();
    const std::string out = errorOutput([] {
        GameLib::loadImage(u"/menu/a.png", 0);
        GameLib::loadImage(u"/img/c.png", 0);
        gamelib::loadAtlas(u"/tesk/sheet");
        EXPECT_TRUE(gamelib::GameImage::fromAtlas(u"ball.png"));
        EXPECT_TRUE(gamelib::createSoundPlayer(u"/snd/song"));
    });
    EXPECT_EQ("", out) << "the set's own copies, the alias files and the .wav were only tried";
}

TEST_F(MissingReport, EachMissingThingIsNamedOnceInOneLine)
{
    openData();
    const std::string out = errorOutput([] {
        for (int i = 0; i < 2; ++i) {
            EXPECT_THROWS_CODE(qev::lang::ExceptionCode::IOException,
                               GameLib::loadImage(u"/img/none.png", 0));
            EXPECT_THROWS_CODE(qev::lang::ExceptionCode::IOException,
                               GameLib::getResourceAsStream(u"/data/none"));
            EXPECT_FALSE(gamelib::createSoundPlayer(u"/snd/none"));
        }
    });
    EXPECT_EQ("pallasterhorn: not found: image /img/none.png (graphics set big)\n"
              "pallasterhorn: not found: resource /data/none\n"
              "pallasterhorn: not found: resource /snd/none.wav or .mod\n",
              out);
}

TEST_F(MissingReport, AnEntryThatIsThereButDoesNotDecodeIsNamedAsDamaged)
{
    openArchive({{"240x320", "graphics=big\r\n"},
                 {"graphics/big/img/c.png", "not a picture"},
                 {"graphics/common/img/c.png", shelltest::png(7, 6, 0x0000FF)},
                 {"graphics/big/img/d.png", "not a picture"}});
    ASSERT_TRUE(GameLib::loadScreenConfig());
    std::string message;
    const std::string out = errorOutput([&message] {
        // The common set stands in for the damaged copy, which is still named.
        auto image = GameLib::loadImage(u"/img/c.png", 0);
        ASSERT_TRUE(image);
        EXPECT_EQ(7, image->getWidth());
        // Without a stand-in the damaged entry's error goes on, not "no entry" of the last
        // name tried.
        try {
            GameLib::loadImage(u"/img/d.png", 0);
            ADD_FAILURE() << "no exception";
        } catch (qev::lang::DExceptionBase* e) {
            EXPECT_EQ(qev::lang::ExceptionCode::IOException, e->code);
            message = gamelibtest::ascii(gamelib::messageOf(*e));
            delete e;
        }
    });
    EXPECT_EQ("cannot decode image /graphics/big/img/d.png", message);
    EXPECT_EQ("pallasterhorn: damaged: /graphics/big/img/c.png: cannot decode image\n"
              "pallasterhorn: damaged: /graphics/big/img/d.png: cannot decode image\n",
              out);
}

TEST_F(MissingReport, APieceMissingFromTheAtlasIsNamedWithItsSuffix)
{
    openData();
    gamelib::loadAtlas(u"/tesk/sheet");
    const std::string out =
        errorOutput([] { EXPECT_FALSE(gamelib::GameImage::fromAtlas(u"wreck.png_mx")); });
    EXPECT_EQ("pallasterhorn: not found: atlas piece wreck.png_mx\n", out);
}

TEST_F(MissingReport, AKeyWithoutTextIsNamedButATextInPlaceOfItsKeyIsNot)
{
    openData();
    gamelib::loadTexts(gamelibtest::streamOf("start=Play\r\nsoundfxoff=Sound: off\r\n"), false);
    const std::string out = errorOutput([] {
        EXPECT_TRUE(gamelib::getText(u"start")->equals(u"Play"));
        // A game may keep the level texts themselves in its key list.
        EXPECT_TRUE(gamelib::getText(u"Sound: off")->equals(u"Sound: off"));
        EXPECT_TRUE(gamelib::getText(u"quit")->equals(u"quit"));
    });
    EXPECT_EQ("pallasterhorn: not found: text quit\n", out);
}

TEST_F(MissingReport, ImagesLoadedUnderTheirOwnNamesAreNamedToo)
{
    openData();
    // A second font page whose descriptor is there but whose strip is not is named; pages
    // after a font's last one are only looked for.
    writeFile("graphics/fonts/hud0/font_1", std::string(1, '\0'));
    const std::string out = errorOutput([] {
        gamelib::GameMenu::loadMenuImages();
        gamelib::loadImageFonts();
        EXPECT_THROWS_CODE(qev::lang::ExceptionCode::IOException,
                           GameLib::createImage(u"/graphics/logo.png"));
    });
    std::string expected = "pallasterhorn: not found: image /graphics/arrowUp.png\n"
                           "pallasterhorn: not found: image /graphics/selected.png\n";
    for (const char* font : {"menu", "menusel", "hud0", "hud1", "num0", "num1", "small"}) {
        expected += "pallasterhorn: not found: image /graphics/fonts/" + std::string(font) +
                    "/font_0.png\n";
        if (std::string(font) == "hud0")
            expected += "pallasterhorn: not found: image /graphics/fonts/hud0/font_1.png\n";
    }
    expected += "pallasterhorn: not found: image /graphics/logo.png\n";
    EXPECT_EQ(expected, out);
}

} // namespace
