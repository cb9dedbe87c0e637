// The twelve bonus kinds caught by the paddle, bonuses lost during a morph or below the screen,
// the guns and the enemy bomb.
#include "TessarineFixture.h"

#include "gamelib/ScreenCanvas.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class BonusTest : public tessatest::TessarineTest
{
  protected:
    void SetUp() override
    {
        startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
        startPlaying();
    }
    // Drops a bonus just above the paddle and runs the step that catches it.
    void catchBonus(int kind)
    {
        paddle().spawnBonus(kind, paddle().x - 10, paddle().y - 8);
        step();
    }
    void settleMorph()
    {
        for (int i = 0; i < 20 && paddle().morphing; ++i)
            step();
        ASSERT_FALSE(paddle().morphing);
    }
    int activeBalls()
    {
        int n = 0;
        for (int i = 0; i < game().balls->length; ++i)
            n += ball(i).active;
        return n;
    }
};

TEST_F(BonusTest, GunsArmThePaddleAndFireAPairOnlyWhenBothBulletsLanded)
{
    catchBonus(Bonus::GUNS);
    EXPECT_TRUE(paddle().gunsOn);
    EXPECT_EQ(Platform::MORPH_GUNS, paddle().morphNumber);
    settleMorph();
    launch();
    EXPECT_TRUE(paddle().bullet1InFlight);
    EXPECT_TRUE(paddle().bullet2InFlight);
    const int y = paddle().bullet1->y;
    launch();
    EXPECT_LT(paddle().bullet1->y, y) << "the pair in flight is not fired again";
    for (int i = 0; i < 80 && (paddle().bullet1InFlight || paddle().bullet2InFlight); ++i)
        step();
    EXPECT_FALSE(paddle().bullet1InFlight);
    EXPECT_FALSE(paddle().bullet2InFlight);
    launch();
    EXPECT_TRUE(paddle().bullet1InFlight) << "both landed: the next fire shoots";
}

TEST_F(BonusTest, GlueHoldsTheBallAndDoesNothingOnceItsAnimationHasEnded)
{
    catchBonus(Bonus::GLUE);
    EXPECT_TRUE(paddle().sticky);
    EXPECT_TRUE(paddle().glueAnimation->playing);
    for (int i = 0; i < 20; ++i)
        step();
    EXPECT_TRUE(paddle().glueFinished());
    paddle().sticky = 0;
    catchBonus(Bonus::GLUE);
    EXPECT_FALSE(paddle().sticky) << "glue after its animation ended changes nothing";
    // A lost life makes it work again.
    game().resetActors();
    catchBonus(Bonus::GLUE);
    EXPECT_TRUE(paddle().sticky);
}

TEST_F(BonusTest, PaddleSizesChangeOneStepAtATimeAndABonusDuringAMorphIsLost)
{
    catchBonus(Bonus::SMALLER_PADDLE);
    EXPECT_EQ(0, paddle().paddleSize);
    EXPECT_TRUE(paddle().morphing);
    catchBonus(Bonus::BIGGER_PADDLE);
    EXPECT_EQ(0, paddle().paddleSize) << "caught while morphing: lost";
    settleMorph();
    EXPECT_EQ(20, paddle().width);
    catchBonus(Bonus::SMALLER_PADDLE);
    EXPECT_EQ(0, paddle().paddleSize);
    catchBonus(Bonus::BIGGER_PADDLE);
    settleMorph();
    EXPECT_EQ(1, paddle().paddleSize);
    EXPECT_EQ(30, paddle().width);
    catchBonus(Bonus::BIGGER_PADDLE);
    settleMorph();
    EXPECT_EQ(2, paddle().paddleSize);
    EXPECT_EQ(44, paddle().width);
    catchBonus(Bonus::BIGGER_PADDLE);
    EXPECT_FALSE(paddle().morphing);
    EXPECT_EQ(2, paddle().paddleSize);
}

