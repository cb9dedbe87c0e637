// A ball caught between hard bricks, where the step back after each bounce cancels its progress
// along the edges, is freed: it gets out and the round can be finished.
#include "TessarineFixture.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class TrappedBallTest : public tessatest::TessarineTest
{
  protected:
    // Ball 0 alone in play, released, of the given size, speed and direction, at a position
    // given in 1/16 pixel from the top left corner of a cell.
    Ball& place(int size, int speed, int dx, int dy, int column, int row, int x16, int y16)
    {
        for (int i = 0; i < game().balls->length; ++i)
            ball(i).setActive(false);
        Ball& b = ball(0);
        b.setKind(size);
        b.setActive(true);
        b.speed = speed;
        b.speedCounter = 0;
        b.dx = dx;
        b.dy = dy;
        b.x16 = bricks().columnLeft(column) + x16;
        b.y16 = bricks().rowTop(row) + y16;
        b.x = b.x16 >> 4;
        b.y = b.y16 >> 4;
        paddle().ballsInPlay = 1;
        return b;
    }
    // Steps until the round is cleared or n steps have passed; the steps taken.
    int playUntilCleared(int n)
    {
        int i = 0;
        while (i < n && gameState == STATE_PLAYING) {
            step();
            ++i;
        }
        return i;
    }
};

// The steel grille of an early layout: hard bricks in every other cell of rows 3, 5 and 7. A
// small fast ball in row 4, half over the hard bricks of column 8, rising steeply to the right,
// used to bounce between the hard bricks above and below for ever.
TEST_F(TrappedBallTest, ASmallBallBetweenTheGrillesBarsGetsOutAndBreaksBricksAgain)
{
    startGame({{1, levelFile({"", "", "ggggggggggg", "e.e.e.e.e.e", "fafafaf..af", "e.e.e.e.e.e",
                              "gbgbgbgbgbg", "e.e.e.e.e.e", "aaaaaaaaaaa"})}});
    startPlaying();
    const int hitPoints = bricks().remaining;
    Ball& b = place(0, 8, 5, -15, 7, 4, 306, 96);
    ASSERT_EQ(3, b.radius);
    const int startX = b.x;
    // Two seconds: the ball is out, and it has hit a brick it can break.
    for (int i = 0; i < 80 && bricks().remaining == hitPoints; ++i)
        step();
    EXPECT_LT(bricks().remaining, hitPoints) << "the ball still bounces on the spot";
    EXPECT_GT(bricks().score, 0);
    EXPECT_NE(startX, b.x);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_EQ(Tessarine::kStartLives, game().lives);
}

// A corridor of one cell between hard bricks above and below, closed by a hard brick at its right
// end and by the only brick to clear at its left end. However steeply, from wherever and which
// way a ball runs along it, it gets out at the left within two seconds and the round is cleared.
TEST_F(TrappedBallTest, ABallInAOneRowCorridorBetweenHardBricksGetsOut)
{
    startGame({{1, levelFile({"", "", "", "", "", "..eee......", "..f.e......", "..eee......"})}});
    startPlaying();
    for (int size : {0, 1}) {
        for (int dx : {-5, -1, 1, 5}) {
            for (int speed : {2, 8}) {
                for (int x16 : {64, 250}) {
                    for (int phase : {0, 11}) {
                        game().resetActors();
                        bricks().loadLevel(1);
                        game().setState(STATE_PLAYING);
                        Ball& b = place(size, speed, dx, -Ball::verticalSpeedFor(dx), 3, 6,
                                        x16 + phase, 80 + phase);
                        const int taken = playUntilCleared(80);
                        EXPECT_EQ(STATE_LEVEL_CLEARED, gameState)
                            << "size " << size << " dx " << dx << " speed " << speed << " x16 "
                            << x16 << " phase " << phase << ": ball at " << b.x << "," << b.y
                            << " after " << taken << " steps";
                    }
                }
            }
        }
    }
}

} // namespace
