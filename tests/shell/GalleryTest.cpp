// The gallery: which pictures it shows for the stored mask, wrapping, the accelerating slide,
// the buttons that hide, leaving to the main menu or to the game that embedded it, and the
// static unlocking that the games use.
#include "ShellScreensFixture.h"
#include "StderrCapture.h"

#include "gallery/Gallery.h"
#include "gamelib/GameMenu.h"
#include "gamelib/MainMenu.h"
#include "gamelib/MissingReport.h"
#include "microedition/lcdui/DeviceKeys.h"

#include <vector>

using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;

using gallery::Gallery;
using gamelib::GameMenu;
using shelltest::kButton;
using shelltest::png;

namespace {

// Picture i of the fixture's list is one colour whose red part tells i.
uint32_t pictureColour(int i)
{
    return static_cast<uint32_t>(i * 8) << 16 | 0x4000;
}

std::map<std::string, std::string> pictures()
{
    std::map<std::string, std::string> entries;
    std::string list;
    for (int i = 0; i < 24; ++i) {
        // One-picture groups, neighbours with different digits.
        list += std::to_string(i % 2) + "   p" + std::to_string(i) + "\r\n";
        entries["graphics/common/img/p" + std::to_string(i) + ".jpg"] =
            png(240, 320, pictureColour(i));
    }
    entries["graphics/common/img/all.txt"] = list;
    return entries;
}

class GalleryTest : public shelltest::ShellScreens
{
  protected:
    // Main menu with the mask stored, then up twice to the gallery and fire.
    void openFromMainMenu(int32_t mask,
                          const std::map<std::string, std::string>& extra = pictures())
    {
        GameMenu::saveOption(u"openimgs", mask);
        startToMainMenu(extra);
        press('2');
        press('2');
        press('5');
        for (int i = 0; i < 200 && !current<Gallery>(); ++i)
            step();
        ASSERT_TRUE(current<Gallery>());
        step();
    }
    Gallery& gallery() { return *current<Gallery>(); }
    bool shows(int picture) { return pixelIs(120, 100, pictureColour(picture)); }
    void waitStill()
    {
        for (int i = 0; i < 100 && gallery().slide != Gallery::SLIDE_STILL; ++i)
            step();
    }
};

TEST_F(GalleryTest, NothingUnlockedShowsTheVioletScreenAndIgnoresNextAndPrevious)
{
    openFromMainMenu(0);
    EXPECT_TRUE(pixelIs(120, 100, 0x330066));
    EXPECT_TRUE(pixelIs(1, 100, 0xCCCCCC)) << "the outline";
    // "NONE YET" in the small font (spaced by one pixel: 55 wide) centred on the screen.
    EXPECT_TRUE(pixelIs(120 - 27 + 2, 160, shelltest::kGlyph));
    EXPECT_TRUE(pixelIs(120 - 27 - 2, 160, 0x330066));
    press('6');
    press('4');
    EXPECT_EQ(Gallery::SLIDE_STILL, gallery().slide);
    EXPECT_TRUE(pixelIs(120, 100, 0x330066));
    steps(15);
    EXPECT_TRUE(pixelIs(5, 315, kButton)) << "the quit button is out";
    EXPECT_FALSE(pixelIs(235, 315, kButton)) << "no next button without pictures";
}

TEST_F(GalleryTest, MaskBitsBeyondTheLastPictureUnlockNothing)
{
    openFromMainMenu(1 << 30);
    EXPECT_EQ(-1, gallery().current);
    EXPECT_TRUE(pixelIs(120, 100, 0x330066));
    press('6');
    EXPECT_TRUE(pixelIs(120, 100, 0x330066));
}

TEST_F(GalleryTest, ASingleUnlockedPictureIsShownAndNeverSlides)
{
    openFromMainMenu(1 << 7);
    EXPECT_EQ(7, gallery().current);
    EXPECT_TRUE(shows(7));
    press('6');
    EXPECT_EQ(Gallery::SLIDE_STILL, gallery().slide);
    press(-2);
    EXPECT_EQ(7, gallery().current);
    EXPECT_TRUE(shows(7));
}

TEST_F(GalleryTest, PreviousFromTheFirstWrapsToTheLastAndNextComesBack)
{
    openFromMainMenu(1 | 1 << 23);
    EXPECT_TRUE(shows(0));
    press('4');
    EXPECT_EQ(23, gallery().current);
    EXPECT_EQ(Gallery::SLIDE_PREVIOUS, gallery().slide);
    waitStill();
    EXPECT_TRUE(shows(23));
    press(kKeySoftRight);
    EXPECT_EQ(0, gallery().current) << "the right soft key is next";
    waitStill();
    EXPECT_TRUE(shows(0));
}

TEST_F(GalleryTest, TheSlideStartsAtTwoPixelsAStepAndSpeedsUp)
{
    openFromMainMenu(0x3);
    gamelib::screenCanvas->keyPressed('6');
    std::vector<int32_t> x;
    step();
    ASSERT_EQ(Gallery::SLIDE_NEXT, gallery().slide);
    x.push_back(gallery().slideX);
    gamelib::screenCanvas->keyReleased('6');
    int mid = -1;
    while (gallery().slide == Gallery::SLIDE_NEXT && x.size() < 200) {
        step();
        x.push_back(gallery().slideX);
        if (mid < 0 && gallery().slideX > 100 && gallery().slideX < 200) {
            mid = gallery().slideX;
            EXPECT_TRUE(pixelIs(mid - 3, 100, pictureColour(1))) << "the new picture comes in";
            EXPECT_TRUE(pixelIs(mid + 3, 100, pictureColour(0))) << "the old one goes right";
        }
    }
    ASSERT_GE(x.size(), 9u);
    EXPECT_EQ(2, x[0]) << "speed 2.25 moves 2 pixels";
    EXPECT_EQ(2, x[2] - x[1]);
    EXPECT_EQ(3, x[3] - x[2]) << "speed 3.0 at the fourth step";
    EXPECT_EQ(4, x[7] - x[6]);
    EXPECT_LT(x.size(), 45u) << "much faster than 120 steps at a constant two pixels";
    EXPECT_EQ(0, x.back()) << "the slide ends and resets";
    EXPECT_GT(mid, 0);
    EXPECT_TRUE(shows(1));
}

TEST_F(GalleryTest, WithEveryBitSetAllTwentyFourPicturesComeInTurn)
{
    openFromMainMenu(0xFFFFFF);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(i, gallery().current);
        EXPECT_TRUE(shows(i)) << "picture " << i;
        press(-3);
        waitStill();
    }
    EXPECT_TRUE(shows(0)) << "after the last the first again";
}