TEST_F(BonusTest, SpeedFireSizeAndLivesBonuses)
{
    const int speed = ball(0).speed;
    catchBonus(Bonus::FASTER);
    EXPECT_EQ(speed + 1, ball(0).speed);
    catchBonus(Bonus::SLOWER);
    EXPECT_EQ(speed, ball(0).speed);
    ball(0).speed = 2;
    catchBonus(Bonus::SLOWER);
    EXPECT_EQ(2, ball(0).speed) << "never below 2";
    EXPECT_EQ(0, ball(0).size);
    catchBonus(Bonus::SMALLER_BALLS);
    EXPECT_EQ(0, ball(0).size);
    catchBonus(Bonus::BIGGER_BALLS);
    EXPECT_EQ(1, ball(0).size);
    EXPECT_EQ(1, ball(31).size) << "every ball of the array";
    catchBonus(Bonus::FIRE);
    EXPECT_EQ(4, ball(0).size);
    EXPECT_EQ(4, ball(0).radius);
    catchBonus(Bonus::BIGGER_BALLS);
    EXPECT_EQ(5, ball(0).size);
    EXPECT_EQ(6, ball(0).radius);
    catchBonus(Bonus::BIGGER_BALLS);
    EXPECT_EQ(5, ball(0).size);
    const int lives = game().lives;
    catchBonus(Bonus::EXTRA_LIFE);
    EXPECT_EQ(lives + 1, game().lives);
}

TEST_F(BonusTest, MoreBallsAddsOneOrTwoRoundsOfCopies)
{
    launch();
    steps(3);
    catchBonus(Bonus::MORE_BALLS);
    const int n = activeBalls();
    EXPECT_TRUE(n == 2 || n == 4) << n;
    EXPECT_EQ(n, paddle().ballsInPlay);
    for (int i = 1; i < n; ++i)
        EXPECT_TRUE(ball(i).visible);
}

TEST_F(BonusTest, TurboStaysUntilTheNextReset)
{
    catchBonus(Bonus::TURBO);
    EXPECT_TRUE(paddle().turbo);
    EXPECT_EQ(5, paddle().step);
    settleMorph();
    const int x = paddle().x;
    holdKey(gamelib::keyLeft, 2);
    EXPECT_EQ(x - 10, paddle().x);
    steps(40);
    EXPECT_TRUE(paddle().turbo);
    game().resetActors();
    EXPECT_FALSE(paddle().turbo);
    EXPECT_EQ(3, paddle().step);
}

TEST_F(BonusTest, AMissedBonusFallsOutAndAFullSetOfThreeLosesTheFourth)
{
    paddle().spawnBonus(Bonus::EXTRA_LIFE, 30, 300);
    paddle().spawnBonus(Bonus::EXTRA_LIFE, 30, 100);
    paddle().spawnBonus(Bonus::EXTRA_LIFE, 30, 100);
    paddle().spawnBonus(Bonus::FIRE, 30, 100);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Bonus::EXTRA_LIFE, (*paddle().bonuses)[i]->kind);
    const int lives = game().lives;
    steps(20);
    EXPECT_EQ(Bonus::NONE, (*paddle().bonuses)[0]->kind) << "gone below the screen";
    EXPECT_EQ(lives, game().lives);
}

TEST_F(BonusTest, TheEnemyBombCostsALifeWhateverTheNumberOfBalls)
{
    launch();
    steps(2);
    paddle().ballsInPlay = 3;
    Ball& bomb = *paddle().bomb;
    bomb.setPosition(paddle().x, paddle().y - 6);
    bomb.setActive(true);
    const int lives = game().lives;
    step();
    EXPECT_EQ(lives, game().lives) << "still falling";
    step();
    EXPECT_EQ(lives - 1, game().lives);
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(1, paddle().ballsInPlay);
}

TEST_F(BonusTest, ADestroyedBrickReleasesItsBonus)
{
    brick(5, 5).bonus = Bonus::TURBO;
    Ball& b = ball(0);
    b.setKind(1);
    brick(5, 5).hit(&b);
    EXPECT_EQ(Bonus::TURBO, (*paddle().bonuses)[0]->kind);
    EXPECT_EQ(brick(5, 5).x + 2, (*paddle().bonuses)[0]->x);
    EXPECT_EQ(0, brick(5, 5).bonus);
}

} // namespace
