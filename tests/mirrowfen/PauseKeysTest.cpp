// Both soft keys pause the game as the host delivers them (F1 the left one, F2 and Escape the
// right one), through the key map the game installs for play; outside play they do not.
#include "MirrowfenFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DImage.h"
#include "microedition/lcdui/DeviceKeys.h"

using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;

namespace mirrowfentest {

namespace {

using mirrowfen::gameState;
using mirrowfen::menuId;
using mirrowfen::STATE_INTRO;
using mirrowfen::STATE_MENU;
using mirrowfen::STATE_PLAYING;

class PauseKeysTest : public MirrowfenTest
{
  protected:
    // The key held down for one game step, then let go.
    void hold(int32_t code)
    {
        gamelib::screenCanvas->keyPressed(code);
        gameSteps(1);
        gamelib::screenCanvas->keyReleased(code);
        step();
    }
};

TEST_F(PauseKeysTest, EitherSoftKeyPausesPlayAndContinueResumes)
{
    startGame();
    play();
    for (int32_t code : {kKeySoftLeft, kKeySoftRight}) {
        ASSERT_EQ(STATE_PLAYING, gameState) << code;
        hold(code);
        EXPECT_EQ(STATE_MENU, gameState) << code;
        EXPECT_EQ(1, menuId) << code;
        choose(1);
        EXPECT_EQ(STATE_PLAYING, gameState) << code;
    }
}

TEST_F(PauseKeysTest, EveryPixelOfThePauseButtonPausesAndNoneBesideIt)
{
    startGame();
    play();
    gamelib::pauseImage = qev::microedition::lcdui::DImage::createImage(22, 22);
    // The button stands in the bottom-right corner: x 218 to 239, y 298 to 319.
    auto press = [this](int x, int y) {
        gamelib::screenCanvas->pointerPressed(x, y);
        gameSteps(1);
        gamelib::screenCanvas->pointerReleased(x, y);
        step();
    };
    press(217, 300);
    EXPECT_EQ(STATE_PLAYING, gameState) << "left of the button";
    press(230, 297);
    EXPECT_EQ(STATE_PLAYING, gameState) << "above the button";
    for (auto [x, y] : {std::pair{218, 310}, std::pair{230, 298}, std::pair{239, 319}}) {
        ASSERT_EQ(STATE_PLAYING, gameState);
        press(x, y);
        ASSERT_EQ(STATE_MENU, gameState) << x << "," << y;
        EXPECT_EQ(1, menuId);
        choose(1);
    }
}

TEST_F(PauseKeysTest, TheSoftKeysDoNotPauseTheLevelIntro)
{
    startGame();
    newGame();
    ASSERT_EQ(STATE_INTRO, gameState);
    hold(kKeySoftRight);
    EXPECT_NE(STATE_MENU, gameState);
    hold(kKeySoftLeft);
    EXPECT_NE(STATE_MENU, gameState);
}

} // namespace

} // namespace mirrowfentest
