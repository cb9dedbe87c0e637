// The game's menu screens through GameLib: name entry after a game over and the highscore table
// that keeps it, the key dialog whose keys play uses, the help page, and the main menu's table.
#include "TessarineFixture.h"

#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/VirtualKeyboard.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class MenuScreensTest : public tessatest::TessarineTest
{
  protected:
    void hold(int32_t code, int n)
    {
        gamelib::screenCanvas->keyPressed(code);
        steps(n);
        gamelib::screenCanvas->keyReleased(code);
        step();
    }
    // Plays on from the menu with the given score and one life, loses the ball and waits out
    // the pause before the highscore check.
    void loseTheLastBallWith(int32_t points)
    {
        startPlaying();
        game().setScore(points);
        game().lives = 1;
        launch();
        ball(0).setPosition(20, 330);
        ball(0).dy = 16;
        steps(62);
    }
};

TEST_F(MenuScreensTest, AHighscoreIsNamedByKeysAndKeptInTheTable)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    loseTheLastBallWith(987654);
    ASSERT_EQ(STATE_MENU, gameState);
    ASSERT_EQ(gamelib::GameMenu::STATE_NAME_ENTRY, gameMenu->state);
    for (int32_t c : {'z', 'o', 'e'})
        press(c);
    EXPECT_EQ("zoe", gamelibtest::ascii(gamelib::VirtualKeyboard::shared()->text));
    steps(9); // taps count 200 ms after the keyboard was made
    tap(8, 312);
    step();
    ASSERT_EQ(STATE_HIGHSCORES, gameState);
    EXPECT_EQ("zoe", gamelibtest::ascii(highscoreMenu->lines[0]));
    EXPECT_EQ(987654, (*highscoreMenu->scores)[0]);
    EXPECT_EQ(0, game().score());
    EXPECT_EQ(5, game().lives);
    // The store of table 1 keeps it; no store of another number is made.
    EXPECT_EQ("zoe 987654", shelltest::storedTable(u"tessarinehs1").at(0));
    EXPECT_EQ(std::vector<std::string>{"<no store>"}, shelltest::storedTable(u"tessarinehs8"));
    // Fire leaves the table for the menu, its "highscores" item selected.
    steps(9);
    press('5');
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(Tessarine::ITEM_HIGHSCORES, gameMenu->selected);
    // A new game screen reads the same table.
    restartGame();
    EXPECT_EQ("zoe", gamelibtest::ascii(highscoreMenu->lines[0]));
}

#ifdef PH_OLD_RECORDS_FILE
TEST_F(MenuScreensTest, ATableKeptUnderTheEarlierStoreNameIsTakenOverAndGoesOn)
{
    // Records of a player whose table was saved under the number 8.
    useRecordsFile(PH_OLD_RECORDS_FILE);
    const std::vector<std::string> earlier = shelltest::storedTable(u"tessarinehs8");
    ASSERT_EQ("zoe 987654", earlier.at(0));
    ASSERT_EQ("lin 4321", earlier.at(1));
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    EXPECT_EQ(earlier, shelltest::storedTable(u"tessarinehs1"));
    game().chooseMenuItem(Tessarine::ITEM_HIGHSCORES);
    step();
    ASSERT_EQ(STATE_HIGHSCORES, gameState);
    EXPECT_EQ("zoe", gamelibtest::ascii(highscoreMenu->lines[0]));
    EXPECT_EQ("lin", gamelibtest::ascii(highscoreMenu->lines[1]));
    EXPECT_EQ(4321, (*highscoreMenu->scores)[1]);

    // A new score goes between them; the earlier store stays as it was.
    steps(9);
    press('5');
    loseTheLastBallWith(5000);
    ASSERT_EQ(gamelib::GameMenu::STATE_NAME_ENTRY, gameMenu->state);
    gamelib::GameMenu::enteredName = u"amy";
    gamelib::GameMenu::nameReady = 1;
    step();
    const std::vector<std::string> table = shelltest::storedTable(u"tessarinehs1");
    ASSERT_EQ(8u, table.size());
    EXPECT_EQ("zoe 987654", table[0]);
    EXPECT_EQ("amy 5000", table[1]);
    EXPECT_EQ("lin 4321", table[2]);
    EXPECT_EQ(earlier, shelltest::storedTable(u"tessarinehs8"));
    // A later start keeps the table of store 1: the earlier one is not taken over again.
    restartGame();
    EXPECT_EQ("amy", gamelibtest::ascii(highscoreMenu->lines[1]));
}
#endif

