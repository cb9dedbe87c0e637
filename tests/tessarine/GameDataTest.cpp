// The brick-breaker on the game data built from data/: every level loads with points to clear,
// and every picture and animation the game names is in the atlas.
#ifdef PH_GAME_DATA_FOLDER

#include "RealTessarine.h"
#include "ShellFixture.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DImage.h"
#include "platform/testing/FakeClock.h"

using namespace tessarine;

namespace {

class RealGameData : public shelltest::ShellTest
{
  protected:
    tessarinetest::RealTessarine m_real{240, 320};
    TessarinePtr& m_game = m_real.game;
};

TEST_F(RealGameData, EveryLevelLoadsWithPointsToClearAndAnEmptyTopRow)
{
    for (int level = 1; level <= Tessarine::kLevelCount; ++level) {
        brickList->loadLevel(level);
        EXPECT_GT(brickList->remaining, 0) << "level " << level;
        EXPECT_EQ(brickList->remaining, brickList->standingHitPoints()) << "level " << level;
        for (int c = 0; c < kColumns; ++c)
            EXPECT_EQ(0, brickList->brickAt(0, c)->type) << "level " << level;
    }
}

TEST_F(RealGameData, EveryPieceAndAnimationTheGameNamesExists)
{
    BrickList& b = *brickList;
    EXPECT_EQ(20, b.cellWidth);
    EXPECT_EQ(10, b.cellHeight);
    for (int i : {0, 3, 4, 5, 6, 7, 8, 9})
        EXPECT_TRUE((*b.brickImages)[i]) << "brick image " << i;
    for (const auto& images :
         {b.twoHitImages, b.threeHitImages, b.crackImages, b.leftWall, b.rightWall})
        for (int i = 0; i < images->length; ++i)
            EXPECT_TRUE((*images)[i]) << i;
    EXPECT_TRUE(b.topBorder);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE((*b.brickAnimations)[i]) << "brick animation " << i;
    EXPECT_TRUE(m_game->lifeIcon);
    EXPECT_TRUE(smallBallImage && normalBallImage && bigBallImage && bulletImage && bombImage);
    EXPECT_TRUE(fireSmallAnimation && fireAnimation && fireBigAnimation);
    for (int i = 1; i <= kBonusKinds; ++i)
        EXPECT_TRUE((*bonusAnimations)[i]) << "bonus " << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE((*enemyAnimations)[i]) << "enemy " << i;
    Platform& p = *paddle;
    EXPECT_TRUE(p.smallImage && p.normalImage && p.bigImage && p.gunsImage && p.engineImage &&
                p.turboEngineImage);
    EXPECT_EQ(30, p.normalImage->w);
    for (const auto& a :
         {p.smallAnimation, p.desmallAnimation, p.biggerAnimation, p.debiggerAnimation,
          p.armedAnimation, p.dearmedAnimation, p.turboAnimation, p.deturboAnimation,
          p.flamesAnimation, p.flames2Animation, p.gunFlashLeft, p.gunFlashRight, p.glueAnimation,
          p.exitAnimation})
        EXPECT_GT(a->frames->length, 0);
    // The paddle and its engine fit above the bottom margin.
    EXPECT_LE(p.normalImage->h + p.engineImage->h, 12);
}

} // namespace

#endif
