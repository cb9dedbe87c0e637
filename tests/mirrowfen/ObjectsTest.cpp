// Flying objects and level generation: kinds and budgets from the construction rules, random
// places and speeds, movement with wrap or bounce, the wrapped second copy on screen, the
// rocket directions by slope band and the saucers and rocks of each level.
#include "MirrowfenFixture.h"

#include "gamelib/GameStatics.h"

using namespace mirrowfen;
using qev::lang::DStringPtr;

namespace mirrowfentest {

namespace {

class ObjectsTest : public MirrowfenTest
{
  protected:
    void SetUp() override
    {
        startGame();
        play();
        clearField();
        parkShip(120, 160);
    }
};

TEST_F(ObjectsTest, ConstructionSetsKindBudgetHitsAndRockNames)
{
    FlyingOPtr shot = new FlyingO(1, 2, 3, 4, 4, 50, 50, u"bb4", 0);
    EXPECT_EQ(FlyingO::KIND_SHOT, shot->kind);
    EXPECT_EQ(200, shot->collisionValue);
    FlyingOPtr big = new FlyingO(1, 2, 6, -6, 1, 150, 150, u"ufo3", 0);
    EXPECT_EQ(FlyingO::KIND_BIG_UFO, big->kind);
    EXPECT_EQ(430, big->collisionValue);
    EXPECT_EQ(4, big->hits);
    EXPECT_EQ(3, big->dx) << "the big saucer's velocity is halved";
    EXPECT_EQ(-3, big->dy);
    FlyingOPtr ufo = new FlyingO(1, 2, 1, 1, 1, 150, 150, u"ufo2", 0);
    EXPECT_EQ(FlyingO::KIND_UFO, ufo->kind);
    EXPECT_EQ(250, ufo->collisionValue);
    FlyingOPtr large = new FlyingO(1, 2, 1, 1, 1, 1, 2, DStringPtr(), 0);
    EXPECT_EQ(FlyingO::KIND_SPIN_ROCK, large->kind);
    EXPECT_EQ(350, large->collisionValue);
    EXPECT_EQ("a120", gamelibtest::ascii(large->imageName));
    FlyingOPtr small = new FlyingO(1, 2, 1, 1, 1, 3, 1, DStringPtr(), 0);
    EXPECT_EQ(FlyingO::KIND_TURN_ROCK, small->kind);
    EXPECT_EQ(200, small->collisionValue);
}

TEST_F(ObjectsTest, RandomPlacesAvoidTheMiddleBandAndSpeedsAreNeverZero)
{
    for (int i = 0; i < 300; ++i) {
        FlyingOPtr o =
            new FlyingO(FlyingO::kRandom, 0, FlyingO::kRandom, 0, 1, 3, 1, DStringPtr(), -1);
        EXPECT_FALSE(320 / 3 < o->y && o->y < 320 / 2) << o->y;
        EXPECT_FALSE(320 / 2 < o->y && o->y < 640 / 3) << o->y;
        EXPECT_NE(0, o->dx);
        EXPECT_NE(0, o->dy);
        EXPECT_GE(o->dx, -3);
        EXPECT_LE(o->dx, 3);
        EXPECT_GE(o->frameDelay, 0);
        EXPECT_LE(o->frameDelay, 4);
        EXPECT_GE(o->frame, 0);
        EXPECT_LE(o->frame, 3);
    }
}

TEST_F(ObjectsTest, ObjectsBounceOrWrapAtEachEdge)
{
    boundsOn = 1;
    FlyingOPtr rock = addRock(0, 238, 10, 5, 0, 3);
    rock->move();
    EXPECT_EQ(240, rock->x);
    EXPECT_EQ(-5, rock->dx);
    rock->x = 2;
    rock->move();
    EXPECT_EQ(0, rock->x);
    EXPECT_EQ(5, rock->dx);
    rock->dx = 0;
    rock->dy = 5;
    rock->y = 318;
    rock->move();
    EXPECT_EQ(319, rock->y);
    EXPECT_EQ(-5, rock->dy);
    rock->y = 2;
    rock->move();
    EXPECT_EQ(1, rock->y);
    EXPECT_EQ(5, rock->dy);

    boundsOn = 0;
    rock->width = rock->height = 10; // a quarter is 2
    rock->dy = 0;
    rock->dx = 1;
    rock->x = 243;
    rock->move();
    EXPECT_EQ(244 - 241, rock->x);
    rock->dx = -1;
    rock->x = -3;
    rock->move();
    EXPECT_EQ(-4 + 241, rock->x);
    rock->dx = 0;
    rock->dy = -1;
    rock->x = 100;
    rock->y = -3;
    rock->move();
    EXPECT_EQ(-4 + 321, rock->y);

    FlyingOPtr big = addUfo(0, 100, 100, 0, 0, 3);
    big->width = 40;
    big->dx = 1;
    big->x = 251;
    big->move();
    EXPECT_EQ(252 - 281, big->x) << "the big saucer leaves the screen whole";
}

TEST_F(ObjectsTest, AWrappingRockAtTheLeftEdgeIsDrawnTwice)
{
    addRock(0, 4, 50, 0, 0, 1, 1); // 28 wide: from -10 to 17
    steps(3);
    EXPECT_TRUE(pixelIs(2, 50, kRockColour));
    EXPECT_TRUE(pixelIs(235, 50, kRockColour)) << "the copy W to the right";
    boundsOn = 1;
    steps(3);
    EXPECT_FALSE(pixelIs(235, 50, kRockColour)) << "no copy when the field bounces";
}

TEST_F(ObjectsTest, TurningRocksShowFourFramesInEachOfFourTurns)
{
    FlyingOPtr rock = addRock(0, 50, 50, 0, 0, 1, 1);
    rock->frame = 0;
    rock->frameDelay = 0;
    std::vector<std::string> names;
    for (int i = 0; i < 16; ++i) {
        gameSteps(1);
        names.push_back(gamelibtest::ascii(rock->imageName));
    }
    EXPECT_EQ("a111", names[0]);
    EXPECT_EQ("a113", names[2]);
    EXPECT_EQ("a110_up", names[3]);
    EXPECT_EQ("a110_lv", names[7]);
    EXPECT_EQ("a110_dn", names[11]);
    EXPECT_EQ("a110", names[15]);
}

TEST_F(ObjectsTest, RocketsFlyOnlyAlongTheStraightLinesAndThreeSlopeBands)
{
    game().rockets = new FlyingOArray(1);
    struct Case
    {
        int dx, dy;
        const char* name;
        int vx, vy;
    };
    const Case cases[] = {
        {0, 50, "rocket0_lv", 0, 8},       {1, -50, "rocket0", 0, -8},
        {50, 1, "rocket0_dn", 8, 0},       {-50, 0, "rocket0_up", -8, 0},
        {1, 1, "rocket0_dn", 8, 0},        {20, -50, "rocket1", 4, -6},
        {50, -50, "rocket2", 4, -4},       {-120, 50, "rocket3_lv", -6, 4},
        {20, 50, "rocket3_dn", 4, 6},      {-50, -50, "rocket2_up", -4, -4},
        {-120, -50, "rocket1_up", -6, -4},
    };
    for (const Case& c : cases) {
        (*game().rockets)[0] = nullptr;
        ASSERT_TRUE(game().launchRocket(0, 100, 100, c.dx, c.dy)) << c.dx << "," << c.dy;
        FlyingOPtr r = (*game().rockets)[0];
        EXPECT_EQ(c.name, gamelibtest::ascii(r->imageName)) << c.dx << "," << c.dy;
        EXPECT_EQ(c.vx, r->dx) << c.dx << "," << c.dy;
        EXPECT_EQ(c.vy, r->dy) << c.dx << "," << c.dy;
    }
    (*game().rockets)[0] = nullptr;
    EXPECT_FALSE(game().launchRocket(0, 100, 100, 70, 50)) << "slope 1.4 is outside the bands";
    EXPECT_TRUE(game().launchRocket(0, 100, 100, 0, 50));
    EXPECT_FALSE(game().launchRocket(0, 100, 100, 0, 50)) << "one rocket per slot";
}

TEST_F(ObjectsTest, TheBigSaucerFiresOnItsThirtiethStep)
{
    game().rockets = new FlyingOArray(1);
    FlyingOPtr big = addUfo(0, 120, 40, 0, 0, 3);
    big->steerCounter = -1000;
    gameSteps(29);
    EXPECT_FALSE((*game().rockets)[0]);
    gameSteps(1);
    ASSERT_TRUE((*game().rockets)[0]);
    EXPECT_EQ("rocket0_lv", gamelibtest::ascii((*game().rockets)[0]->imageName))
        << "the ship is straight below";
}

TEST_F(ObjectsTest, LevelsHaveTheirSaucersAndAtMostSixUnitsOfRock)
{
    const int expected[20][3] = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {1, 1, 0}, {2, 1, 0},
                                 {3, 1, 0}, {1, 1, 1}, {2, 1, 1}, {3, 1, 1}, {1, 2, 1},
                                 {2, 2, 1}, {3, 2, 1}, {1, 2, 1}, {2, 2, 1}, {3, 2, 1},
                                 {1, 3, 2}, {2, 3, 2}, {3, 3, 2}, {1, 3, 2}, {2, 3, 2}};
    for (int level = 1; level <= 20; ++level) {
        currentLevel = level;
        game().startLevel(level, 0);
        int kinds[5] = {};
        for (int i = 0; i < game().ufos->length; ++i)
            kinds[(*game().ufos)[i]->kind] += 1;
        EXPECT_EQ(expected[level - 1][0], kinds[FlyingO::KIND_SMALL_UFO]) << level;
        EXPECT_EQ(expected[level - 1][1], kinds[FlyingO::KIND_UFO]) << level;
        EXPECT_EQ(expected[level - 1][2], kinds[FlyingO::KIND_BIG_UFO]) << level;
        EXPECT_EQ(expected[level - 1][2], game().rockets->length) << level;
        EXPECT_LE(game().rocks->length, 6);
        int units = 0;
        for (int i = 0; i < game().rocks->length; ++i) {
            FlyingOPtr r = (*game().rocks)[i];
            if (!r)
                continue;
            units += r->collisionValue == 350 ? 4 : r->collisionValue == 250 ? 2 : 1;
            if (i <= 4) {
                EXPECT_LT(r->dy, 0) << "the first rocks start upwards";
            }
        }
        EXPECT_GE(units, game().rocks->length);
        EXPECT_LE(units, game().rocks->length + 3);
        EXPECT_EQ(0, game().effectsInUse);
        EXPECT_EQ(0, game().shotCount);
    }
}

} // namespace

} // namespace mirrowfentest