TEST_F(MenuScreensTest, TheKeyDialogStandsOnTheDarkenedSplash)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    game().chooseMenuItem(Tessarine::ITEM_KEYS);
    ASSERT_EQ(STATE_KEY_CONFIG, gameState);
    steps(2);
    // The 120 x 80 splash stands in the middle (x 60 to 179, y 120 to 199), below the rows of
    // the dialog, darkened; black around it.
    const uint32_t shown = gamelibtest::rgbOf565(windowPixel(61, 190));
    const uint32_t splash = gamelibtest::rgbOf565(shelltest::rgb565(0x402060));
    EXPECT_NE(0u, shown) << "not black";
    for (int shift : {16, 8, 0})
        EXPECT_LT((shown >> shift) & 0xFF, (splash >> shift) & 0xFF) << shift;
    EXPECT_TRUE(pixelIs(5, 300, 0x000000));
}

TEST_F(MenuScreensTest, AKeyBoundInTheDialogMovesThePaddle)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    game().chooseMenuItem(Tessarine::ITEM_KEYS);
    ASSERT_EQ(STATE_KEY_CONFIG, gameState);
    steps(2);
    press('5');
    ASSERT_TRUE(keyDialog->capturing);
    press('q');
    EXPECT_FALSE(keyDialog->capturing);
    press(10000);
    ASSERT_EQ(STATE_MENU, gameState);
    game().chooseMenuItem(Tessarine::ITEM_START);
    steps(61);
    ASSERT_EQ(STATE_PLAYING, gameState);
    const int x = paddle().x;
    hold('q', 4);
    EXPECT_LT(paddle().x, x);
    EXPECT_EQ(x - 3 * 4, paddle().x);
}

TEST_F(MenuScreensTest, HelpOpensTheTextPageAndReturnsToItsItem)
{
    startGame({{1, levelFile({".f."})}},
              {{"txt/tesk/en_help.txt", utf({"BREAK THE BRICKS", "CATCH THE BONUSES"})}});
    game().chooseMenuItem(Tessarine::ITEM_HELP);
    EXPECT_EQ(STATE_HELP, gameState);
    EXPECT_EQ(gamelib::GameMenu::STATE_TEXT, gameMenu->state);
    steps(9);
    press(10000);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(gamelib::GameMenu::STATE_LIST, gameMenu->state);
    EXPECT_EQ(Tessarine::ITEM_HELP, gameMenu->selected);
}

TEST_F(MenuScreensTest, TheGalleryOpensFromTheMenuAndTheLeftSoftKeyComesBack)
{
    startGame({{1, levelFile({".f."})}});
    game().chooseMenuItem(Tessarine::ITEM_GALLERY);
    EXPECT_EQ(STATE_GALLERY, gameState);
    ASSERT_TRUE(game().gallery);
    EXPECT_TRUE(game().gallery->embedded);
    steps(5);
    EXPECT_EQ(STATE_GALLERY, gameState);
    press(10000);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_TRUE(game().gallery->stopped);
    // The same gallery opens again.
    gallery::GalleryPtr first = game().gallery;
    game().chooseMenuItem(Tessarine::ITEM_GALLERY);
    EXPECT_EQ(first.get(), game().gallery.get());
    EXPECT_FALSE(game().gallery->stopped);
}

TEST_F(MenuScreensTest, TheShellsReleaseDropsTheGamesOwnGlobals)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    shelltest::putGame(0, gameEntry);
    ASSERT_TRUE(brickList) << "the running game keeps its bricks";
    gamelib::currentScreen->stop();
    gamelib::GameStatics::release();
    EXPECT_FALSE(brickList);
}

} // namespace
