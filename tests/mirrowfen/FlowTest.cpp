// The game's states: the menu, the level intro into play, pause and continue, a cleared level
// with its picture, game over into the highscore table, the bounds option and the level jump.
#include "MirrowfenFixture.h"

#include "gallery/Gallery.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"

using namespace mirrowfen;
using gamelib::GameMenu;

namespace mirrowfentest {

namespace {

class FlowTest : public MirrowfenTest
{
  protected:
    // Clears the field, waits out the level-cleared countdown and holds a key down for the
    // step that leaves the state.
    void clearLevelAndPressAKey()
    {
        clearField();
        gameSteps(1);
        ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
        gameSteps(31);
        gamelib::anyKey = 1;
        gameSteps(1);
        gamelib::anyKey = 0;
    }
};

TEST_F(FlowTest, StartShowsTheMenuAndANewGameCountsItsIntroIntoPlay)
{
    startGame();
    EXPECT_EQ(STATE_MENU, gameState);
    ASSERT_TRUE(game().menu->lines);
    EXPECT_EQ(10, game().menu->lines->length);
    EXPECT_EQ("WRAP", gamelibtest::ascii((*game().menu->lines)[7]));

    newGame();
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(1, currentLevel);
    EXPECT_EQ(3, ship().lives);
    EXPECT_EQ(0, game().score);
    ASSERT_EQ(1, game().ufos->length) << "level 1 has one small saucer";
    EXPECT_EQ(FlyingO::KIND_SMALL_UFO, (*game().ufos)[0]->kind);

    // Ten game steps of intro (three frames each), then play.
    const int x = (*game().ufos)[0]->x;
    gameSteps(9);
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(x, (*game().ufos)[0]->x) << "nothing moves during the intro";
    gameSteps(3);
    EXPECT_EQ(STATE_PLAYING, gameState);
}

TEST_F(FlowTest, TheMainMenuStartsTheGameOfItsSecondEntry)
{
    shelltest::putGame(1, gameEntry);
    startToMainMenu(gameArchive({}));
    auto idle = [this] {
        for (int i = 0; i < 80 && current<gamelib::MainMenu>() &&
                        current<gamelib::MainMenu>()->state != gamelib::MainMenu::STATE_IDLE;
             ++i)
            step();
    };
    idle();
    press('8');
    idle();
    press('5');
    steps(90);
    Mirrowfen* started = current<Mirrowfen>();
    ASSERT_TRUE(started);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_TRUE(mirrowfen::ship) << "started: the ship is made";
}

TEST_F(FlowTest, GameStepsRunOnEveryThirdFrame)
{
    startGame();
    play();
    parkShip(120, 160);
    clearField();
    addRock(0, 50, 50, 1, 0, 3);
    const int x0 = (*game().rocks)[0]->x;
    steps(30);
    EXPECT_EQ(x0 + 10, (*game().rocks)[0]->x);
}

TEST_F(FlowTest, PauseOpensThePauseMenuAndContinueResumes)
{
    startGame();
    play();
    gamelib::screenCanvas->keyPressed(-4);
    steps(2);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(1, menuId);
    choose(1);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_EQ(1, currentLevel);
}

TEST_F(FlowTest, ContinueFromTheMainMenuStartsANewGame)
{
    startGame();
    choose(1);
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(1, currentLevel);
}

TEST_F(FlowTest, TheBoundsOptionTogglesAndIsSaved)
{
    startGame();
    EXPECT_EQ(0, boundsOn);
    choose(7);
    EXPECT_EQ(1, boundsOn);
    EXPECT_EQ("BOUNCE", gamelibtest::ascii((*game().menu->lines)[7]));
    EXPECT_EQ(1, GameMenu::loadOption(u"mirrowfenB", 0));
    choose(7);
    EXPECT_EQ(0, boundsOn);
    EXPECT_EQ(0, GameMenu::loadOption(u"mirrowfenB", 1));
}

TEST_F(FlowTest, TheEffectsLevelCyclesAndIsSavedAtOnce)
{
    startGame();
    const int start = gamelib::getSfxLevel();
    for (int i = 1; i <= 4; ++i) {
        choose(5);
        const int expected = (start + i) % 4;
        EXPECT_EQ(expected, gamelib::getSfxLevel());
        EXPECT_EQ(expected, GameMenu::loadOption(u"mirrowfensfx_level", -1));
    }
}

TEST_F(FlowTest, AClearedLevelUnlocksItsPictureAndStartsTheNextAfterAKey)
{
    startGame();
    play();
    clearField();
    ship().lives = 2;
    gameSteps(1);
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    EXPECT_FALSE(gallery::Gallery::isUnlocked(14));
    gameSteps(32);
    EXPECT_EQ(STATE_LEVEL_CLEARED, gameState) << "waits for a key";
    gamelib::anyKey = 1;
    gameSteps(1);
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(2, currentLevel);
    EXPECT_TRUE(gallery::Gallery::isUnlocked(14));
    EXPECT_EQ(2, ship().lives) << "lives are kept";
    EXPECT_EQ(2, game().ufos->length);
}

TEST_F(FlowTest, ClearingTheLastLevelUnlocksNothingAndEndsTheGame)
{
    startGame();
    play();
    currentLevel = 20;
    clearLevelAndPressAKey();
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(0, gallery::Gallery::unlockedMask() & (0x1F << 14));
}

TEST_F(FlowTest, GameOverWithAHighscoreAsksForANameAndStoresIt)
{
    startGame();
    play();
    game().score = 999999;
    ship().lives = 0;
    gameSteps(1);
    ASSERT_EQ(STATE_GAME_OVER, gameState);
    gameSteps(32);
    ASSERT_EQ(STATE_MENU, gameState);
    ASSERT_EQ(GameMenu::STATE_NAME_ENTRY, game().menu->state);
    GameMenu::enteredName = u"ACE";
    GameMenu::nameReady = 1;
    step();
    EXPECT_EQ(3, menuId) << "the highscore table shows";
    EXPECT_EQ(0, game().score);

    const std::vector<std::string> stored = shelltest::storedTable(u"mirrowfenhs1");
    ASSERT_EQ(8u, stored.size());
    EXPECT_EQ("ACE 999999", stored[0]);
}

TEST_F(FlowTest, GameOverWithoutAHighscoreReturnsToTheMenu)
{
    startGame();
    play();
    game().score = 0;
    ship().lives = 0;
    gameSteps(34);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(GameMenu::STATE_LIST, game().menu->state);
    EXPECT_EQ(0, menuId);
    EXPECT_EQ(1, currentLevel);
}

TEST_F(FlowTest, TheLevelJumpTakesAnyTwoDigitLevel)
{
    startGame();
    play();
    ship().lives = 2;
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 7;
    gameSteps(1);
    EXPECT_EQ(0, gamelib::levelJumpFlag);
    EXPECT_EQ(7, currentLevel);
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(2, ship().lives);
    EXPECT_EQ(3, game().ufos->length) << "level 7: one of each kind";

    // Two digits past the last level make a level too; negative numbers and the larger ones
    // only other keys than digits can make are refused.
    for (int bad : {-3, 100, 9436}) {
        gamelib::levelJumpFlag = 1;
        gamelib::levelJumpNumber = bad;
        gameSteps(1);
        EXPECT_EQ(0, gamelib::levelJumpFlag) << bad;
        EXPECT_EQ(7, currentLevel) << bad;
    }
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 99;
    gameSteps(1);
    EXPECT_EQ(99, currentLevel);
    EXPECT_EQ(STATE_INTRO, gameState);
    EXPECT_EQ(3 + 16 + 11, game().ufos->length) << "level 99's saucers";
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 21;
    gameSteps(1);
    EXPECT_EQ(21, currentLevel);
    EXPECT_EQ(2, ship().lives);
    // Clearing a level past the last leads to the next one, not to the highscore road.
    gameSteps(12);
    ASSERT_EQ(STATE_PLAYING, gameState);
    clearLevelAndPressAKey();
    EXPECT_EQ(22, currentLevel);
    EXPECT_EQ(STATE_INTRO, gameState);

    EXPECT_EQ(0, noDamage);
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 0;
    gameSteps(1);
    EXPECT_EQ(1, noDamage);
    EXPECT_EQ(22, currentLevel);
}

TEST_F(FlowTest, TheLoadingBarFillsStepByStepToItsEnd)
{
    startToMainMenu(gameArchive({}));
    gamelib::currentScreen->stop();
    gamelib::GameInterfacePtr made = makeMirrowfen();
    gamelib::currentScreen = made;
    made->start();
    // What the last flush of loading shows: the bar's frame at (66, 280), 108 x 10, filled in
    // red from x = 68 over 104 pixels when every loading step has advanced it.
    EXPECT_TRUE(pixelIs(66, 285, 0xFFFFFF));
    EXPECT_TRUE(pixelIs(68, 284, 0xFF0000));
    EXPECT_TRUE(pixelIs(68 + 103, 284, 0xFF0000));
    EXPECT_TRUE(pixelIs(66 + 108, 285, 0xFFFFFF));
}

TEST_F(FlowTest, TheHighscoreTableClosesByAKeyAsSoonAsTheMenuTakesOne)
{
    startGame();
    choose(3);
    ASSERT_EQ(3, menuId);
    // The choosing key was taken 25 ms ago; the next key counts after 200 ms.
    steps(7);
    press('5');
    EXPECT_EQ(0, menuId);
    EXPECT_EQ(GameMenu::STATE_LIST, game().menu->state);
}

TEST_F(FlowTest, TheNextLevelsIntroRunsElevenStepsFromTheKeyThatStartsIt)
{
    startGame();
    play();
    clearField();
    gameSteps(1);
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    gameSteps(31);
    gamelib::anyKey = 1;
    int frames = 0;
    while (gameState == STATE_LEVEL_CLEARED && frames < 10) {
        step();
        ++frames;
    }
    ASSERT_EQ(STATE_INTRO, gameState);
    gamelib::anyKey = 0;
    // Ten steps of countdown, then the step that starts play: three frames each.
    frames = 0;
    while (gameState == STATE_INTRO && frames < 100) {
        step();
        ++frames;
    }
    EXPECT_EQ(33, frames);
    EXPECT_EQ(STATE_PLAYING, gameState);
}

TEST_F(FlowTest, HelpAndHighscoresOpenFromTheMenuAndLeadBack)
{
    startGame();
    choose(4);
    EXPECT_EQ(2, menuId);
    EXPECT_EQ(GameMenu::STATE_TEXT, game().menu->state);
    steps(10);
    gamelib::keySoftLeft = 1;
    steps(2);
    EXPECT_EQ(0, menuId);
    EXPECT_EQ(GameMenu::STATE_LIST, game().menu->state);
    ASSERT_TRUE(game().menu->lines);
    EXPECT_EQ(10, game().menu->lines->length);

    choose(3);
    EXPECT_EQ(3, menuId);
    EXPECT_EQ(GameMenu::STATE_HIGHSCORES, game().menu->state);
    steps(10);
    gamelib::keySoftLeft = 1;
    steps(2);
    EXPECT_EQ(0, menuId);
    EXPECT_EQ(GameMenu::STATE_LIST, game().menu->state);
}

TEST_F(FlowTest, TheGalleryOpensFromTheMenuAndReturnsToIt)
{
    startGame();
    choose(2);
    EXPECT_EQ(STATE_GALLERY, gameState);
    ASSERT_TRUE(game().gallery);
    steps(5);
    game().gallery->stop();
    step();
    EXPECT_EQ(STATE_MENU, gameState);
    choose(2);
    EXPECT_EQ(STATE_GALLERY, gameState) << "opens again";
}

TEST_F(FlowTest, TheKeyDialogOpensFromTheMenu)
{
    startGame();
    ASSERT_TRUE(keyConfig);
    choose(8);
    EXPECT_EQ(STATE_KEYS, gameState);
    steps(5);
    EXPECT_EQ(STATE_KEYS, gameState) << "waits for the player";
    keyConfig = nullptr;
    step();
    EXPECT_EQ(STATE_MENU, gameState);
}

TEST_F(FlowTest, ExitLeavesForTheShellsMainMenu)
{
    startGame();
    choose(9);
    EXPECT_TRUE(current<gamelib::MainMenu>());
    EXPECT_FALSE(mirrowfen::ship) << "the game released its objects";
    steps(5);
}

TEST_F(FlowTest, TheRightSoftKeyFiresAndPauses)
{
    startGame();
    play();
    game().stepsSinceShot = 10;
    gamelib::keySoftRight = 1;
    gameSteps(1);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(1, menuId);
    EXPECT_EQ(1, game().shotCount);
}

TEST_F(FlowTest, TheLevelJumpKeysReachTheGameAndNegativeNumbersAreIgnored)
{
    startGame();
    play();
    noDamage = 1; // the field plays on meanwhile
    auto enter = [this](int32_t a, int32_t b) {
        for (int32_t code : {10003, 10004, 10003, a, b})
            press(code);
        gameSteps(1);
    };
    enter('0', '9');
    EXPECT_EQ(9, currentLevel);
    EXPECT_EQ(STATE_INTRO, gameState);
    gameSteps(12);
    ASSERT_EQ(STATE_PLAYING, gameState);
    // A key that is no digit makes a negative number.
    enter('*', '5');
    EXPECT_EQ(9, currentLevel);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_EQ(0, gamelib::levelJumpFlag);
    enter('2', '4');
    EXPECT_EQ(24, currentLevel) << "past the last level";
    EXPECT_EQ(STATE_INTRO, gameState);
}

TEST_F(FlowTest, TheIntroCaptionAndHudShow)
{
    startGame();
    newGame();
    steps(3);
    // Panels at the top corners.
    EXPECT_TRUE(pixelIs(2, 2, kPanelColour));
    EXPECT_TRUE(pixelIs(240 - 2, 2, kPanelColour));
    // The caption "**LEVEL 1**" in the block font (capitals only): its glyphs stand on the
    // centre line.
    EXPECT_TRUE(pixelIs(120, 155, shelltest::kGlyph));
    EXPECT_FALSE(pixelIs(120, 165, shelltest::kGlyph));
    gameSteps(12);
    ASSERT_EQ(STATE_PLAYING, gameState);
    EXPECT_FALSE(pixelIs(120, 155, shelltest::kGlyph)) << "no caption in play";
}

TEST_F(FlowTest, TheStarsShowInThreeLayersOfColour)
{
    startGame();
    play();
    clearField();
    steps(1);
    // Layer k holds the stars 50k to 50k + 49, each layer in its own colour.
    int found[3] = {};
    const uint32_t colours[3] = {0xAFAFAF, 0x00AFFF, 0x0000FF};
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            for (int k = 0; k < 3; ++k)
                found[k] += pixelIs(x, y, colours[k]);
    for (int k = 0; k < 3; ++k)
        EXPECT_GT(found[k], 10) << "layer " << k;
}

} // namespace

} // namespace mirrowfentest
