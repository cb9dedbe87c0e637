// The particle table: lifetimes, gravity, a full table, colours of debris, and the shared
// generator's draws.
#include "TessarineFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include <climits>

using namespace tessarine;
using tessatest::levelFile;

namespace {

class ParticleTest : public tessatest::TessarineTest
{
  protected:
    void SetUp() override
    {
        startGame({{1, levelFile({"", "", "", "", "", ".....f....."})}});
        startPlaying();
    }
    qev::lang::DintArray& entry(int i) { return *(*particles)[i]; }
    int alive()
    {
        int n = 0;
        for (int i = 0; i < particles->length; ++i)
            n += entry(i)[0] != 0;
        return n;
    }
};

TEST_F(ParticleTest, SparksLiveFiftyStepsAndDebrisTwentyFive)
{
    game().spawnParticles(1, 2, 120, 20, 0);
    game().spawnParticles(1, 3, 120, 20, 6);
    ASSERT_EQ(2, alive());
    for (int i = 0; i < 25; ++i)
        game().moveParticles();
    EXPECT_EQ(2, entry(0)[0]);
    EXPECT_EQ(0, entry(1)[0]) << "debris freed when its age reaches 25";
    for (int i = 0; i < 24; ++i)
        game().moveParticles();
    EXPECT_EQ(49, entry(0)[5]);
    EXPECT_EQ(2, entry(0)[0]);
    game().moveParticles();
    EXPECT_EQ(0, entry(0)[0]) << "a spark is freed at age 50";
}

TEST_F(ParticleTest, GravityPullsAndTheTopDoesNotFree)
{
    game().spawnParticles(1, 1, 120, 5, 0);
    qev::lang::DintArray& p = entry(0);
    p[3] = 0;
    p[4] = -3 * 65536;
    game().moveParticles();
    EXPECT_EQ(2 * 65536, p[2]);
    EXPECT_EQ(-3 * 65536 + 8192, p[4]);
    for (int i = 0; i < 5; ++i)
        game().moveParticles();
    EXPECT_LT(p[2], 0) << "above the screen";
    EXPECT_EQ(1, p[0]) << "still alive";
    p[1] = 240 * 65536;
    game().moveParticles();
    EXPECT_EQ(0, p[0]) << "off the right edge: freed";
}

TEST_F(ParticleTest, AFullTableDropsNewParticles)
{
    game().spawnParticles(130, 2, 100, 100, 0);
    EXPECT_EQ(100, alive());
    game().spawnParticles(5, 1, 100, 100, 0);
    EXPECT_EQ(100, alive());
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(2, entry(i)[0]);
        EXPECT_LE(std::abs(entry(i)[3]), 6 * 16384);
        EXPECT_EQ(0, entry(i)[3] % 16384);
    }
}

TEST_F(ParticleTest, DebrisTakesItsBricksColourAndRegeneratingBrickDebrisIsNotDrawn)
{
    auto place = [this](int type) {
        qev::lang::DintArray& p = entry(0);
        p[0] = 3;
        p[1] = 120 * 65536;
        p[2] = 250 * 65536;
        p[3] = p[4] = p[5] = 0;
        p[6] = type;
        game().paint();
        gamelib::screenCanvas->flushGraphics();
    };
    place(6);
    EXPECT_TRUE(pixelIs(120, 250, 0xEB4A06));
    place(3);
    EXPECT_FALSE(pixelIs(120, 250, 0xEB4A06));
    place(4);
    EXPECT_TRUE(pixelIs(120, 250, 0x49BDFF));
}

// The seed whose first 32-bit draw is the most negative value.
int64_t seedForMostNegativeDraw()
{
    const uint64_t m = 0x5DEECE66Dull;
    uint64_t inverse = m;
    for (int i = 0; i < 6; ++i)
        inverse *= 2 - m * inverse;
    const uint64_t mask = (1ull << 48) - 1;
    const uint64_t wanted = 0x800000000000ull;
    const uint64_t before = ((wanted - 0xB) * inverse) & mask;
    return static_cast<int64_t>(before ^ m);
}

TEST_F(ParticleTest, ARandomRangeIsNeverBelowItsLowerBound)
{
    qev::util::DRandom probe(seedForMostNegativeDraw());
    ASSERT_EQ(INT_MIN, probe.next(32));
    gamelib::sharedRandom = new qev::util::DRandom(seedForMostNegativeDraw());
    EXPECT_EQ(static_cast<int32_t>(2147483648ll % 2001), randomRange(0, 2000));
    gamelib::sharedRandom = new qev::util::DRandom(seedForMostNegativeDraw());
    EXPECT_EQ(3000 + static_cast<int32_t>(2147483648ll % 1001), randomRange(3000, 4000));
    gamelib::sharedRandom = new qev::util::DRandom(seedForMostNegativeDraw());
    EXPECT_EQ(1 + static_cast<int32_t>(2147483648ll % 16), randomRange(1, 16));
}

} // namespace
