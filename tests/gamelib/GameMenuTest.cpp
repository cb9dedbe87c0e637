// The game menu's item list and highscore table through a screen that owns one: painting, the
// 200 ms gate, wrap and scroll, strict hit boxes and arrows, shading and the level texts.
#include "MenuOwnerFixture.h"

#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "microedition/lcdui/DeviceKeys.h"

using qev::microedition::lcdui::kKeySoftLeft;

using gamelib::GameMenu;
using namespace menutest;

namespace {

constexpr int32_t kFire = '5';
constexpr int32_t kUp = '2';
constexpr int32_t kDown = '8';
constexpr int kCentre = 120;
// Rows: the first top at border + top + 4, then every 18 pixels.
int rowTop(int k)
{
    return 31 + 18 * k;
}

class GameMenuTest : public MenuOwnerTest
{
  protected:
    void SetUp() override
    {
        startOwner();
        steps(9); // past the gate that loading the menu images started
    }
    // The row k shows the selected item (selection font) or an unselected one (menu font).
    bool rowSelected(int k) { return pixelIs(kCentre, rowTop(k) + 2, kMenuSelColour); }
    bool rowPlain(int k) { return pixelIs(kCentre, rowTop(k) + 2, kMenuColour); }
};

TEST_F(GameMenuTest, ListShowsTheBoxTheSelectedItemAndTheOthers)
{
    showItems(3);
    step();
    EXPECT_EQ(15, menu->visible) << "(320 - 40 - 4) / 18 rows fit";
    // Frame and box: margin 30, top 25.
    EXPECT_TRUE(pixelIs(30, 25, 0x000000));
    EXPECT_TRUE(pixelIs(33, 28, 0xFFFFFF));
    EXPECT_TRUE(pixelIs(10, 100, 0xF6B708)) << "background colour outside the box";
    EXPECT_TRUE(rowSelected(0));
    EXPECT_TRUE(rowPlain(1));
    EXPECT_TRUE(rowPlain(2));
    EXPECT_TRUE(pixelIs(kCentre, rowTop(3) + 2, 0xFFFFFF)) << "no fourth row";
    // No arrows while everything fits.
    EXPECT_TRUE(pixelIs(kCentre, 18, 0xF6B708));
    press(kDown);
    EXPECT_TRUE(rowPlain(0));
    EXPECT_TRUE(rowSelected(1));
    EXPECT_TRUE(owner->choices.empty());
}

TEST_F(GameMenuTest, UpOnTheFirstItemWrapsToTheLastAsTheBottomRowAndDownReturns)
{
    showItems(20);
    step();
    press(kUp);
    EXPECT_EQ(19, menu->selected);
    EXPECT_EQ(5, menu->first) << "the last item is the bottom row";
    EXPECT_TRUE(rowSelected(14));
    steps(8);
    press(kDown);
    EXPECT_EQ(0, menu->selected);
    EXPECT_EQ(0, menu->first);
    EXPECT_TRUE(rowSelected(0));
    // Walking down scrolls one row once the selection leaves the box.
    steps(8);
    for (int i = 0; i < 15; ++i)
        pressGated(kDown);
    EXPECT_EQ(15, menu->selected);
    EXPECT_EQ(1, menu->first);
    EXPECT_TRUE(rowSelected(14));
}

TEST_F(GameMenuTest, ListArrowsShowAlwaysAndTheTableArrowsHideAtTheEnds)
{
    showItems(20);
    step();
    // Arrow up ends 2 above the box, arrow down starts at its bottom (25 + 280).
    EXPECT_TRUE(pixelIs(kCentre, 18, kArrowColour));
    EXPECT_TRUE(pixelIs(kCentre, 308, kArrowColour));

    menu->setHighscores(menu->lines, new qev::lang::DintArray(20));
    menu->state = GameMenu::STATE_HIGHSCORES;
    menu->first = 0;
    step();
    EXPECT_FALSE(pixelIs(kCentre, 18, kArrowColour)) << "the table's top is shown";
    EXPECT_TRUE(pixelIs(kCentre, 308, kArrowColour));
    for (int i = 0; i < 8; ++i)
        pressGated(kDown);
    EXPECT_EQ(5, menu->first) << "the table stops at count - visible";
    EXPECT_TRUE(pixelIs(kCentre, 18, kArrowColour));
    EXPECT_FALSE(pixelIs(kCentre, 308, kArrowColour)) << "the table's end is shown";
}

TEST_F(GameMenuTest, PressesWithinTheGateCountOnceAndAHeldKeyRepeatsEvery200Ms)
{
    showItems(3);
    step();
    press(kFire);
    steps(4); // the next press comes 150 ms after the first
    press(kFire);
    ASSERT_EQ(1u, owner->choices.size()) << "presses 150 ms apart give one choice";
    steps(6); // 250 ms after the last handled one
    press(kFire);
    EXPECT_EQ(2u, owner->choices.size());

    steps(9);
    gamelib::screenCanvas->keyPressed(kDown);
    steps(19); // 475 ms held: moves at 0, 225 and 450 ms
    gamelib::screenCanvas->keyReleased(kDown);
    step();
    EXPECT_EQ(0, menu->selected) << "three moves wrap over three items";
    steps(9);
    press(kDown);
    EXPECT_EQ(1, menu->selected);
}

TEST_F(GameMenuTest, TapsSelectOnlyStrictlyInsideAnItemsBox)
{
    showItems(3);
    step();
    // "ITEM1" is 5 glyphs of 6 pixels centred on 120: 105..135; its band rowTop + 1 .. + 17.
    const int y = rowTop(1) + 5;
    tap(105, y);
    tap(kCentre, rowTop(1) + 1);
    tap(135, y);
    EXPECT_TRUE(owner->choices.empty()) << "taps on the edges select nothing";
    EXPECT_EQ(0, menu->selected);
    steps(9);
    tap(106, y);
    ASSERT_EQ(1u, owner->choices.size());
    EXPECT_EQ(1, owner->choices[0]);
    EXPECT_TRUE(rowSelected(1));
    EXPECT_FALSE(menu->closed);
    steps(9);
    tap(kCentre, rowTop(2) + 16);
    ASSERT_EQ(2u, owner->choices.size());
    EXPECT_EQ(2, owner->choices[1]);
    EXPECT_TRUE(menu->closed) << "the last item closes the menu";
}

TEST_F(GameMenuTest, ArrowTapsMoveLikeTheKeys)
{
    showItems(20);
    step();
    tap(kCentre, 20); // arrow up: 15 < y < 23
    EXPECT_EQ(19, menu->selected);
    steps(9);
    tap(kCentre, 310); // arrow down: 307 < y < 315
    EXPECT_EQ(0, menu->selected);
    EXPECT_TRUE(owner->choices.empty());
}

TEST_F(GameMenuTest, AnEmptyListHasNoSelectionAndIsNeverChosen)
{
    menu->setItems(new qev::lang::DStringArray(0));
    step();
    press(kFire);
    pressGated(kUp);
    pressGated(kDown);
    tap(kCentre, rowTop(0) + 5);
    EXPECT_TRUE(owner->choices.empty());
    EXPECT_EQ(0, menu->selected);
    EXPECT_FALSE(menu->closed);
    EXPECT_TRUE(pixelIs(kCentre, rowTop(0) + 2, 0xFFFFFF)) << "an empty box";

    menu->setItems(nullptr);
    pressGated(kFire);
    EXPECT_TRUE(owner->choices.empty()) << "no list at all is no choice either";
}

TEST_F(GameMenuTest, ASingleItemStaysSelectedAndChoosingItCloses)
{
    showItems(1);
    press(kUp);
    pressGated(kDown);
    EXPECT_EQ(0, menu->selected);
    steps(8);
    press(kFire);
    ASSERT_EQ(1u, owner->choices.size());
    EXPECT_TRUE(menu->closed);
}

TEST_F(GameMenuTest, TheTableClosesOnFireOnTheLeftSoftKeyAndOnAnyTap)
{
    menu->loadHighscores(1, u"testgame");
    menu->state = GameMenu::STATE_HIGHSCORES;
    press(kFire);
    EXPECT_TRUE(menu->closed);
    menu->closed = 0;
    steps(8);
    press(kKeySoftLeft);
    EXPECT_TRUE(menu->closed);
    menu->closed = 0;
    steps(8);
    tap(3, 3);
    EXPECT_TRUE(menu->closed);
}

TEST_F(GameMenuTest, ABackgroundIsShadedBetweenTheMarginsAndReplacesTheBox)
{
    showItems(1);
    menu->setBackground(qev::microedition::lcdui::DImage::createImage(u"/graphics/pause.png"),
                        -128);
    EXPECT_EQ(8, menu->background->getWidth()) << "a copy of the picture";
    EXPECT_FALSE(menu->box);
    EXPECT_EQ(30, menu->margin) << "only level -161 halves the margin";
    qev::microedition::lcdui::DImagePtr grey =
        qev::microedition::lcdui::DImage::createImage(240, 10);
    {
        auto g = grey->getGraphics();
        g->setColor(0x808080);
        g->fillRect(0, 0, 240, 10);
    }
    qev::microedition::lcdui::DImagePtr shaded = GameMenu::createShadeImage(grey, -128, 30, 209);
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(shaded, 29, 5)) << "outside the band";
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(shaded, 210, 5));
    EXPECT_LT(gamelibtest::pixelAt(shaded, 30, 5), rgb565(0x606060)) << "darkened";
    EXPECT_LT(gamelibtest::pixelAt(shaded, 209, 5), rgb565(0x606060));
    qev::microedition::lcdui::DImagePtr light = GameMenu::createShadeImage(grey, 128, 0, 239);
    EXPECT_GT(gamelibtest::pixelAt(light, 0, 0), rgb565(0xA0A0A0)) << "lightened";
    EXPECT_EQ(rgb565(0x808080), gamelibtest::pixelAt(grey, 100, 5)) << "the source is unchanged";

    // On screen: the shaded picture instead of the box; -161 halves the margin first.
    menu->margin = 30;
    menu->setBackground(grey, -161);
    EXPECT_EQ(15, menu->margin);
    step();
    EXPECT_FALSE(pixelIs(30, 160, 0x000000)) << "no box frame";
}

