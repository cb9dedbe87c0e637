// Both soft keys pause the game as the host delivers them (F1 the left one, F2 and Escape the
// right one), through the key map the game installs for play; outside play they do not.
#include "MirrowfenFixture.h"

#include "gamelib/ScreenCanvas.h"

namespace mirrowfentest {

namespace {

using mirrowfen::gameState;
using mirrowfen::menuId;
using mirrowfen::STATE_INTRO;
using mirrowfen::STATE_MENU;
using mirrowfen::STATE_PLAYING;

constexpr int32_t kSoftLeft = 10000;
constexpr int32_t kSoftRight = 10001;

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
    for (int32_t code : {kSoftLeft, kSoftRight}) {
        ASSERT_EQ(STATE_PLAYING, gameState) << code;
        hold(code);
        EXPECT_EQ(STATE_MENU, gameState) << code;
        EXPECT_EQ(1, menuId) << code;
        choose(1);
        EXPECT_EQ(STATE_PLAYING, gameState) << code;
    }
}

TEST_F(PauseKeysTest, TheSoftKeysDoNotPauseTheLevelIntro)
{
    startGame();
    newGame();
    ASSERT_EQ(STATE_INTRO, gameState);
    hold(kSoftRight);
    EXPECT_NE(STATE_MENU, gameState);
    hold(kSoftLeft);
    EXPECT_NE(STATE_MENU, gameState);
}

} // namespace

} // namespace mirrowfentest
