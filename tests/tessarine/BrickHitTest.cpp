// Every brick type against every ball size, bullets, and the detonator's bomb chain.
#include "TessarineFixture.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class BrickHitTest : public tessatest::TessarineTest
{
};

TEST_F(BrickHitTest, EveryBrickTypeAgainstEveryBallSize)
{
    // Row 0 holds one brick of each letter a..j (without "i"), hit once by a ball of each size.
    const std::string letters = "abcdefghj";
    const int startHits[9] = {2, 3, 1, 1, 1, 1, 1, 1, 5};
    // Type after one hit, by letter and size 0..5 (-100 destroyed, -101 regenerating brick gone).
    const int after[9][6] = {{1, -100, -100, -100, -100, -100},
                             {2, -100, -100, -100, -100, -100},
                             {-101, -101, -101, -100, -100, -100},
                             {-100, -100, -100, -100, -100, -100},
                             {5, 5, 5, 5, -100, -100},
                             {-100, -100, -100, -100, -100, -100},
                             {-100, -100, -100, -100, -100, -100},
                             {-100, -100, -100, -100, -100, -100},
                             {9, 9, 9, 9, -100, -100}};
    // Hit points left of the bricks that stand.
    const int left[9][6] = {
        {1, 0, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0}, {}, {}, {1, 1, 1, 1, 0, 0}, {}, {}, {},
        {4, 3, 2, 2, 0, 0}};
    startGame({{1, levelFile({"...........", "..........."})}});
    for (int l = 0; l < 9; ++l) {
        for (int size = 0; size < 6; ++size) {
            bricks().loadLevel(1);
            Brick& b = brick(10, 5);
            b.init(0, 0);
            int type = 0, hitPoints = 0;
            BrickList::cellOf(letters[l], type, hitPoints);
            ASSERT_EQ(startHits[l], hitPoints);
            b.init(type, hitPoints);
            const bool counts = Brick::counts(type);
            bricks().remaining = counts ? hitPoints : 0;
            bricks().score = 0;
            Ball& ball0 = ball(0);
            ball0.setKind(size);
            b.hit(&ball0);
            EXPECT_EQ(after[l][size], b.type) << letters[l] << " size " << size;
            if (b.type > 0) {
                EXPECT_EQ(left[l][size], b.hits) << letters[l] << " size " << size;
                if (counts) {
                    EXPECT_EQ(b.hits, bricks().remaining) << letters[l] << " size " << size;
                }
            } else {
                EXPECT_EQ(0, bricks().remaining) << letters[l] << " size " << size;
            }
            if (type == Brick::TYPE_HARD)
                EXPECT_EQ(0, bricks().score) << "a hard brick scores nothing";
            else
                EXPECT_GT(bricks().score, 0) << letters[l] << " size " << size;
        }
    }
}

TEST_F(BrickHitTest, AThreeHitBrickShowsItsImagesAsItsHitsFall)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....b....."})}});
    bricks().loadLevel(1);
    Brick& b = brick(5, 5);
    Ball& small = ball(0);
    small.setKind(0);
    EXPECT_EQ((*bricks().threeHitImages)[0].operator->(), b.image.get());
    b.hit(&small);
    EXPECT_EQ((*bricks().threeHitImages)[1].operator->(), b.image.get());
    b.hit(&small);
    EXPECT_EQ((*bricks().threeHitImages)[2].operator->(), b.image.get());
    EXPECT_EQ(1, b.hits);
    b.hit(&small);
    EXPECT_EQ(Brick::TYPE_DESTROYED, b.type);
    EXPECT_EQ(0, bricks().remaining);
}

TEST_F(BrickHitTest, ABulletOnlyDamages)
{
    startGame({{1, levelFile({"", "", "", "", "", ".....a....."})}});
    bricks().loadLevel(1);
    Ball& bullet = *paddle().bullet1;
    brick(5, 5).hit(&bullet);
    EXPECT_EQ(1, brick(5, 5).type);
    EXPECT_EQ(1, brick(5, 5).hits);
}

TEST_F(BrickHitTest, TheDetonatorLightsTheFirstBombWhichChainsIntoItsNeighbours)
{
    // d at (3, 0); bombs at (6, 2), (6, 3) and (7, 4); plain bricks at (6, 4) and (8, 3).
    startGame({{1, levelFile({"", "", "", "d..........", "", "", "..hhf......", "....h......",
                              "...f......."})}});
    bricks().loadLevel(1);
    EXPECT_EQ(1 + 3 + 1 + 1, bricks().remaining);
    Ball& b = ball(0);
    b.setKind(1);
    brick(3, 0).hit(&b);
    EXPECT_EQ(Brick::TYPE_DESTROYED, brick(3, 0).type);
    EXPECT_EQ(Brick::TYPE_BOMB_COUNTDOWN, brick(6, 2).type) << "the first bomb counts down";
    EXPECT_EQ(8, brick(6, 3).type);
    EXPECT_EQ(4, bricks().remaining);
    // Six painted steps of countdown, then the explosion reaches its neighbours.
    for (int i = 0; i < 5; ++i)
        bricks().animateBricks();
    EXPECT_EQ(Brick::TYPE_BOMB_COUNTDOWN, brick(6, 2).type);
    bricks().animateBricks();
    EXPECT_EQ(Brick::TYPE_BOMB_EXPLODING, brick(6, 2).type);
    EXPECT_EQ(Brick::TYPE_BOMB_COUNTDOWN, brick(6, 3).type);
    EXPECT_EQ(8, brick(7, 4).type) << "two cells away: not reached yet";
    EXPECT_EQ(6, brick(6, 4).type);
    for (int i = 0; i < 6; ++i)
        bricks().animateBricks();
    EXPECT_EQ(Brick::TYPE_BOMB_COUNTDOWN, brick(7, 4).type) << "the second bomb reached it";
    EXPECT_TRUE(brick(6, 4).type <= 0) << "its plain neighbour is gone";
    for (int i = 0; i < 7; ++i)
        bricks().animateBricks();
    EXPECT_TRUE(brick(8, 3).type <= 0);
    EXPECT_EQ(0, bricks().remaining);
    EXPECT_EQ(0, bricks().standingHitPoints());
}

} // namespace