TEST_F(GalleryTest, ButtonsSlideOutThenHideThreeSecondsLater)
{
    openFromMainMenu(0x1);
    Gallery& g = gallery();
    steps(13);
    EXPECT_EQ(shelltest::kButtonWidth, g.buttonX);
    EXPECT_TRUE(pixelIs(5, 315, kButton));
    EXPECT_TRUE(pixelIs(235, 315, kButton));
    steps(3000 / 25);
    EXPECT_EQ(shelltest::kButtonWidth, g.buttonX) << "still out at three seconds";
    steps(2);
    EXPECT_LT(g.buttonX, shelltest::kButtonWidth);
    const int32_t hiding = g.buttonX;
    step();
    EXPECT_EQ(hiding - 1, g.buttonX) << "back in at one pixel a step";
    steps(45);
    EXPECT_EQ(0, g.buttonX);
    EXPECT_FALSE(pixelIs(5, 315, kButton));
    press('1');
    EXPECT_EQ(6, g.buttonX) << "any key brings them out again";
}

TEST_F(GalleryTest, OverlaysOfAGroupAreClearedOnePerPicture)
{
    std::map<std::string, std::string> data = {
        {"graphics/common/img/all.txt", "0   scene\r\n0   mist;0;0\r\n0   frost;0;160\r\n"},
        {"graphics/common/img/scene.jpg", png(240, 320, 0x808000)},
        {"graphics/common/img/dress/mist.png", png(240, 160, 0xE0E0E0)},
        {"graphics/common/img/dress/frost.png", png(240, 160, 0x80C0FF)},
    };
    openFromMainMenu(0x7, data);
    EXPECT_TRUE(pixelIs(100, 10, 0xE0E0E0)) << "picture 0: both layers";
    EXPECT_TRUE(pixelIs(100, 300, 0x80C0FF));
    press('6');
    waitStill();
    EXPECT_TRUE(pixelIs(100, 10, 0x808000)) << "picture 1: the mist is gone";
    EXPECT_TRUE(pixelIs(100, 300, 0x80C0FF));
    press('6');
    waitStill();
    EXPECT_TRUE(pixelIs(100, 300, 0x808000)) << "picture 2: the clear scene";
}

TEST_F(GalleryTest, TheLeftSoftKeyReturnsToANewMainMenu)
{
    openFromMainMenu(0x1);
    press(kKeySoftLeft);
    ASSERT_TRUE(current<gamelib::MainMenu>());
    EXPECT_EQ(gamelib::MainMenu::STATE_OPENING, current<gamelib::MainMenu>()->state);
}

TEST_F(GalleryTest, ATapOnTheQuitButtonLeavesAndOneAboveItGoesBack)
{
    openFromMainMenu(0x3);
    steps(14);
    tap(5, 300);
    EXPECT_TRUE(current<Gallery>()) << "above the label height: a tap on the left half";
    EXPECT_EQ(1, gallery().current) << "previous from 0 wraps to 1";
    step();
    tap(5, 320 - shelltest::kFontHeight + 1);
    EXPECT_TRUE(current<gamelib::MainMenu>());
}

