// The game on screens other than 240 x 320: a 176 x 220 screen takes the 176 x 208 set, whose
// splash and pictures are shorter than the screen; the formation fits every supported size.
#include "CorvantineFixture.h"

#include "GamelibTestSupport.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include <algorithm>

namespace corvtest {
namespace {

using namespace corvantine;

constexpr int kW = 176;
constexpr int kH = 220;
// The set's pictures are 208 high: a band of 6 rows above and below them.
constexpr int kBand = (kH - 208) / 2;
constexpr uint32_t kSplash = 0x203040;

class CorvantineShortSet : public CorvantineTest
{
  protected:
    void SetUp() override
    {
        std::map<std::string, std::string> set = {
            {"graphics/common/corv/splash.jpg", shelltest::png(kW, 208, kSplash)}};
        for (int i = 0; i < 24; ++i)
            set["graphics/common/img/p" + std::to_string(i) + ".jpg"] =
                shelltest::png(kW, 208, kRewardColour + static_cast<uint32_t>(i));
        startGameAt(kW, kH, set);
    }
    // Pixels of row y, over x from x0 to x1 (exclusive), that are black.
    int blackInRow(int y, int x0, int x1) const
    {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += pixelIs(x, y, 0x000000);
        return n;
    }
};

TEST_F(CorvantineShortSet, MenuAndKeyDialogShowNoStalePixelsAroundTheSplash)
{
    step();
    ASSERT_EQ(gameState, STATE_MENU);
    // The main menu's backdrop was on the screen before: the bands are black, not left over.
    for (int y : {0, kBand - 1, kH - kBand, kH - 1}) {
        EXPECT_EQ(blackInRow(y, 0, kW), kW) << y;
    }
    EXPECT_FALSE(pixelIs(1, kH / 2, 0x000000));

    for (int i = 0; i < 7; ++i)
        menuPress(key(1));
    menuPress(key(4));
    step();
    ASSERT_EQ(gameState, STATE_KEYS);
    // Between the soft-key labels in the corners.
    const int x0 = kW / 3;
    const int x1 = kW - kW / 3;
    EXPECT_EQ(blackInRow(kH - 1, x0, x1), x1 - x0);
}

TEST_F(CorvantineShortSet, PlayFieldAndRewardAreBlackAroundThePicture)
{
    newGame();
    toPlay();
    step();
    // Left and right of the ship's exhaust; a star or two may fall on the row.
    EXPECT_GE(blackInRow(kH - 3, 0, 70) + blackInRow(kH - 3, 110, kW), 130);

    leaveOnly(4, 2);
    step();
    shotX = ship(4, 2).x;
    shotY = ship(4, 2).y + 10;
    step();
    ASSERT_EQ(gameState, STATE_CLEARED);
    steps(50);
    ASSERT_EQ(gameState, STATE_REWARD);
    EXPECT_TRUE(pixelIs(1, kBand, kRewardColour + 19));
    EXPECT_TRUE(pixelIs(1, kH - kBand - 1, kRewardColour + 19));
    EXPECT_EQ(blackInRow(kBand - 1, 0, kW), kW);
    EXPECT_EQ(blackInRow(kH - kBand, 0, kW / 4), kW / 4);
}

struct ScreenSize
{
    int width;
    int height;
};

class CorvantineOtherSizes : public CorvantineTest, public ::testing::WithParamInterface<ScreenSize>
{
};

// The formation stands centred, sways without leaving the screen, and the ship sits at the
// bottom centre, on the other screens the data supports (240 x 320 has tests of its own,
// 176 x 220 lays out as 176 x 208).
TEST_P(CorvantineOtherSizes, FormationIsCentredAndSwaysWithinTheScreen)
{
    const auto [w, h] = GetParam();
    startGameAt(w, h, {});
    newGame();
    toPlay();
    diveLimit = 0;
    EXPECT_EQ(shipX, w / 2);
    EXPECT_EQ(shipTop, h - kFlameH - kShipH);
    const AlienShipArrayPtr bottom = (*formation)[kRows - 1];
    const AlienShip& first = *(*bottom)[0];
    const AlienShip& last = *(*bottom)[bottom->length - 1];
    EXPECT_EQ(first.homeX + last.homeX, w);
    int left = w;
    int right = 0;
    int lowest = 0;
    // A full sway to either side and back, in play steps without painting (the positions are
    // what counts here).
    for (int i = 0; i < 2 * w; ++i) {
        gamelib::currentScreen->update();
        for (int s = 0; s < fleet->length; ++s) {
            const AlienShip& a = *(*fleet)[s];
            left = std::min(left, a.x - alienHalfWidth);
            right = std::max(right, a.x - alienHalfWidth + alienWidth);
            lowest = std::max(lowest, a.y - alienHalfHeight + alienHeight);
        }
    }
    EXPECT_LT(lowest, shipTop);
    EXPECT_GE(left, 0);
    EXPECT_LE(right, w);
    // It does sway, almost to the edges.
    EXPECT_LE(left, alienWidth);
    EXPECT_GE(right, w - alienWidth);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CorvantineOtherSizes,
                         ::testing::Values(ScreenSize{320, 240}, ScreenSize{240, 240},
                                           ScreenSize{176, 208}, ScreenSize{480, 640},
                                           ScreenSize{640, 480}),
                         [](const ::testing::TestParamInfo<ScreenSize>& size) {
                             return std::to_string(size.param.width) + "x" +
                                    std::to_string(size.param.height);
                         });

} // namespace
} // namespace corvtest
