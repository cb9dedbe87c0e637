// The screen's states: menu, intro, pause and continue, sound levels, and what the play field
// shows.
#include "CorvantineFixture.h"

#include "GamelibTestSupport.h"

#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"

namespace corvtest {
namespace {

using namespace corvantine;

TEST_F(CorvantineTest, StartShowsTheMenuAndANewGameBeginsWithTheIntro)
{
    startGame();
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_EQ(shipX, 120);
    EXPECT_EQ(shipTop, 320 - kFlameH - kShipH);
    newGame();
    EXPECT_EQ(level, 1);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(gameState, STATE_INTRO);
    // 2000 ms of intro at 25 ms a step, then the step that leaves it (the key's release ran
    // the first of them).
    int intro = 1;
    while (gameState == STATE_INTRO && intro < 200) {
        step();
        ++intro;
    }
    EXPECT_EQ(intro, 81);
    EXPECT_EQ(gameState, STATE_PLAYING);
}

TEST_F(CorvantineTest, ContinueWithoutAPausedGameStartsANewOne)
{
    startGame();
    menuPress(key(1));
    ASSERT_EQ(gameMenu->selected, 1);
    menuPress(key(4));
    EXPECT_EQ(gameState, STATE_INTRO);
    EXPECT_EQ(level, 1);
}

TEST_F(CorvantineTest, PauseKeepsTheLevelAndContinueResumesIt)
{
    startGame();
    newGame();
    toPlay();
    level = 3;
    steps(10);
    const int32_t sway = swayOffset;
    gamelib::keySoftLeft = 1;
    step();
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_PAUSED);
    // The rest of the pausing step still ran: the formation moved once more.
    EXPECT_EQ(swayOffset, sway - 1);
    const int32_t x = ship(4, 0).x;
    steps(5);
    EXPECT_EQ(swayOffset, sway - 1);
    EXPECT_EQ(ship(4, 0).x, x);
    menuPress(key(1));
    steps(9);
    gamelib::screenCanvas->keyPressed(key(4));
    step();
    EXPECT_EQ(gameState, STATE_PLAYING);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(swayOffset, sway - 1);
    step();
    EXPECT_EQ(swayOffset, sway - 2);
}

TEST_F(CorvantineTest, SoundLevelCyclesThroughFourLevelsAndIsStored)
{
    startGame();
    // The start-up question answered "no sound": every game's effects are off.
    ASSERT_EQ(gamelib::getSfxLevel(), 0);
    for (int i = 0; i < 5; ++i)
        menuPress(key(1));
    ASSERT_EQ(gameMenu->selected, 5);
    const int expected[5] = {1, 2, 3, 0, 1};
    for (int e : expected) {
        menuPress(key(4));
        EXPECT_EQ(gamelib::getSfxLevel(), e);
        EXPECT_EQ(gamelib::GameMenu::loadOption(u"corvantinesfx_level", -5), e);
        // The item shows the new level's text (the fixture's texts have none: the key).
        EXPECT_EQ(gamelibtest::ascii((*gameMenu->lines)[5]),
                  gamelibtest::ascii(gamelib::GameMenu::getSfxLevelKey(e)));
    }
}

TEST_F(CorvantineTest, StatusLineShowsALevelPicturePerLevelAndALifePicturePerShip)
{
    startGame();
    newGame();
    level = 3;
    toPlay();
    step();
    using shelltest::rgb565;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pixelIs(240 - i * kLevelW - 2, 4, kLevelColour)) << i;
    EXPECT_FALSE(pixelIs(240 - 3 * kLevelW - 2, 4, kLevelColour));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pixelIs(240 - i * kLifeW - 3, kLevelH + 3, kLifeColour)) << i;
    EXPECT_FALSE(pixelIs(240 - 4 * kLifeW - 3, kLevelH + 3, kLifeColour));
    // The ship at the bottom centre.
    EXPECT_TRUE(pixelIs(120, shipTop + kShipH / 2, kShipColour));
}

TEST_F(CorvantineTest, TheIntroShowsOneShipPerLifeOnBlack)
{
    startGame();
    newGame();
    step();
    EXPECT_TRUE(pixelIs(2, 2, 0x000000));
    const int step = kShipW + 3;
    const int x0 = (240 - 4 * step) / 2;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pixelIs(x0 + i * step + 8, 160 + 3 + 6, kShipColour)) << i;
    EXPECT_FALSE(pixelIs(x0 + 4 * step + 8, 160 + 3 + 6, kShipColour));
}

} // namespace
} // namespace corvtest

