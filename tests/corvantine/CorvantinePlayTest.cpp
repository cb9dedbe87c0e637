// The play step: shots, hits, points, the ship's loss, the dives and the sprites of steering
// ships.
#include "CorvantineFixture.h"

#include "GamelibTestSupport.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

namespace corvtest {
namespace {

using namespace corvantine;

class CorvantinePlay : public CorvantineTest
{
  protected:
    void SetUp() override
    {
        startGame();
        newGame();
        toPlay();
        // No dives unless a test wants them.
        diveLimit = 0;
    }
    // The player's shot put just below an alien, so that the next step's move reaches it.
    static void shotUnder(const AlienShip& alien)
    {
        shotX = alien.x;
        shotY = alien.y + 10;
    }
};

TEST_F(CorvantinePlay, AShotHitsAnAlienForItsPointsAndPausesTheNextShot)
{
    AlienShip& target = ship(4, 0);
    step();
    shotUnder(target);
    step();
    EXPECT_EQ(score, 60);
    EXPECT_EQ(target.state, AlienShip::EXPLODING);
    EXPECT_EQ(liveShips, 22);
    EXPECT_EQ(shotX, kFree);
    // Fire held: no shot until the 200 ms pause has run out (30 per step).
    gamelib::screenCanvas->keyPressed(key(4));
    int waited = 0;
    while (shotX == kFree && waited < 20) {
        step();
        ++waited;
    }
    EXPECT_EQ(waited, 8);
    EXPECT_EQ(shotY, shipTop - kBulletH - 8);
    // The explosion plays out in paint and leaves the ship destroyed.
    steps(20);
    EXPECT_EQ(target.state, AlienShip::DESTROYED);
}

TEST_F(CorvantinePlay, AHeldStylusMovesTheShipAndADoubleTapFires)
{
    const int32_t x = shipX;
    gamelib::screenCanvas->pointerPressed(x + 40, 250);
    steps(4);
    EXPECT_EQ(shipX, x + 12);
    gamelib::screenCanvas->pointerReleased(x + 40, 250);
    // More than 300 ms later, so that the next press is a single one.
    steps(15);
    // Within the dead zone the ship stays.
    gamelib::screenCanvas->pointerPressed(shipX + 3, 250);
    steps(3);
    EXPECT_EQ(shipX, x + 12);
    gamelib::screenCanvas->pointerReleased(shipX + 3, 250);
    EXPECT_EQ(shotX, kFree);
    steps(15);
    gamelib::screenCanvas->pointerPressed(shipX, 250);
    step();
    gamelib::screenCanvas->pointerReleased(shipX, 250);
    step();
    EXPECT_EQ(shotX, kFree);
    gamelib::screenCanvas->pointerPressed(shipX, 250);
    step();
    EXPECT_EQ(shotX, x + 12);
}

TEST_F(CorvantinePlay, OnlyOneShotFliesAtATime)
{
    gamelib::screenCanvas->keyPressed(key(4));
    step();
    ASSERT_NE(shotX, kFree);
    const int32_t first = shotY;
    step();
    EXPECT_EQ(shotY, first - 8);
}

TEST_F(CorvantinePlay, AnAlienShotCostsALifeFreezesTheAliensAndTheFormationComesBack)
{
    AlienShip& diver = ship(3, 0);
    diver.launch();
    steps(3);
    ASSERT_EQ(diver.state, AlienShip::LEAVING);
    (*alienShotX)[0] = shipX;
    (*alienShotY)[0] = shipTop - 2;
    step();
    EXPECT_EQ(lives, 3);
    EXPECT_TRUE(exploding);
    EXPECT_EQ((*alienShotX)[0], kFree);
    const int32_t diverY = diver.y;
    const int32_t sway = swayOffset;
    const int32_t star = (*starY)[100];
    steps(10);
    EXPECT_EQ(diver.y, diverY);
    EXPECT_EQ(swayOffset, sway);
    EXPECT_NE((*starY)[100], star);
    // Seven frames of four paints each, then the formation stands at home again.
    steps(kShipBoomFrames * (kShipBoomDelay + 1));
    EXPECT_FALSE(exploding);
    EXPECT_EQ(diver.state, AlienShip::IN_FORMATION);
    EXPECT_EQ(diver.y, diver.homeY);
    EXPECT_EQ(diver.sprite, 0);
    EXPECT_EQ(gameState, STATE_PLAYING);
}

TEST_F(CorvantinePlay, RammingDestroysTheAlienScoresAndCostsALife)
{
    AlienShip& rammer = ship(1, 0);
    rammer.state = AlienShip::DIVING;
    rammer.diveMode = AlienShip::STRAIGHT;
    rammer.x = shipX;
    rammer.y = shipTop + 4;
    rammer.vx = 0;
    rammer.vy = 0;
    rammer.fx = rammer.x << 16;
    rammer.fy = rammer.y << 16;
    rammer.shotsLeft = 0;
    step();
    EXPECT_EQ(rammer.state, AlienShip::EXPLODING);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(liveShips, 22);
}

TEST_F(CorvantinePlay, AShipHitByTheShotWhileRammingCountsOnceAndCostsALife)
{
    AlienShip& rammer = ship(1, 0);
    rammer.state = AlienShip::DIVING;
    rammer.x = shipX;
    rammer.y = shipTop + 4;
    rammer.vx = rammer.vy = 0;
    rammer.fx = rammer.x << 16;
    rammer.fy = rammer.y << 16;
    rammer.shotsLeft = 0;
    shotX = shipX;
    shotY = shipTop + 10;
    step();
    EXPECT_EQ(score, 100);
    EXPECT_EQ(liveShips, 22);
    EXPECT_EQ((*gamelib::rowShipsLeft)[1], 3);
    EXPECT_EQ(lives, 3);
    EXPECT_TRUE(exploding);
    EXPECT_EQ(shotX, kFree);
    // The ship's explosion plays out and play goes on with the life gone.
    steps(kShipBoomFrames * (kShipBoomDelay + 1) + 2);
    EXPECT_FALSE(exploding);
    EXPECT_EQ(gameState, STATE_PLAYING);
    EXPECT_EQ(rammer.state, AlienShip::DESTROYED);
    EXPECT_EQ(liveShips, 22);
    EXPECT_EQ(lives, 3);
}

TEST_F(CorvantinePlay, WithNoLivesLeftTheNextHitEndsTheGame)
{
    lives = 1;
    Corvantine::loseLife();
    EXPECT_EQ(lives, 0);
    EXPECT_EQ(gameState, STATE_PLAYING);
    steps(kShipBoomFrames * (kShipBoomDelay + 1) + 2);
    ASSERT_FALSE(exploding);
    (*alienShotX)[3] = shipX;
    (*alienShotY)[3] = shipTop;
    step();
    EXPECT_EQ(gameState, STATE_SHIP_LOST);
    steps(29);
    EXPECT_EQ(gameState, STATE_GAME_OVER);
    // The game-over picture is loaded, but the screen stays black.
    ASSERT_TRUE(backgroundPicture);
    EXPECT_EQ(gamelibtest::pixelAt(backgroundPicture, 5, 5), shelltest::rgb565(kGameOverColour));
    step();
    EXPECT_TRUE(pixelIs(5, 5, 0x000000));
    EXPECT_TRUE(pixelIs(120, 300, 0x000000));
    steps(80);
    EXPECT_EQ(gameState, STATE_MENU);
    // No points: the table does not take the score, so the new-game list shows.
    EXPECT_EQ(menuMode, MODE_NEW_GAME);
    EXPECT_EQ(gameMenu->state, gamelib::GameMenu::STATE_LIST);
}

TEST_F(CorvantinePlay, TheBonusShipComesOnceAt5000)
{
    score = 4950;
    Corvantine::addScore(60);
    EXPECT_EQ(lives, 5);
    score = 4990;
    Corvantine::addScore(60);
    EXPECT_EQ(lives, 5);
    EXPECT_EQ(score, 5050);
}

TEST_F(CorvantinePlay, AClearedLevelShowsItsRewardUnlocksItAndStartsTheNext)
{
    leaveOnly(4, 2);
    step();
    shotUnder(ship(4, 2));
    step();
    EXPECT_EQ(liveShips, 0);
    EXPECT_EQ(gameState, STATE_CLEARED);
    steps(29);
    EXPECT_EQ(gameState, STATE_REWARD);
    steps(21);
    EXPECT_EQ(gameState, STATE_REWARD);
    // Level 1's reward is picture 20 of the list, shown as it is.
    EXPECT_TRUE(pixelIs(120, 100, kRewardColour + 19));
    EXPECT_FALSE(gallery::Gallery::isUnlocked(19));
    press(key(4));
    EXPECT_TRUE(gallery::Gallery::isUnlocked(19));
    EXPECT_EQ(level, 2);
    EXPECT_EQ(gameState, STATE_INTRO);
    EXPECT_EQ(liveShips, 23);
}

TEST_F(CorvantinePlay, TheLastLevelEndsTheGameInsteadOfALevel21)
{
    level = 20;
    leaveOnly(0, 0);
    step();
    shotUnder(ship(0, 0));
    step();
    ASSERT_EQ(gameState, STATE_CLEARED);
    steps(30 + 21);
    press(key(4));
    EXPECT_EQ(level, 21);
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuMode, MODE_HIGHSCORES);
}

TEST_F(CorvantinePlay, ALeftSideShipLeavesWithSpritesWithinRange)
{
    AlienShip& leaver = ship(4, 0);
    ASSERT_EQ(leaver.side, 0);
    leaver.launch();
    leaver.update();
    // The angle is just below zero after one step: the last direction, not an index below 0.
    EXPECT_EQ(leaver.sprite, 15);
    int leftBy = 0;
    while (leaver.state == AlienShip::LEAVING && leftBy < 100) {
        leaver.update();
        EXPECT_GE(leaver.sprite, 0);
        EXPECT_LE(leaver.sprite, 15);
        ++leftBy;
    }
    EXPECT_EQ(leaver.state, AlienShip::DIVING);
    EXPECT_EQ(leftBy, 40);
}

TEST_F(CorvantinePlay, SpritesStayWithinRangeOverLongDives)
{
    level = 20;
    Corvantine::nextLevel();
    toPlay();
    int dives = 0;
    for (int i = 0; i < 3000; ++i) {
        // The ship moves to and fro, so that the divers steer both ways.
        gamelib::keyLeft = (i / 150) % 2;
        gamelib::keyRight = !gamelib::keyLeft;
        lives = 4;
        Corvantine::playStep();
        for (int n = 0; n < fleet->length; ++n) {
            const AlienShip& a = *(*fleet)[n];
            ASSERT_GE(a.sprite, 0) << i;
            ASSERT_LE(a.sprite, 15) << i;
            dives += a.state == AlienShip::DIVING;
        }
        if (exploding)
            explosionFinished = true;
        if (gameState != STATE_PLAYING)
            break;
    }
    EXPECT_GT(dives, 100);
}

TEST_F(CorvantinePlay, DivesAimBesideThePlayerOnTheirOwnSide)
{
    for (int i = 0; i < 60; ++i) {
        AlienShip& a = ship(4, i % 2 == 0 ? 0 : 5);
        a.state = AlienShip::IN_FORMATION;
        a.update();
        a.launch();
        while (a.state == AlienShip::LEAVING)
            a.update();
        ASSERT_EQ(a.state, AlienShip::DIVING);
        if (a.side == 0) {
            EXPECT_GE(a.targetX, shipX - shipWidth) << i;
            EXPECT_LT(a.targetX, shipX) << i;
        } else {
            EXPECT_GT(a.targetX, shipX) << i;
            EXPECT_LE(a.targetX, shipX + shipWidth) << i;
        }
        EXPECT_EQ(a.targetY, 320);
    }
}

TEST(CorvantineRandom, RemaindersOfAbsoluteValuesAreNeverNegative)
{
    EXPECT_EQ(absMod(-7, 5), 2);
    EXPECT_EQ(absMod(7, 5), 2);
    EXPECT_EQ(absMod(INT32_MIN, 240), 128);
    EXPECT_EQ(absMod(INT32_MAX, 320), 2147483647 % 320);
}

TEST_F(CorvantinePlay, SlopeTableGivesDirectionsOnBothSidesOfTheShip)
{
    EXPECT_EQ(AlienShip::spriteForSlope(-200000, 10), 0);
    EXPECT_EQ(AlienShip::spriteForSlope(-100000, 10), 1);
    EXPECT_EQ(AlienShip::spriteForSlope(-50000, 10), 2);
    EXPECT_EQ(AlienShip::spriteForSlope(-20000, 10), 3);
    EXPECT_EQ(AlienShip::spriteForSlope(-1, 10), 4);
    EXPECT_EQ(AlienShip::spriteForSlope(0, 10), 0);
    EXPECT_EQ(AlienShip::spriteForSlope(1, 10), 12);
    EXPECT_EQ(AlienShip::spriteForSlope(13035, 10), 13);
    EXPECT_EQ(AlienShip::spriteForSlope(50000, 10), 14);
    EXPECT_EQ(AlienShip::spriteForSlope(100000, 10), 15);
    EXPECT_EQ(AlienShip::spriteForSlope(158217, 10), 0);
    // Below the ship's top the direction turns half round, within 0..15.
    EXPECT_EQ(AlienShip::spriteForSlope(1, -10), 4);
    EXPECT_EQ(AlienShip::spriteForSlope(-1, -10), 12);
    EXPECT_EQ(AlienShip::spriteForSlope(100000, -10), 7);
    EXPECT_EQ(AlienShip::spriteForSlope(0, -10), 8);
}

// A diver held above the player, free to fire on every update.
void holdAboveThePlayer(AlienShip& a)
{
    a.state = AlienShip::DIVING;
    a.diveMode = AlienShip::FALLING;
    a.x = shipX;
    a.y = 100;
    a.fx = a.x << 16;
    a.fy = a.y << 16;
    a.vx = a.vy = 0;
    a.shotsLeft = 100;
}

int shotsInFlight()
{
    int n = 0;
    for (int s = 0; s < kAlienShots; ++s)
        n += (*alienShotX)[s] != kFree;
    return n;
}

TEST_F(CorvantinePlay, AliensFireNoSoonerThanTheSharedPauseAllows)
{
    AlienShip& a = ship(3, 1);
    int last = -100;
    int shots = 0;
    for (int i = 0; i < 600; ++i) {
        holdAboveThePlayer(a);
        for (int s = 0; s < kAlienShots; ++s)
            (*alienShotX)[s] = kFree;
        a.update();
        if (shotsInFlight() == 0)
            continue;
        // 200 ms at 30 per update: seven quiet updates after each shot.
        EXPECT_GE(i - last, 8) << i;
        last = i;
        ++shots;
    }
    EXPECT_GT(shots, 20);
    EXPECT_LT(shots, 600 / 8 + 1);

    // Two divers lower the pause twice per step, so the pause runs out in four steps.
    AlienShip& b = ship(3, 2);
    int closest = 100;
    last = -100;
    for (int i = 0; i < 600; ++i) {
        holdAboveThePlayer(a);
        holdAboveThePlayer(b);
        for (int s = 0; s < kAlienShots; ++s)
            (*alienShotX)[s] = kFree;
        a.update();
        b.update();
        if (shotsInFlight() == 0)
            continue;
        closest = std::min(closest, i - last);
        last = i;
    }
    EXPECT_EQ(closest, 4);
}

TEST_F(CorvantinePlay, WithEveryAlienShotInFlightTheAlienKeepsItsShot)
{
    AlienShip& a = ship(3, 1);
    for (int s = 0; s < kAlienShots; ++s) {
        (*alienShotX)[s] = 10;
        (*alienShotY)[s] = 10;
    }
    for (int i = 0; i < 100; ++i) {
        holdAboveThePlayer(a);
        a.shotsLeft = 5;
        a.update();
        ASSERT_EQ(a.shotsLeft, 5);
    }
    EXPECT_EQ(shotsInFlight(), kAlienShots);
}

TEST_F(CorvantinePlay, TheSchedulerSendsOneShipAtLevelOne)
{
    diveLimit = 1;
    launchTimer = 0;
    int most = 0;
    for (int i = 0; i < 400; ++i) {
        Corvantine::scheduleDives();
        int away = 0;
        for (int n = 0; n < fleet->length; ++n) {
            const AlienShip& a = *(*fleet)[n];
            away += a.state == AlienShip::LEAVING || a.state == AlienShip::DIVING;
            // Rows 0 to 2 stay while rows 3 and 4 are full.
            if (a.row < 3) {
                EXPECT_EQ(a.state, AlienShip::IN_FORMATION);
            }
        }
        most = std::max(most, away);
    }
    EXPECT_EQ(most, 1);
}

TEST_F(CorvantinePlay, TheLastShipDivesAgainAndAgain)
{
    leaveOnly(2, 3);
    diveLimit = 1;
    int launches = 0;
    int previous = AlienShip::IN_FORMATION;
    for (int i = 0; i < 3000; ++i) {
        Corvantine::scheduleDives();
        const int now = ship(2, 3).state;
        launches += now == AlienShip::LEAVING && previous != AlienShip::LEAVING;
        previous = now;
    }
    EXPECT_GE(launches, 3);
    EXPECT_EQ(diveLimit, kCrowdLimit);
}

} // namespace
} // namespace corvtest
