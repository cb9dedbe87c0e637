// Balls: the paddle's bounce table, walls and top, the speed-up, a fast ball over the paddle,
// and the sweep of a step against brick edges.
#include "TessarineFixture.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class BallTest : public tessatest::TessarineTest
{
  protected:
    // Ball 0 released, normal size, falling straight onto the paddle v pixels right of its
    // centre: the step brings it to the paddle's top.
    Ball& dropOnPaddle(int v, int speed = 1)
    {
        Ball& b = ball(0);
        b.setKind(1);
        b.setActive(true);
        b.dx = 0;
        b.dy = 16;
        b.speed = speed;
        b.setPosition(paddle().x + v, paddle().y - b.radius);
        return b;
    }
    int bounce(Ball& b)
    {
        Platform& p = paddle();
        return b.moveAndBounce(p.x, p.y, p.x - p.width / 2, p.x + p.width / 2, false);
    }
};

TEST_F(BallTest, ThePaddleSendsTheBallBackByWhereItWasHit)
{
    startGame({{1, levelFile({".f."})}});
    ASSERT_EQ(30, paddle().width);
    // The normal paddle's reach: half its width and the ball's radius.
    Ball& beside = dropOnPaddle(20);
    bounce(beside);
    EXPECT_EQ(16, beside.dy) << "20 pixels from the centre misses a 30-pixel paddle";
    paddle().width = 60;
    const struct
    {
        int v, dx, dy;
    } table[] = {{0, -1, -16},    {1, -1, -16},   {2, 1, -16},   {8, 4, -15},
                 {14, 7, -14},    {20, 10, -13},  {-9, -5, -15}, {-24, -12, -11},
                 {-26, -13, -10}, {-28, -14, -8}, {15, 7, -14}};
    for (const auto& row : table) {
        Ball& b = dropOnPaddle(row.v);
        EXPECT_EQ(0, bounce(b));
        EXPECT_EQ(row.dx, b.dx) << "v " << row.v;
        EXPECT_EQ(row.dy, b.dy) << "v " << row.v;
        EXPECT_EQ(paddle().y - b.radius, b.y);
    }
    EXPECT_EQ(16, Ball::verticalSpeedFor(3));
    EXPECT_EQ(5, Ball::verticalSpeedFor(-15));
    EXPECT_EQ(2, Ball::verticalSpeedFor(16));
    EXPECT_EQ(1, Ball::verticalSpeedFor(17));
    EXPECT_EQ(1, Ball::verticalSpeedFor(-1000));
}

TEST_F(BallTest, AWidePaddleSaturatesTheAngle)
{
    startGame({{1, levelFile({".f."})}});
    paddle().width = 80;
    Ball& b = dropOnPaddle(33);
    bounce(b);
    EXPECT_EQ(15, b.dx);
    EXPECT_EQ(-5, b.dy);
    Ball& c = dropOnPaddle(-31);
    bounce(c);
    EXPECT_EQ(-15, c.dx);
}

TEST_F(BallTest, AFastBallOverThePaddleIsCaughtNotLost)
{
    startGame({{1, levelFile({".f."})}});
    // 20 pixels a step: from just above the paddle to below the screen's edge in one step.
    Ball& b = dropOnPaddle(0, 20);
    b.setPosition(paddle().x, paddle().y - 2);
    EXPECT_EQ(0, bounce(b));
    EXPECT_TRUE(b.active);
    EXPECT_LT(b.dy, 0);
    EXPECT_EQ(paddle().y - b.radius, b.y);
    // The same ball beside the paddle is lost.
    b.dy = 16;
    b.setPosition(paddle().x + 60, paddle().y - 2);
    EXPECT_EQ(1, bounce(b));
    EXPECT_FALSE(b.active);
}

TEST_F(BallTest, WallsAndTopTurnTheBall)
{
    startGame({{1, levelFile({".f."})}});
    Ball& b = ball(0);
    b.setKind(1);
    b.setActive(true);
    b.speed = 1;
    b.dx = -4;
    b.dy = 0;
    b.setPosition(gridLeft + b.radius, 200);
    bounce(b);
    EXPECT_EQ(4, b.dx);
    b.setPosition(240 - gridLeft - b.radius, 200);
    bounce(b);
    EXPECT_EQ(-4, b.dx);
    b.dx = 0;
    b.dy = -16;
    b.setPosition(100, bricks().gridTop + b.radius);
    bounce(b);
    EXPECT_EQ(16, b.dy);
}

