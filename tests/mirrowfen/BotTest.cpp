// A simple player: it turns toward the nearest rock or saucer and keeps firing, with damage off.
// It must clear the first level within a bounded number of game steps.
#include "MirrowfenFixture.h"

#include "gamelib/ScreenCanvas.h"

#include <cmath>

using namespace mirrowfen;

namespace mirrowfentest {

namespace {

class BotTest : public MirrowfenTest
{
  protected:
    // The nearest live rock or saucer, or null.
    FlyingOPtr nearestTarget()
    {
        FlyingOPtr best;
        long bestD = 0;
        for (FlyingOArrayPtr list : {game().rocks, game().ufos}) {
            for (int i = 0; i < list->length; ++i) {
                FlyingOPtr o = (*list)[i];
                if (!o || o->hits < 1)
                    continue;
                const long d = (long)(o->x - ship().x) * (o->x - ship().x) +
                               (long)(o->y - ship().y) * (o->y - ship().y);
                if (!best || d < bestD) {
                    best = o;
                    bestD = d;
                }
            }
        }
        return best;
    }

    // Holds left or right toward the target's heading (16 steps counterclockwise from right).
    void aim(const FlyingO& target)
    {
        const double angle = std::atan2(-(target.y - ship().y), target.x - ship().x) * 180.0 / M_PI;
        const int wanted = (static_cast<int>(std::lround(angle / 22.5)) % 16 + 16) % 16;
        const int heading = (ship().quadrantIndex() * 4 + ship().step) % 16;
        const int turn = (wanted - heading + 16) % 16;
        gamelib::keyLeft = turn != 0 && turn < 8;
        gamelib::keyRight = turn >= 8;
    }
};

TEST_F(BotTest, TurningTowardTheNearestTargetAndFiringClearsTheFirstLevel)
{
    startGame();
    play();
    noDamage = 1;
    int gameStepsTaken = 0;
    for (; gameStepsTaken < 4000 && gameState == STATE_PLAYING; ++gameStepsTaken) {
        if (FlyingOPtr target = nearestTarget())
            aim(*target);
        gamelib::keyFire = 1;
        gameSteps(1);
    }
    EXPECT_EQ(STATE_LEVEL_CLEARED, gameState) << "after " << gameStepsTaken << " steps";
    EXPECT_EQ(3, ship().lives) << "no damage";
    EXPECT_EQ(1, currentLevel);
}

} // namespace

} // namespace mirrowfentest