TEST_F(GameMenuTest, APictureSmallerThanTheScreenIsFramedInBlackNotInTheScreenBefore)
{
    // A 176x220 screen shows the pictures of the 176x208 set: six rows above and below stay
    // uncovered.
    showItems(1);
    step();
    EXPECT_TRUE(pixelIs(120, 5, 0xF6B708)) << "without a picture the menu's colour fills all";
    qev::microedition::lcdui::DImagePtr picture =
        qev::microedition::lcdui::DImage::createImage(240, 308);
    {
        auto g = picture->getGraphics();
        g->setColor(0x808080);
        g->fillRect(0, 0, 240, 308);
    }
    menu->background = picture;
    step();
    EXPECT_TRUE(pixelIs(120, 5, 0x000000));
    EXPECT_TRUE(pixelIs(120, 316, 0x000000));
    EXPECT_TRUE(pixelIs(5, 6, 0x808080)) << "the picture, centred";
    EXPECT_TRUE(pixelIs(5, 313, 0x808080));
}

TEST_F(GameMenuTest, LevelTextsAndKeys)
{
    EXPECT_EQ("Quiet", gamelibtest::ascii(GameMenu::getSfxLevelText(1)));
    EXPECT_EQ("Loud", gamelibtest::ascii(GameMenu::getMusicLevelText(3)));
    EXPECT_EQ("soundfxnormal", gamelibtest::ascii(GameMenu::getSfxLevelText(2)))
        << "a missing text falls back to its key";
    EXPECT_EQ("musicoff", gamelibtest::ascii(GameMenu::getMusicLevelKey(0)));
    EXPECT_EQ("", gamelibtest::ascii(GameMenu::getSfxLevelKey(4)));
    EXPECT_EQ("", gamelibtest::ascii(GameMenu::getMusicLevelText(-1)));
}