namespace corvtest {
namespace {

using namespace corvantine;

TEST_F(CorvantineTest, AQualifyingScoreTakesANameThatTheTableKeeps)
{
    startGame();
    newGame();
    toPlay();
    score = 700;
    lives = 0;
    Corvantine::loseLife();
    while (gameState != STATE_MENU)
        step();
    ASSERT_EQ(gameMenu->state, gamelib::GameMenu::STATE_NAME_ENTRY);
    // While the name is typed the stored table gains an entry (another table saved it): the
    // entry goes into the stored table, which keeps both.
    gamelib::GameMenuPtr other = new gamelib::GameMenu();
    other->loadHighscores(1, gamelib::corvantineName);
    other->insertHighscore(u"NEW", 900);
    other->saveHighscores(1, gamelib::corvantineName);
    gamelib::GameMenu::nameReady = 1;
    gamelib::GameMenu::enteredName = u"ACE";
    step();
    EXPECT_EQ(menuMode, MODE_HIGHSCORES);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_HIGHSCORES);
    EXPECT_EQ(gamelibtest::ascii((*gameMenu->lines)[1]), "ACE");
    EXPECT_EQ((*gameMenu->scores)[1], 700);
    // Stored in the store of table 1; no store of another number is made.
    const std::vector<std::string> table = shelltest::storedTable(u"corvantinehs1");
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[0], "NEW 900");
    EXPECT_EQ(table[1], "ACE 700");
    EXPECT_EQ(shelltest::storedTable(u"corvantinehs0"), std::vector<std::string>{"<no store>"});
}

#ifdef PH_OLD_RECORDS_FILE
TEST_F(CorvantineTest, ATableKeptUnderTheEarlierStoreNameIsTakenOver)
{
    // Records of a player whose table was saved under the number 0.
    useRecordsFile(PH_OLD_RECORDS_FILE);
    const std::vector<std::string> earlier = shelltest::storedTable(u"corvantinehs0");
    ASSERT_EQ(earlier.at(0), "ACE 700");
    ASSERT_EQ(earlier.at(1), "BOB 300");
    startGame();
    EXPECT_EQ(shelltest::storedTable(u"corvantinehs1"), earlier);
    for (int i = 0; i < 3; ++i)
        menuPress(key(1));
    menuPress(key(4));
    ASSERT_EQ(menuMode, MODE_HIGHSCORES);
    EXPECT_EQ(gamelibtest::ascii((*gameMenu->lines)[0]), "ACE");
    EXPECT_EQ(gamelibtest::ascii((*gameMenu->lines)[1]), "BOB");
    EXPECT_EQ((*gameMenu->scores)[1], 300);
    EXPECT_EQ(shelltest::storedTable(u"corvantinehs0"), earlier) << "left as it was";
}
#endif

TEST_F(CorvantineTest, GalleryOpensFromTheMenuAndReturnsToIt)
{
    startGame();
    menuPress(key(1));
    menuPress(key(1));
    menuPress(key(4));
    ASSERT_EQ(gameState, STATE_GALLERY);
    ASSERT_TRUE(game()->gallery);
    EXPECT_TRUE(game()->gallery->embedded);
    steps(10);
    gamelib::keySoftLeft = 1;
    step();
    gamelib::keySoftLeft = 0;
    steps(2);
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_TRUE(current<Corvantine>());
}

TEST_F(CorvantineTest, HelpAndHighscoresReturnToTheList)
{
    startGame();
    for (int i = 0; i < 4; ++i)
        menuPress(key(1));
    menuPress(key(4));
    EXPECT_EQ(menuMode, MODE_HELP);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_TEXT);
    // The soft key leaves the page.
    steps(9);
    gamelib::keySoftLeft = 1;
    step();
    gamelib::keySoftLeft = 0;
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_LIST);
    EXPECT_EQ(gameMenu->selected, 0);

    for (int i = 0; i < 3; ++i)
        menuPress(key(1));
    menuPress(key(4));
    EXPECT_EQ(menuMode, MODE_HIGHSCORES);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_HIGHSCORES);
    menuPress(key(4));
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_LIST);
}

TEST_F(CorvantineTest, TheMainMenuStartsTheGameOfItsThirdEntry)
{
    shelltest::putGame(2, gameEntry);
    startGame();
    gamelib::currentScreen->stop();
    gamelib::GameLib::showMainMenu();
    steps(90);
    press('8');
    steps(60);
    press('8');
    steps(60);
    press('5');
    steps(90);
    ASSERT_TRUE(current<Corvantine>());
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
}

} // namespace
} // namespace corvtest

namespace corvtest {
namespace {

using namespace corvantine;

TEST_F(CorvantineTest, AKeyRedefinedInTheDialogMovesTheShip)
{
    startGame();
    ASSERT_EQ(gamelib::screenCanvas->getGameAction('Q'), -1);
    for (int i = 0; i < 7; ++i)
        menuPress(key(1));
    menuPress(key(4));
    ASSERT_EQ(gameState, STATE_KEYS);
    // Fire on the first row (left) waits for a key, which becomes its first key.
    steps(9);
    press(key(4));
    press('Q');
    gamelib::keySoftLeft = 1;
    gamelib::anyKey = 1;
    step();
    ASSERT_EQ(gameState, STATE_MENU);
    for (int i = 0; i < 7; ++i)
        menuPress(key(0));
    ASSERT_EQ(gameMenu->selected, 0);
    menuPress(key(4));
    toPlay();
    EXPECT_EQ(gamelib::screenCanvas->getGameAction('Q'), 2);
    const int32_t x = shipX;
    gamelib::screenCanvas->keyPressed('Q');
    steps(5);
    EXPECT_EQ(shipX, x - 15);
    gamelib::screenCanvas->keyReleased('Q');
    steps(3);
    EXPECT_EQ(shipX, x - 15);
}

} // namespace
} // namespace corvtest
