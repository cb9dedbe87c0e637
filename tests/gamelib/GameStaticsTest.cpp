#include "ShellFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "platform/testing/FakeClock.h"

using gamelib::GameStatics;

namespace {

class SharedData : public shelltest::ShellTest
{
};

// The tables' values show in the games' own tests (thrust, scoring, stars, brick kinds); here:
// every start-up makes the shared objects afresh, whatever the last run left in them.
TEST_F(SharedData, InitStartsEveryRunWithFreshSharedObjects)
{
    GameStatics::init();
    gamelib::textTable->put(qev::lang::DStringPtr(u"k"), qev::lang::DStringPtr(u"v"));
    (*gamelib::levelJumpSequence)[3] = 7;
    (*gamelib::rowShipsLeft)[0] = 0;
    gamelib::arrowUpImage = qev::microedition::lcdui::DImage::createImage(1, 1);
    GameStatics::init();
    EXPECT_EQ(0, gamelib::textTable->size());
    EXPECT_EQ(0, gamelib::levelJumpSequence[3]) << "no typed digit carried over";
    EXPECT_EQ(gamelib::rowShips[0], gamelib::rowShipsLeft[0]);
    EXPECT_NE(gamelib::rowShips.get(), gamelib::rowShipsLeft.get()) << "the live counts change";
    EXPECT_FALSE(gamelib::arrowUpImage) << "menu images load again";
    EXPECT_TRUE(gamelib::atlasPieces);
}

TEST_F(SharedData, TheSharedRandomGeneratorIsSeededFromTheClock)
{
    profile().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(123456);
    GameStatics::init();
    qev::util::DRandom expected(123456);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected.next(32), gamelib::sharedRandom->next(32));
}

int releasedByGames = 0;

TEST_F(SharedData, ReleaseDropsEverythingAndAsksTheGamesToDropTheirs)
{
    releasedByGames = 0;
    shelltest::putGame(2, {u"corv", u"logoCorv.png", &gamelib::corvantineName, nullptr,
                           [] { ++releasedByGames; }});
    GameStatics::init();
    qev::util::DRandomPtr random = gamelib::sharedRandom;
    const int32_t countBefore = random->getRefCount();
    GameStatics::release();
    EXPECT_EQ(countBefore - 1, random->getRefCount());
    EXPECT_FALSE(gamelib::sharedRandom);
    EXPECT_FALSE(gamelib::textTable);
    EXPECT_FALSE(gamelib::tessarineName);
    EXPECT_FALSE(gamelib::levelJumpSequence);
    EXPECT_FALSE(gamelib::menuItemKeys);
    EXPECT_FALSE(gamelib::imageFonts);
    EXPECT_EQ(1, releasedByGames);
}

TEST_F(SharedData, TheNameKeyboardComesFromItsMaker)
{
    gamelib::shellScreens().makeNameKeyboard = [] {
        return qev::lang::DObjectPtr(new qev::lang::DString(u"keyboard"));
    };
    GameStatics::init();
    ASSERT_TRUE(gamelib::nameKeyboard);
    EXPECT_TRUE(qev::lang::dcast<qev::lang::DString>(gamelib::nameKeyboard)->equals(u"keyboard"));
}

} // namespace