TEST_F(GalleryTest, WithoutTheButtonImageTheLabelsStillShowAndQuitStillWorks)
{
    std::map<std::string, std::string> data = pictures();
    data["graphics/button.png"] = "damaged";
    openFromMainMenu(0x1, data);
    EXPECT_TRUE(shows(0));
    steps(14);
    // "BACK" (24 pixels wide, 10 high) centred on the quit corner, 2 above the bottom.
    EXPECT_TRUE(pixelIs(gallery().buttonX - gallery().buttonWidth / 2, 315, shelltest::kGlyph));
    tap(2, 318);
    EXPECT_TRUE(current<gamelib::MainMenu>());
}

TEST_F(GalleryTest, AButtonImageThatCannotBeReadIsNamedOnTheErrorOutput)
{
    std::map<std::string, std::string> data = pictures();
    data["graphics/button.png"] = "damaged";
    gamelib::resetMissingReports(); // each name is reported once per run
    testsupport::StderrCapture stderrText;
    openFromMainMenu(0x1, data);
    const std::string out = stderrText.text();
    // The entry is there: it is damaged, not missing.
    EXPECT_NE(out.find("pallasterhorn: damaged: /graphics/button.png: cannot decode image\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("not found: image /graphics/button.png"), std::string::npos) << out;
    EXPECT_TRUE(shows(0));
}

class EmbeddingGame : public gamelib::GameInterface
{
  public:
    void update() override
    {
        if (!inner) {
            inner = new Gallery();
            inner->embedded = true;
            inner->start();
        }
        if (!inner->stopped) {
            inner->update();
            ++galleryUpdates;
        }
    }
    void paint() override
    {
        if (inner && !inner->stopped)
            inner->paint();
    }
    gallery::GalleryPtr inner;
    int galleryUpdates = 0;
};

TEST_F(GalleryTest, AnEmbeddedGalleryStopsInsteadOfLeavingTheGame)
{
    GameMenu::saveOption(u"openimgs", 0x4);
    startToMainMenu(pictures());
    qev::lang::DPtr<EmbeddingGame> game = new EmbeddingGame;
    gamelib::currentScreen = game;
    step();
    ASSERT_TRUE(game->inner);
    EXPECT_TRUE(shows(2));
    press(kKeySoftLeft);
    EXPECT_TRUE(game->inner->stopped);
    EXPECT_EQ(game.get(), gamelib::currentScreen.get()) << "the game stays current";
    EXPECT_EQ(0, gamelib::keySoftLeft) << "the key that left is consumed";
}

class GalleryUnlock : public shelltest::ShellTest
{
};

TEST_F(GalleryUnlock, UnlockingExtendsTheStoredMaskOnceAndOnlyForPictureNumbers)
{
    GameMenu::saveOption(u"openimgs", 1 << 3);
    Gallery::unlockPicture(5);
    EXPECT_EQ(1 << 3 | 1 << 5, GameMenu::loadOption(u"openimgs", 0))
        << "a run that never opened the gallery keeps the earlier pictures";
    GameMenu::saveOption(u"openimgs", 0);
    Gallery::unlockPicture(5);
    EXPECT_EQ(0, GameMenu::loadOption(u"openimgs", 0)) << "an unlocked picture is not saved again";
    Gallery::unlockPicture(24);
    Gallery::unlockPicture(-1);
    EXPECT_EQ(1 << 3 | 1 << 5, Gallery::unlockedMask());
    EXPECT_TRUE(Gallery::isUnlocked(3));
    EXPECT_FALSE(Gallery::isUnlocked(4));
    EXPECT_FALSE(Gallery::isUnlocked(24));
    EXPECT_FALSE(Gallery::isUnlocked(-1));
}

TEST_F(GalleryUnlock, NextUnlockedWrapsBothWaysAndAnswersOutOfRangeWithMinusOne)
{
    GameMenu::saveOption(u"openimgs", 1 << 0 | 1 << 10 | 1 << 23);
    EXPECT_EQ(10, Gallery::nextUnlocked(0, true));
    EXPECT_EQ(0, Gallery::nextUnlocked(23, true));
    EXPECT_EQ(23, Gallery::nextUnlocked(0, false));
    EXPECT_EQ(10, Gallery::nextUnlocked(23, false));
    EXPECT_EQ(0, Gallery::nextUnlocked(5, false)) << "a locked start is fine";
    EXPECT_EQ(10, Gallery::nextUnlocked(5, true));
    EXPECT_EQ(-1, Gallery::nextUnlocked(24, true));
    EXPECT_EQ(-1, Gallery::nextUnlocked(-1, false));
    Gallery::forgetMask();
    GameMenu::saveOption(u"openimgs", 1 << 6);
    EXPECT_EQ(6, Gallery::nextUnlocked(6, true)) << "alone it comes back to itself";
}

TEST_F(GalleryUnlock, IsUnlockedReadsTheStoreBeforeAnyGalleryOpened)
{
    GameMenu::saveOption(u"openimgs", 1 << 12);
    EXPECT_TRUE(Gallery::isUnlocked(12));
}

} // namespace
