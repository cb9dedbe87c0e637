// Enemies: their band of the field, meeting balls (the swallower and the fire ball), carrying a
// ball and giving it back when shot.
#include "TessarineFixture.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class EnemyTest : public tessatest::TessarineTest
{
  protected:
    void SetUp() override
    {
        startGame({{1, levelFile({"", "", "", "", "", "...fffff..."})}});
        startPlaying();
        launch();
        steps(2);
    }
    Enemy& enemy(int i) { return *(*game().enemies)[i]; }
    // Enemy 0 of the variant, standing at (x, y).
    Enemy& place(int variant, int x, int y)
    {
        Enemy& e = enemy(0);
        e.appear(variant);
        e.x = x;
        e.y = y;
        e.vx = e.vy = 0;
        e.turnTime = now() + 1000000;
        return e;
    }
    // Ball i in flight at (x, y).
    Ball& flying(int i, int size, int x, int y)
    {
        Ball& b = ball(i);
        b.setKind(size);
        b.setActive(true);
        b.dx = 3;
        b.dy = -12;
        b.setPosition(x, y);
        return b;
    }
};

TEST_F(EnemyTest, AnEnemyEntersFromAboveAndStaysInItsBand)
{
    Enemy& e = enemy(0);
    e.appear(Enemy::PLAIN);
    EXPECT_EQ(120, e.x);
    EXPECT_EQ(-11, e.y);
    EXPECT_EQ(1, e.vy);
    bool entered = false;
    for (int i = 0; i < 3000; ++i) {
        e.wander();
        if (e.y - e.height / 2 >= bricks().gridTop)
            entered = true;
        if (entered) {
            ASSERT_GE(e.y - e.height / 2, bricks().gridTop - 1) << "step " << i;
            ASSERT_LE(e.y + e.height / 2, 320 - 30 + 1) << "step " << i;
        }
        ASSERT_GE(e.x, gridLeft);
        ASSERT_LE(e.x, gridLeft + bricks().gridWidth);
        ASSERT_TRUE(e.vx == 1 || e.vx == -1 || e.vx == -3 || e.vx == 0 || e.vx == 3) << e.vx;
    }
    EXPECT_TRUE(entered);
}

TEST_F(EnemyTest, ABallDestroysAPlainEnemyAndTurnsBack)
{
    Enemy& e = place(Enemy::PLAIN, 120, 200);
    Ball& b = flying(0, 1, 121, 202);
    const int score = game().score();
    game().processEnemies();
    EXPECT_FALSE(e.active);
    EXPECT_EQ(-3, b.dx);
    EXPECT_EQ(12, b.dy);
    EXPECT_EQ(score + 1, game().score());
}

TEST_F(EnemyTest, AFireBallDestroysASwallowerInsteadOfBeingSwallowed)
{
    Enemy& e = place(Enemy::SWALLOWER, 120, 200);
    Ball& b = flying(0, 4, 121, 202);
    game().processEnemies();
    EXPECT_FALSE(e.active);
    EXPECT_TRUE(b.active);
}

TEST_F(EnemyTest, ASwallowedLastBallCostsALifeAndANewBallWaitsOnThePaddleAtOnce)
{
    Enemy& e = place(Enemy::SWALLOWER, 120, 200);
    Ball& b = flying(0, 1, 121, 202);
    ASSERT_EQ(1, paddle().ballsInPlay);
    const int lives = game().lives;
    game().processEnemies();
    EXPECT_EQ(lives - 1, game().lives);
    EXPECT_EQ(STATE_PLAYING, gameState) << "no get-ready pause";
    EXPECT_TRUE(e.active);
    EXPECT_EQ(Enemy::CARRIER, e.variant);
    EXPECT_EQ(&b, e.carriedBall.get());
    EXPECT_FALSE(b.active);
    Ball& fresh = ball(1);
    EXPECT_TRUE(fresh.active);
    EXPECT_FALSE(fresh.released);
    // The carried ball goes where the carrier goes.
    e.vx = 1;
    e.wander();
    EXPECT_EQ(e.x, b.x);
    EXPECT_EQ(e.y, b.y);
}

TEST_F(EnemyTest, ShootingACarrierGivesItsBallBackWithAnExtraLife)
{
    flying(1, 1, 60, 250);
    paddle().ballsInPlay = 2;
    Enemy& e = place(Enemy::SWALLOWER, 120, 200);
    Ball& b = flying(0, 1, 121, 202);
    game().processEnemies();
    ASSERT_EQ(Enemy::CARRIER, e.variant);
    EXPECT_EQ(1, paddle().ballsInPlay);
    Ball& bullet = *paddle().bullet1;
    bullet.setPosition(120, 203);
    EXPECT_TRUE(paddle().bulletImpact(bullet));
    EXPECT_FALSE(e.active);
    EXPECT_TRUE(b.active);
    EXPECT_EQ(2, paddle().ballsInPlay);
    EXPECT_EQ(Bonus::EXTRA_LIFE, (*paddle().bonuses)[0]->kind);
}

TEST_F(EnemyTest, WhenCarriersHoldEveryBallThePaddleGetsANewOne)
{
    // Two carriers hold the only two balls while the paddle still counts one in play (a carrier
    // hit and its ball swallowed again in a busy step leave the count one ahead), so no life is
    // lost either: without a new ball the round could never go on.
    Enemy& first = place(Enemy::SWALLOWER, 120, 200);
    Enemy& second = enemy(1);
    second.appear(Enemy::SWALLOWER);
    second.x = 60;
    second.y = 150;
    for (Enemy* e : {&first, &second}) {
        e->vx = e->vy = 0;
        e->turnTime = now() + 1000000;
        e->variant = Enemy::CARRIER;
    }
    first.carriedBall = (*game().balls)[0];
    second.carriedBall = (*game().balls)[1];
    for (int i = 0; i < 2; ++i) {
        ball(i).setActive(true);
        ball(i).active = 0;
    }
    paddle().ballsInPlay = 1;
    const int lives = game().lives;
    step();
    int held = -1;
    for (int i = 0; i < game().balls->length; ++i)
        if (ball(i).active && !ball(i).released)
            held = i;
    ASSERT_GE(held, 2) << "no ball left to play with";
    EXPECT_TRUE(ball(held).visible);
    EXPECT_EQ(paddle().y - 1, ball(held).y);
    EXPECT_EQ(lives, game().lives);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_EQ(&ball(0), first.carriedBall.get());
    launch();
    EXPECT_TRUE(ball(held).released);
}

TEST_F(EnemyTest, ABomberDropsItsBombTowardsThePaddle)
{
    Enemy& e = place(Enemy::BOMBER, 120, 150);
    for (int i = 0; i < 2000 && !paddle().bomb->active; ++i)
        e.wander();
    ASSERT_TRUE(paddle().bomb->active);
    EXPECT_EQ(16, paddle().bomb->dy);
    EXPECT_EQ(0, paddle().bomb->dx);
}

TEST_F(EnemyTest, AnEnemyTurnsAtABrick)
{
    // The brick row 5 spans columns 3..7; an enemy right below it moving up turns down.
    Enemy& e = place(Enemy::PLAIN, cellX(5), cellY(5) + 12);
    e.vy = -1;
    e.wander();
    EXPECT_EQ(1, e.vy);
    EXPECT_TRUE(e.hitsBrick(cellX(3), cellY(5)));
    EXPECT_FALSE(e.hitsBrick(cellX(2), cellY(5)));
    EXPECT_FALSE(e.hitsBrick(cellX(5), cellY(6)));
}

} // namespace
