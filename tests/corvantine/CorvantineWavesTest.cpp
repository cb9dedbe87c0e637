// Level set-up, the formation's places, the sway and the background.
#include "CorvantineFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

namespace corvtest {
namespace {

using namespace corvantine;

TEST_F(CorvantineTest, FormationStandsInItsRowsOnA240WideScreen)
{
    startGame();
    newGame();
    ASSERT_EQ(alienWidth, 16);
    ASSERT_EQ(liveShips, 23);
    const int rowY[5] = {24, 44, 64, 84, 104};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < (*formation)[r]->length; ++c)
            EXPECT_EQ(ship(r, c).homeY, rowY[r]) << r << "," << c;
    // Row 0: column 0 stands right of column 1.
    EXPECT_EQ(ship(0, 1).homeX, 240 / 2 - 16);
    EXPECT_EQ(ship(0, 1).side, 1);
    EXPECT_EQ(ship(0, 0).homeX, 240 / 2 + 10 + 16);
    EXPECT_EQ(ship(0, 0).side, 0);
    // The other rows: 26 pixels apart, split around the centre.
    const int bottom[6] = {55, 81, 107, 133, 159, 185};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(ship(4, c).homeX, bottom[c]);
        EXPECT_EQ(ship(4, c).side, c < 3 ? 0 : 1);
    }
    EXPECT_EQ(ship(2, 2).homeX, 133);
    EXPECT_EQ(ship(2, 1).homeX, 107);
    EXPECT_EQ(leftMargin, 55 - 16);
    EXPECT_EQ(ship(0, 0).points, 150);
    EXPECT_EQ(ship(4, 5).points, 60);
}

TEST_F(CorvantineTest, EachLevelSetsItsPaceAndKinds)
{
    startGame();
    struct Row
    {
        int level, dives, interval, shots;
    };
    for (const Row& row : {Row{1, 1, 292, 2}, Row{2, 2, 284, 2}, Row{3, 2, 276, 2},
                           Row{4, 3, 268, 3}, Row{20, 11, 140, 7}}) {
        level = row.level;
        Corvantine::nextLevel();
        EXPECT_EQ(gameState, STATE_INTRO);
        EXPECT_EQ(diveLimit, row.dives) << row.level;
        EXPECT_EQ(launchInterval, row.interval) << row.level;
        EXPECT_EQ(shotsPerDive, row.shots) << row.level;
    }
    EXPECT_EQ(Corvantine::kindOfRow(1, 0), 7);
    EXPECT_EQ(Corvantine::kindOfRow(1, 4), 3);
    EXPECT_EQ(Corvantine::kindOfRow(2, 0), 0);
    EXPECT_EQ(Corvantine::kindOfRow(2, 1), 7);

    // Level 2's top row flaps in kind 0's pieces, the bottom row in kind 4's.
    level = 2;
    Corvantine::nextLevel();
    EXPECT_EQ(ship(0, 0).images.get(), (*kindSprites)[0].get());
    EXPECT_EQ(ship(4, 0).images.get(), (*kindSprites)[4].get());
}

TEST_F(CorvantineTest, FormationSwaysBetweenTheScreenEdges)
{
    startGame();
    newGame();
    toPlay();
    int lowest = 0;
    int highest = 0;
    for (int i = 0; i < 400; ++i) {
        Corvantine::swayStep();
        lowest = std::min(lowest, swayOffset);
        highest = std::max(highest, swayOffset);
    }
    // Left first, until the margin is used up, then as far right.
    EXPECT_EQ(lowest, -(leftMargin + 1));
    EXPECT_EQ(highest, leftMargin + 1);
}

TEST_F(CorvantineTest, StarsComeBackAtTheTopAndThePlanetWaitsItsPause)
{
    startGame();
    newGame();
    (*starY)[0] = (320 << 16) + 1;
    (*starY)[60] = 10 << 16;
    planetY = 321 << 16;
    Corvantine::backgroundStep();
    EXPECT_EQ((*starY)[0], 0);
    EXPECT_GE((*starX)[0], 0);
    EXPECT_LT((*starX)[0] >> 16, 240);
    EXPECT_EQ((*starY)[60], (10 << 16) + 80000);
    // A new planet starts above the screen and stays hidden for its pause.
    EXPECT_EQ(planetPause, 1000);
    const int32_t top = planetY;
    Corvantine::backgroundStep();
    EXPECT_EQ(planetY, top);
    EXPECT_EQ(planetPause, 970);
}

TEST_F(CorvantineTest, LevelJumpSetsUpTheLevelAndPastTheLastEndsTheGame)
{
    startGame();
    newGame();
    toPlay();
    for (int bad : {0, -3}) {
        gamelib::levelJumpFlag = 1;
        gamelib::levelJumpNumber = bad;
        step();
        EXPECT_EQ(gamelib::levelJumpFlag, 0) << bad;
        EXPECT_EQ(level, 1) << bad;
        EXPECT_EQ(gameState, STATE_PLAYING) << bad;
        EXPECT_EQ(diveLimit, 1) << bad;
    }
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 12;
    step();
    EXPECT_EQ(level, 12);
    EXPECT_EQ(gameState, STATE_INTRO);
    EXPECT_EQ(diveLimit, 7);
    EXPECT_EQ(gamelib::levelJumpFlag, 0);

    // Past the last level the game ends with the highscore check: a qualifying score asks for
    // a name, and the table shows next.
    toPlay();
    score = 700;
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 21;
    step();
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_NAME_ENTRY);
    gamelib::GameMenu::nameReady = 1;
    gamelib::GameMenu::enteredName = u"JMP";
    step();
    EXPECT_EQ(shelltest::storedTable(u"corvantinehs1").at(0), "JMP 700");

    // Without a qualifying score the menu offers a new game.
    corvantine::Corvantine::setMenuMode(MODE_NEW_GAME);
    newGame();
    toPlay();
    gamelib::levelJumpFlag = 1;
    gamelib::levelJumpNumber = 99;
    step();
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_LIST);
}

TEST_F(CorvantineTest, TheTypedSequenceJumpsToALevel)
{
    startGame();
    newGame();
    toPlay();
    for (int32_t code : gamelib::GameStatics::kLevelJumpCodes)
        press(code);
    press('0');
    press('7');
    EXPECT_EQ(level, 7);
    EXPECT_EQ(gameState, STATE_INTRO);
    EXPECT_EQ(shotsPerDive, 3);
}

} // namespace
} // namespace corvtest