TEST_F(GameMenuTest, ALevelItemStepsTheLevelRoundAppliesItAndSavesIt)
{
    gamelib::setSfxLevel(2);
    const char* const sfxTexts[] = {"soundfxhigh", "soundfxoff", "Quiet", "soundfxnormal"};
    for (int i = 0; i < 4; ++i) {
        const int32_t level = (3 + i) % 4;
        EXPECT_EQ(sfxTexts[i], gamelibtest::ascii(GameMenu::advanceSfxLevel(u"gamesfx_level")));
        EXPECT_EQ(level, gamelib::getSfxLevel());
        EXPECT_EQ(level, GameMenu::loadOption(u"gamesfx_level", -1));
    }
    gamelib::setMusicLevel(2);
    EXPECT_EQ("Loud", gamelibtest::ascii(GameMenu::advanceMusicLevel(u"gamemusic_level")));
    EXPECT_EQ(3, gamelib::getMusicLevel());
    EXPECT_EQ(3, GameMenu::loadOption(u"gamemusic_level", -1));
    EXPECT_EQ(2, gamelib::getSfxLevel()) << "the music item leaves the effects alone";
    EXPECT_EQ("musicoff", gamelibtest::ascii(GameMenu::advanceMusicLevel(u"gamemusic_level")));
    EXPECT_EQ(0, GameMenu::loadOption(u"gamemusic_level", -1));
}

TEST_F(GameMenuTest, StateZeroReReadsTheScreenSizeAndReturnsToTheList)
{
    showItems(2);
    menu->state = GameMenu::STATE_RESIZE;
    gamelib::screenWidth = 1;
    step();
    EXPECT_EQ(GameMenu::STATE_LIST, menu->state);
    EXPECT_EQ(240, gamelib::screenWidth);
    step();
    EXPECT_TRUE(rowSelected(0));
}

} // namespace