TEST_F(BallTest, SpeedGrowsAfterSpeedTimes256MovesAndAStepMovesSpeedTimesDirection)
{
    startGame({{1, levelFile({".f."})}});
    Ball& b = ball(0);
    b.setActive(true);
    b.dx = 0;
    b.dy = 0;
    b.speed = 2;
    b.speedCounter = 0;
    b.setPosition(120, 200);
    for (int i = 0; i < 512; ++i)
        bounce(b);
    EXPECT_EQ(2, b.speed);
    bounce(b);
    EXPECT_EQ(3, b.speed);
    EXPECT_EQ(0, b.speedCounter);
    b.dx = 5;
    b.dy = -7;
    b.setPosition(100, 150);
    b.step();
    EXPECT_EQ(100 * 16 + 15, b.x16);
    EXPECT_EQ(150 * 16 - 21, b.y16);
    EXPECT_EQ(100, b.x);
    EXPECT_EQ(148, b.y);
}

TEST_F(BallTest, AnEdgeIsCrossedOnlyWhenTheStepPassesItStrictly)
{
    startGame({{1, levelFile({".f."})}});
    BrickList& list = bricks();
    Tessarine& g = game();
    const int bottom = list.rowBottom(5);
    const int left = list.columnLeft(5);
    const int middle = left + 8 * 16;
    auto probe = [&](int x0, int y0, int x1, int y1) {
        (*g.probeStartX)[0] = x0;
        (*g.probeStartY)[0] = y0;
        (*g.probeEndX)[0] = x1;
        (*g.probeEndY)[0] = y1;
        (*g.probeMissed)[0] = true;
    };
    probe(middle, bottom + 40, middle, bottom);
    g.intersectEdge(5, 5, 0, 0);
    EXPECT_TRUE((*g.probeMissed)[0]) << "ending on the edge line is no crossing";
    probe(middle, bottom + 40, middle + 10, bottom - 40);
    g.intersectEdge(5, 5, 0, 0);
    ASSERT_FALSE((*g.probeMissed)[0]);
    EXPECT_EQ(bottom, (*g.probeHitY)[0]);
    EXPECT_EQ(middle + 5, (*g.probeHitX)[0]);
    EXPECT_EQ(5 * 5 + 40 * 40, (*g.probeDistance)[0]);
    EXPECT_FALSE((*g.probeVertical)[0]);
    // Crossing the line exactly at the cell's corner is outside the edge.
    probe(left, bottom + 40, left, bottom - 40);
    g.intersectEdge(5, 5, 0, 0);
    EXPECT_TRUE((*g.probeMissed)[0]);
    // A left edge, crossed from the left.
    const int top = list.rowTop(5);
    probe(left - 32, top + 64, left + 32, top + 96);
    g.intersectEdge(5, 5, 3, 0);
    ASSERT_FALSE((*g.probeMissed)[0]);
    EXPECT_TRUE((*g.probeVertical)[0]);
    EXPECT_EQ(left, (*g.probeHitX)[0]);
    EXPECT_EQ(top + 80, (*g.probeHitY)[0]);
    // A farther crossing does not replace a nearer one.
    g.intersectEdge(6, 5, 3, 0);
    EXPECT_EQ(5, (*g.probeColumn)[0]);
}

TEST_F(BallTest, ANormalBallBreaksThroughASingleHitBrickAndASmallOneBouncesOff)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
    for (int size : {1, 0}) {
        bricks().loadLevel(1);
        ASSERT_EQ(6, brick(5, 5).type);
        Ball& b = ball(0);
        b.setKind(size);
        b.setActive(true);
        b.speed = 2;
        b.dx = 0;
        b.dy = -16;
        b.setPosition(cellX(5), cellY(5) + 30);
        for (int i = 0; i < 30 && brick(5, 5).type == 6; ++i)
            game().processBalls();
        EXPECT_EQ(Brick::TYPE_DESTROYED, brick(5, 5).type) << "size " << size;
        if (size == 1)
            EXPECT_LT(b.dy, 0) << "flies on";
        else
            EXPECT_GT(b.dy, 0) << "bounces";
        EXPECT_EQ(0, bricks().remaining);
    }
}

TEST_F(BallTest, ABigFireBallPassesThroughHardBricksAndExplodesThem)
{
    startGame({{1, levelFile({"", "", "", ".....f.....", ".....e....."})}});
    bricks().loadLevel(1);
    Ball& b = ball(0);
    b.setKind(5);
    b.setActive(true);
    b.speed = 2;
    b.dx = 0;
    b.dy = -16;
    b.setPosition(cellX(5), cellY(4) + 30);
    for (int i = 0; i < 40 && b.y > cellY(3) - 12; ++i)
        game().processBalls();
    EXPECT_LT(b.dy, 0) << "never bounced";
    EXPECT_EQ(Brick::TYPE_DESTROYED, brick(4, 5).type);
    EXPECT_TRUE(brick(3, 5).type == Brick::TYPE_DESTROYED || brick(3, 5).type == 0);
}

} // namespace
