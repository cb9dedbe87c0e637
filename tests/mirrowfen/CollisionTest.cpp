// Collisions and scoring: shots against rocks and saucers, rocks split into balanced fragments
// within the slots there are, the big saucer's hits, the extra life every 5000 points, and the
// effect slots with their particles.
#include "MirrowfenFixture.h"

#include "gamelib/GameStatics.h"

using namespace mirrowfen;
using qev::lang::DStringPtr;

namespace mirrowfentest {

namespace {

class CollisionTest : public MirrowfenTest
{
  protected:
    void SetUp() override
    {
        startGame();
        play();
        clearField();
        parkShip(120, 300);
        addRock(3, 10, 10, 0, 0, 3); // a far rock keeps the level going
    }
    // A shot at (x, y) standing still.
    FlyingOPtr addShot(int x, int y)
    {
        FlyingOPtr shot = new FlyingO(x, y, 0, 0, 4, 50, 50, u"bb4", 0);
        (*game().shots)[0] = shot;
        game().shotCount = 1;
        return shot;
    }
};

TEST_F(CollisionTest, AShotDestroysASmallRockForTwoHundred)
{
    game().score = 1000;
    addRock(0, 100, 100, 0, 0, 3);
    addShot(100, 105);
    gameSteps(1);
    EXPECT_FALSE((*game().rocks)[0]);
    EXPECT_FALSE((*game().shots)[0]) << "the shot is spent";
    EXPECT_EQ(1200, game().score);
    EXPECT_GE(game().effectsInUse, 1) << "an explosion shows";
}

TEST_F(CollisionTest, AShotSplitsALargeRockIntoBalancedFragments)
{
    game().score = 1000;
    addRock(0, 100, 100, 0, 0, 1, 2);
    addShot(100, 100);
    gameSteps(1);
    EXPECT_EQ(1300, game().score) << "100 for the split, 200 for the hit";
    std::vector<FlyingOPtr> fragments;
    for (int i = 0; i < 3; ++i)
        if ((*game().rocks)[i])
            fragments.push_back((*game().rocks)[i]);
    ASSERT_GE(fragments.size(), 2u);
    ASSERT_LE(fragments.size(), 3u);
    const FlyingOPtr& last = fragments.back();
    EXPECT_EQ(2, last->speedFactor);
    int sumX = 0;
    int sumY = 0;
    for (size_t i = 0; i + 1 < fragments.size(); ++i) {
        EXPECT_LT(fragments[i]->collisionValue, 350);
        EXPECT_EQ(fragments[i]->collisionValue, last->collisionValue);
        sumX += fragments[i]->dx;
        sumY += fragments[i]->dy;
    }
    EXPECT_EQ(-sumX, last->dx);
    EXPECT_EQ(-sumY, last->dy);
    if (fragments.size() == 3) {
        EXPECT_EQ(200, last->collisionValue) << "three fragments are small";
    }
}

TEST_F(CollisionTest, AMediumRockSplitsIntoTwoSmallOnes)
{
    addRock(0, 100, 100, 0, 0, 2, 2);
    game().splitRock(0, 0, 0);
    ASSERT_TRUE((*game().rocks)[0]);
    ASSERT_TRUE((*game().rocks)[1]);
    EXPECT_EQ(200, (*game().rocks)[0]->collisionValue);
    EXPECT_EQ(200, (*game().rocks)[1]->collisionValue);
    EXPECT_FALSE((*game().rocks)[2]);
}

TEST_F(CollisionTest, WithoutFreeSlotsASplitMakesFewerFragments)
{
    game().rocks = new FlyingOArray(1);
    addRock(0, 100, 100, 0, 0, 1, 1);
    game().splitRock(0, 0, 0);
    ASSERT_TRUE((*game().rocks)[0]);
    EXPECT_LT((*game().rocks)[0]->collisionValue, 350);
    EXPECT_EQ(1, game().rocks->length) << "the array never grows";

    game().rocks = new FlyingOArray(0);
    const int score = game().score;
    game().splitRock(0, 0, 0);
    EXPECT_EQ(score, game().score) << "nothing to split";
}

TEST_F(CollisionTest, RammingALargeRockSplitsItAndAMediumOneIsDestroyed)
{
    game().score = 0;
    // In the last slot, so that its fragments land in slots this step has passed.
    addRock(2, 120, 300, 0, 0, 1, 1);
    gameSteps(1);
    EXPECT_EQ(2, ship().lives);
    ASSERT_TRUE((*game().rocks)[2]) << "a fragment took the slot";
    EXPECT_LT((*game().rocks)[2]->collisionValue, 350);
    EXPECT_TRUE((*game().rocks)[0]);
    EXPECT_EQ(200, game().score) << "100 for the ram, 100 for the split";

    clearField();
    addRock(3, 10, 10, 0, 0, 3);
    ship().invulnerable = 0;
    ship().pendingTurns = 0;
    parkShip(120, 300);
    addRock(0, 120, 300, 0, 0, 2, 1);
    gameSteps(1);
    EXPECT_FALSE((*game().rocks)[0]);
    EXPECT_EQ(1, ship().lives);
    EXPECT_EQ(400, game().score);
}

TEST_F(CollisionTest, SaucersScoreWhenShotAndTheBigOneTakesFourHits)
{
    game().score = 0;
    FlyingOPtr small = addUfo(0, 60, 100, 0, 0, 1);
    small->steerCounter = -1000;
    addShot(60, 100);
    gameSteps(1);
    EXPECT_FALSE((*game().ufos)[0]);
    EXPECT_EQ(200, game().score);

    FlyingOPtr big = addUfo(0, 60, 100, 0, 0, 3);
    big->steerCounter = -1000;
    for (int hit = 1; hit <= 3; ++hit) {
        addShot(60, 100);
        gameSteps(1);
        ASSERT_TRUE((*game().ufos)[0]) << hit;
        EXPECT_EQ(4 - hit, big->hits);
        EXPECT_EQ(200, game().score) << "no points before the last hit";
    }
    addShot(60, 100);
    gameSteps(1);
    EXPECT_FALSE((*game().ufos)[0]);
    EXPECT_EQ(400, game().score);
}

TEST_F(CollisionTest, TheBigSaucerNeverMeetsLargeOrMediumRocks)
{
    FlyingOPtr big = addUfo(0, 60, 100, 0, 0, 3);
    big->steerCounter = -1000;
    addRock(1, 60, 100, 0, 0, 1, 1);
    addRock(2, 60, 100, 0, 0, 2, 1);
    EXPECT_TRUE(game().collide(game().rocks, big, 0)) << "a record: no hit";
    addRock(0, 60, 100, 0, 0, 3);
    EXPECT_FALSE(game().collide(game().rocks, big, 0)) << "a small rock is met";
    EXPECT_EQ(3, big->hits);
}

TEST_F(CollisionTest, ASaucerSplittingARockGivesThePlayerAHundred)
{
    game().score = 0;
    FlyingOPtr ufo = addUfo(0, 60, 100, 0, 0, 1);
    addRock(0, 60, 100, 0, 0, 2, 1);
    EXPECT_FALSE(game().collide(game().rocks, ufo, 0));
    EXPECT_EQ(100, game().score);
}

TEST_F(CollisionTest, ARocketThatHitsTheShipCostsALifeAndScores)
{
    game().score = 0;
    (*game().rockets)[0] = new FlyingO(120, 290, 0, 0, 1, 50, 50, u"rocket0_lv", 0);
    gameSteps(1);
    EXPECT_FALSE((*game().rockets)[0]);
    EXPECT_EQ(2, ship().lives);
    EXPECT_EQ(200, game().score);
    EXPECT_GE(game().effectsInUse, 1);
}

TEST_F(CollisionTest, ARocketShotDownScoresNothing)
{
    game().score = 0;
    (*game().rockets)[0] = new FlyingO(60, 100, 0, 0, 1, 50, 50, u"rocket0", 0);
    addShot(60, 100);
    gameSteps(1);
    EXPECT_FALSE((*game().rockets)[0]);
    EXPECT_EQ(0, game().score);
    EXPECT_EQ(3, ship().lives);
}

TEST_F(CollisionTest, SaucersChangeCourseOnlyWhileShotsFly)
{
    FlyingOPtr ufo = addUfo(0, 60, 100, 1, 1, 1);
    addRock(1, 60, 150, -3, -3, 3);
    ufo->steerCounter = 100;
    gameSteps(1);
    EXPECT_EQ(1, ufo->dx) << "no shot in flight: the empty record wins";
    EXPECT_EQ(0, ufo->steerCounter);

    (*game().rocks)[1]->x = 60;
    (*game().rocks)[1]->y = 150;
    ufo->x = 60;
    ufo->y = 100;
    ufo->steerCounter = 100;
    addShot(200, 300);
    gameSteps(1);
    EXPECT_GE(ufo->dx, -4) << "it follows the nearest rock";
    EXPECT_LE(ufo->dx, -2);
}

TEST_F(CollisionTest, AnExtraLifeComesAtEveryFiveThousandPoints)
{
    ship().lives = 3;
    game().lastBonusScore = 0;
    game().score = 4999;
    game().checkBonusLife();
    EXPECT_EQ(3, ship().lives);
    game().score = 5000;
    game().checkBonusLife();
    EXPECT_EQ(4, ship().lives);
    EXPECT_EQ(5000, game().lastBonusScore);
    game().score = 9999;
    game().checkBonusLife();
    EXPECT_EQ(4, ship().lives);
    game().score = 10000;
    game().checkBonusLife();
    EXPECT_EQ(5, ship().lives);
}

TEST_F(CollisionTest, WithEveryEffectSlotBusyAHitStillScoresWithoutExplosion)
{
    for (int s = 0; s < Mirrowfen::kEffectSlots; ++s)
        ASSERT_TRUE(game().explode(50, 50));
    EXPECT_FALSE(game().explode(50, 50));
    game().score = 0;
    addRock(0, 100, 100, 0, 0, 3);
    EXPECT_FALSE(game().collide(game().shots = new FlyingOArray(7), (*game().rocks)[0], 0) ==
                 nullptr)
        << "no shot: a record";
    addShot(100, 100);
    gameSteps(1);
    EXPECT_FALSE((*game().rocks)[0]);
    EXPECT_EQ(200, game().score);
}

TEST_F(CollisionTest, AnExplosionRunsDebrisSparksAndAFlashThenFreesItsSlot)
{
    ASSERT_TRUE(game().explode(100, 100));
    EXPECT_EQ(1, game().effectsInUse);
    auto frameOf = [&](int row) { return (*(*game().particles)[row])[Mirrowfen::P_FRAME]; };
    EXPECT_EQ(0, frameOf(1)) << "debris at once";
    EXPECT_EQ(-1, frameOf(5));
    gameSteps(3);
    EXPECT_GE(frameOf(5), 4) << "sparks two steps later";
    bool flashed = false;
    for (int i = 0; i < 3 && !flashed; ++i) {
        gameSteps(1);
        flashed = frameOf(0) >= 0 || frameOf(1) == 0;
    }
    EXPECT_TRUE(flashed) << "a flash or a second burst at the fourth step";
    steps(3);
    gameSteps(60);
    EXPECT_EQ(-1, (*(*game().effects)[0])[Mirrowfen::EFFECT_PHASE]);
    EXPECT_EQ(0, game().effectsInUse);
}

TEST_F(CollisionTest, AFlashAtTheLeftEdgeDrawsOnlyItsRightQuarters)
{
    game().effectsInUse = 1;
    qev::lang::DintArrayPtr fx = (*game().effects)[0];
    (*fx)[Mirrowfen::EFFECT_PHASE] = 20;
    qev::lang::DintArrayPtr flash = (*game().particles)[0];
    (*flash)[0] = 0;
    (*flash)[1] = 100;
    (*flash)[Mirrowfen::P_FRAME] = 1;
    game().paint();
    gamelib::screenCanvas->flushGraphics();
    EXPECT_TRUE(pixelIs(3, 97, kEffectColour)) << "top-right quarter";
    EXPECT_TRUE(pixelIs(3, 103, kEffectColour)) << "bottom-right quarter";
    (*flash)[0] = 50;
    game().paint();
    gamelib::screenCanvas->flushGraphics();
    EXPECT_TRUE(pixelIs(46, 97, kEffectColour)) << "the left quarters where x > 0";
}

} // namespace

} // namespace mirrowfentest
