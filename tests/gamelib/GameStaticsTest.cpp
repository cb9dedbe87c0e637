#include "ShellFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "platform/testing/FakeClock.h"

#include <vector>

using gamelib::GameStatics;

namespace {

std::vector<int32_t> values(const qev::lang::DintArrayPtr& a)
{
    std::vector<int32_t> out;
    for (int32_t i = 0; i < a->length; ++i)
        out.push_back(a[i]);
    return out;
}

class SharedData : public shelltest::ShellTest
{
};

TEST_F(SharedData, InitMakesTheNamesAndTablesOfTheGames)
{
    GameStatics::init();
    EXPECT_TRUE(gamelib::tessarineName->equals(u"tessarine"));
    EXPECT_TRUE(gamelib::mirrowfenName->equals(u"mirrowfen"));
    EXPECT_TRUE(gamelib::corvantineName->equals(u"corvantine"));
    EXPECT_TRUE(gamelib::brickLetters->equals(u"abcdefghij"));
    EXPECT_EQ((std::vector<int32_t>{0xAFAFAF, 0x00AFFF, 0x0000FF}), values(gamelib::starColours));
    EXPECT_EQ(
        (std::vector<int32_t>{0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7}),
        values(gamelib::thrustTable));
    EXPECT_EQ((std::vector<int32_t>{923, 707, 382, 0, 382, 707, 923, 1000}),
              values(gamelib::directionTable));
    EXPECT_EQ((std::vector<int32_t>{2, 4, 5, 6, 6}), values(gamelib::rowShips));
    EXPECT_EQ((std::vector<int32_t>{2, 4, 5, 6, 6}), values(gamelib::rowShipsLeft));
    EXPECT_NE(gamelib::rowShips.get(), gamelib::rowShipsLeft.get()) << "the live counts change";
    EXPECT_EQ((std::vector<int32_t>{150, 100, 80, 60, 60}), values(gamelib::rowValues));
    EXPECT_EQ((std::vector<int32_t>{70000, 80000, 100000}), values(gamelib::starLayerSpeeds));
    EXPECT_EQ((std::vector<int32_t>{0x0000FF, 0x00FFFF, 0xDFDFDF}),
              values(gamelib::starLayerColours));
    ASSERT_EQ(9, gamelib::menuItemKeys->length);
    EXPECT_TRUE(gamelib::menuItemKeys[0]->equals(u"start"));
    EXPECT_TRUE(gamelib::menuItemKeys[5]->equals(u"sound level"));
    EXPECT_TRUE(gamelib::menuItemKeys[8]->equals(u"exit"));
    EXPECT_EQ(5, gamelib::levelJumpSequence->length);
    EXPECT_EQ(0, gamelib::levelJumpSequence[3]);
    EXPECT_TRUE(gamelib::textTable);
    EXPECT_EQ(0, gamelib::textTable->size());
    EXPECT_TRUE(gamelib::atlasPieces);
    EXPECT_FALSE(gamelib::arrowUpImage);
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
    gamelib::shellScreens().releasers[0] = [] { ++releasedByGames; };
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
