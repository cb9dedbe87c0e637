// The ship: its start heading, turning, the thrust table and the speed cap, the shots and their
// cost and limits, the edges, losing a life with invulnerability and spin, and its painting.
#include "MirrowfenFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/testing/FakeClock.h"

using namespace mirrowfen;

namespace mirrowfentest {

namespace {

class ShipTest : public MirrowfenTest
{
  protected:
    void SetUp() override
    {
        startGame();
        play();
        clearField();
        addRock(0, 10, 10, 0, 0, 3); // keeps the level going
        parkShip(120, 160);
    }
};

TEST_F(ShipTest, ResetTurnsAnOddNumberOfStepsAndNeverPointsUp)
{
    for (int i = 0; i < 40; ++i) {
        ship().reset();
        const int turns = (ship().quadrantIndex() * 4 + ship().step - 4 + 16) % 16;
        EXPECT_EQ(1, turns % 2) << "after " << turns << " turns";
        EXPECT_EQ(3, ship().lives);
        EXPECT_EQ(0, ship().invulnerable);
        EXPECT_EQ(kShipSize, ship().width);
    }
}

TEST_F(ShipTest, ThrustFollowsTheTableAndStopsBelowTheSpeedCap)
{
    // Nose to the right: "_dn", step 4.
    ship().quadrant = u"_dn";
    ship().step = 4;
    ship().thrustLevel = 0;
    const int table[22] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7};
    int vx = 0;
    for (int level = 1; level <= 21; ++level) {
        ship().thrust();
        EXPECT_EQ(level, ship().thrustLevel);
        if ((vx + table[level]) * (vx + table[level]) < 67)
            vx += table[level];
        EXPECT_EQ(vx, ship().vx) << "level " << level;
        EXPECT_EQ(0, ship().vy);
    }
    EXPECT_EQ(7, ship().vx) << "after 1, 1, 1, 2, 2 every larger push would pass the cap";
    ship().thrust();
    EXPECT_EQ(21, ship().thrustLevel) << "stays at the last entry";
}

TEST_F(ShipTest, AtThrustLevelOneOnlyAnAxisNosePushes)
{
    ship().step = 3; // 67.5 degrees: both components below 1000
    ship().thrustLevel = 0;
    ship().thrust();
    EXPECT_EQ(0, ship().vx);
    EXPECT_EQ(0, ship().vy);
    ship().step = 4;
    ship().thrustLevel = 0;
    ship().thrust();
    EXPECT_EQ(0, ship().vx);
    EXPECT_EQ(-1, ship().vy);
}

TEST_F(ShipTest, TurningWalksThroughTheQuadrantsAndResetsTheThrust)
{
    ship().thrustLevel = 10;
    ship().rotateCounterClockwise();
    EXPECT_EQ(1, ship().step);
    EXPECT_EQ(1, ship().quadrantIndex()) << "_up";
    EXPECT_EQ(1, ship().thrustLevel) << "the turn's own push starts the table again";
    ship().rotateClockwise();
    EXPECT_EQ(4, ship().step);
    EXPECT_EQ(0, ship().quadrantIndex());
    for (int i = 0; i < 16; ++i)
        ship().rotateClockwise();
    EXPECT_EQ(4, ship().step);
    EXPECT_EQ(0, ship().quadrantIndex());
}

TEST_F(ShipTest, AShotCostsThirtyPointsButNeverBelowZero)
{
    game().score = 100;
    game().stepsSinceShot = 10;
    game().fireShot();
    EXPECT_EQ(70, game().score);
    EXPECT_EQ(1, game().shotCount);
    FlyingOPtr shot = (*game().shots)[0];
    ASSERT_TRUE(shot);
    EXPECT_EQ("bb4", gamelibtest::ascii(shot->imageName));
    EXPECT_EQ(0, shot->dx);
    EXPECT_EQ(-4, shot->dy);
    EXPECT_EQ(4, shot->speedFactor);
    game().score = 10;
    game().fireShot();
    EXPECT_EQ(0, game().score);
}

TEST_F(ShipTest, HeldFireShootsOncePerFourStepsAndAtMostSevenFly)
{
    game().score = 10000;
    game().stepsSinceShot = 10;
    gamelib::keyFire = 1;
    gameSteps(1);
    EXPECT_EQ(1, game().shotCount) << "the first press fires";
    gameSteps(3);
    EXPECT_EQ(1, game().shotCount) << "refused within four steps";
    gameSteps(1);
    EXPECT_EQ(2, game().shotCount);
    gamelib::keyFire = 0;

    game().stepsSinceShot = 10;
    for (int i = 0; i < 6; ++i)
        game().fireShot();
    EXPECT_EQ(7, game().shotCount);
    FlyingOPtr first = (*game().shots)[0];
    game().fireShot();
    EXPECT_EQ(7, game().shotCount);
    EXPECT_EQ(first.get(), (*game().shots)[0].get()) << "the eighth is dropped";
}

TEST_F(ShipTest, ASlotWhoseShotStandsAtTheMarginIsReused)
{
    game().stepsSinceShot = 10;
    game().fireShot();
    game().fireShot();
    (*game().shots)[0]->x = -26;
    game().fireShot();
    EXPECT_EQ(2, game().shotCount);
    EXPECT_EQ(120, (*game().shots)[0]->x);
}

TEST_F(ShipTest, ShotsLeavingTheScreenFreeTheirSlots)
{
    game().stepsSinceShot = 10;
    game().fireShot(); // up at 16 pixels per step from y = 160
    gameSteps(13);
    EXPECT_FALSE((*game().shots)[0]);
    EXPECT_EQ(1, game().shotCount) << "the slot that held the shot still counts";
}

TEST_F(ShipTest, TheShipBouncesOrWrapsAtTheEdges)
{
    boundsOn = 1;
    parkShip(238, 160);
    ship().vx = 5;
    ship().update();
    EXPECT_EQ(240, ship().x);
    EXPECT_EQ(-5, ship().vx);
    parkShip(120, 2);
    ship().vy = -5;
    ship().update();
    EXPECT_EQ(0, ship().y);
    EXPECT_EQ(5, ship().vy);

    boundsOn = 0;
    parkShip(240 + 4 + 1, 160); // a quarter of 17 is 4
    ship().vx = 1;
    ship().update();
    EXPECT_EQ(246 - 241, ship().x);
    parkShip(-5, 160);
    ship().vx = -1;
    ship().update();
    EXPECT_EQ(-6 + 241, ship().x);
    parkShip(120, 326);
    ship().vy = 1;
    ship().update();
    EXPECT_EQ(327 - 321, ship().y);
}

TEST_F(ShipTest, AHitCostsALifeThenThreeSecondsOfInvulnerabilityAndASpin)
{
    addRock(1, 120, 160, 0, 0, 3);
    gameSteps(1);
    EXPECT_EQ(2, ship().lives);
    EXPECT_EQ(1, ship().invulnerable);
    EXPECT_GE(ship().pendingTurns, -19);
    EXPECT_LE(ship().pendingTurns, 19);
    EXPECT_FALSE((*game().rocks)[1]) << "a small rock that hits the ship is destroyed";

    addRock(1, ship().x, ship().y, 0, 0, 3);
    gameSteps(1);
    EXPECT_EQ(2, ship().lives) << "no loss while invulnerable";

    platform::FakeClock::step(3001);
    lastStepTime = 0;
    gameSteps(1);
    EXPECT_EQ(0, ship().invulnerable);
    ship().pendingTurns = 0;
    parkShip(120, 160);
    addRock(1, 120, 160, 0, 0, 3);
    gameSteps(1);
    EXPECT_EQ(1, ship().lives);
}

TEST_F(ShipTest, TheShipBlinksWhileInvulnerable)
{
    parkShip(120, 160);
    steps(3);
    EXPECT_TRUE(pixelIs(120, 160, kShipColour));
    ship().loseLife();
    ship().pendingTurns = 0;
    int shown = 0;
    int hidden = 0;
    for (int i = 0; i < 40; ++i) {
        step();
        ship().x = 120;
        ship().y = 160;
        (pixelIs(120, 160, kShipColour) ? shown : hidden) += 1;
    }
    EXPECT_GT(shown, 5);
    EXPECT_GT(hidden, 5);
}

TEST_F(ShipTest, StylusSteeringTurnsTowardThePointer)
{
    // Pointer right-above, ship pointing up (same quadrant): wanted step 2 for a 45-degree slope.
    gamelib::pointerX = 170;
    gamelib::pointerY = 110;
    game().steerByStylus();
    EXPECT_EQ(3, ship().step) << "one clockwise turn toward the wanted step";
    game().steerByStylus();
    EXPECT_EQ(2, ship().step);
    EXPECT_EQ(1, ship().thrustLevel);
    game().steerByStylus();
    EXPECT_EQ(2, ship().step) << "on course: thrust instead";
    EXPECT_EQ(2, ship().thrustLevel);

    // Pointer left-above: a neighbouring quadrant, one counterclockwise turn.
    parkShip(120, 160);
    ship().step = 2;
    gamelib::pointerX = 60;
    gamelib::pointerY = 100;
    game().steerByStylus();
    EXPECT_EQ(3, ship().step);
}

TEST_F(ShipTest, ATurnsExhaustPuffShowsFromTheNextStepAndMovesAfterIt)
{
    using mirrowfen::Mirrowfen;
    gamelib::keyRight = 1;
    gameSteps(1);
    gamelib::keyRight = 0;
    ASSERT_EQ(3, ship().step) << "one clockwise turn";
    // The puff stands 13 pixels behind the ship and 5 to its side, below the ship's piece.
    qev::lang::DintArray& puff = *(*game().particles)[10];
    ASSERT_EQ(0, puff[Mirrowfen::P_FRAME]);
    const int x = puff[Mirrowfen::P_X];
    const int y = puff[Mirrowfen::P_Y];
    ASSERT_GE(y, 168) << "below the ship's piece, rows 150 to 166";
    EXPECT_FALSE(pixelIs(x, y + 1, kEffectColour)) << "not shown in the step that made it";
    gameSteps(1);
    EXPECT_EQ(x, puff[Mirrowfen::P_X]) << "not moved in the next step";
    EXPECT_EQ(y, puff[Mirrowfen::P_Y]);
    EXPECT_TRUE(pixelIs(x, y + 1, kEffectColour)) << "shown from the next step";
    gameSteps(1);
    EXPECT_NE(std::pair(x, y), std::pair(puff[Mirrowfen::P_X], puff[Mirrowfen::P_Y]));
}

TEST_F(ShipTest, AMissingShipPieceShowsAnErrorTextAndPlayGoesOn)
{
    ship().images = new gamelib::GameImageArray(16);
    steps(6);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_FALSE(pixelIs(120, 160, kShipColour));
}

} // namespace

} // namespace mirrowfentest
