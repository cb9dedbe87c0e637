// The game's flow through GameLib: starting, the get-ready wait, losing lives, game over,
// clearing levels with the picture and the highest level kept, pause and continue, and the
// hidden level select.
#include "TessarineFixture.h"

#include "../profile/MediaTestSupport.h"
#include "gallery/Gallery.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "tessarine/Enemy.h"

#include "util/DRandom.h"

#include <cstdlib>
#include <functional>

using namespace tessarine;
using tessatest::levelFile;

namespace {

const std::string kOneBrick = levelFile({"", "", "", "", "", ".....f....."});

class FlowTest : public tessatest::TessarineTest
{
  protected:
    // Sends ball 0 out below the paddle.
    void dropBall()
    {
        Ball& b = ball(0);
        b.released = 1;
        b.dx = 0;
        b.dy = 16;
        b.setPosition(20, 330);
    }
    // Destroys the level's only brick with the ball and lets play see it.
    void clearLevel()
    {
        Ball& b = ball(0);
        b.setKind(1);
        brick(5, 5).hit(&b);
        step();
        ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    }
    void pressAnyKeyAfterWait()
    {
        steps(21);
        gamelib::anyKey = 1;
        step();
    }
};

TEST_F(FlowTest, StartPlaysLevelOneAfterTheGetReadyWaitWithTheBallOnThePaddle)
{
    startGame({{1, kOneBrick}});
    EXPECT_EQ(STATE_MENU, gameState);
    game().chooseMenuItem(Tessarine::ITEM_START);
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(1, game().level);
    EXPECT_EQ(5, game().lives);
    steps(60);
    EXPECT_EQ(STATE_GET_READY, gameState) << "1.5 s have not passed yet";
    step();
    EXPECT_EQ(STATE_PLAYING, gameState);
    step();
    Ball& b = ball(0);
    EXPECT_TRUE(b.active);
    EXPECT_FALSE(b.released);
    EXPECT_EQ(paddle().x + b.radius, b.x);
    // The brick, the paddle and the ball are on the screen.
    EXPECT_TRUE(pixelIs(cellX(5), cellY(5), tessatest::kPlain6));
    EXPECT_TRUE(pixelIs(paddle().x, paddle().y + 2, tessatest::kPaddleColour));
    EXPECT_TRUE(pixelIs(b.x, b.y, tessatest::kBallColour));
    // Fire launches it upward.
    launch();
    steps(3);
    EXPECT_TRUE(b.released);
    EXPECT_LT(b.y, paddle().y - 4);
}

TEST_F(FlowTest, ALostBallCostsALifeAndTheNextBallWaitsOnThePaddle)
{
    startGame({{1, kOneBrick}});
    startPlaying();
    launch();
    dropBall();
    step();
    EXPECT_EQ(4, game().lives);
    EXPECT_EQ(STATE_GET_READY, gameState);
    steps(61);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_TRUE(ball(0).active);
    EXPECT_FALSE(ball(0).released);
    EXPECT_EQ(6, brick(5, 5).type) << "the level goes on";
}

TEST_F(FlowTest, TheLastLifeLostShowsGameOverThenTheMenu)
{
    startGame({{1, kOneBrick}});
    startPlaying();
    game().lives = 1;
    launch();
    dropBall();
    step();
    EXPECT_EQ(0, game().lives);
    EXPECT_EQ(STATE_GET_READY, gameState);
    steps(61);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_EQ(5, game().lives);
    EXPECT_EQ(0, game().score());
    EXPECT_FALSE(gameInProgress);
}

TEST_F(FlowTest, AClearedLevelUnlocksItsPictureAndOpensTheNextLevelForGood)
{
    gallery::Gallery::forgetMask();
    startGame({{1, kOneBrick}, {2, levelFile({"", "ggg"})}});
    startPlaying();
    clearLevel();
    EXPECT_EQ(1, game().score());
    steps(5);
    EXPECT_EQ(STATE_LEVEL_CLEARED, gameState) << "waits for a key";
    pressAnyKeyAfterWait();
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(2, game().level);
    EXPECT_EQ(2, openLevel);
    EXPECT_EQ(7, brick(1, 0).type);
    EXPECT_TRUE(gallery::Gallery::isUnlocked(0));
    EXPECT_FALSE(gallery::Gallery::isUnlocked(1));
    // A new game screen reads the stored level and lists both levels, highest first.
    gallery::Gallery::forgetMask();
    restartGame();
    EXPECT_EQ(2, openLevel);
    EXPECT_TRUE(gallery::Gallery::isUnlocked(0));
    game().chooseMenuItem(Tessarine::ITEM_START);
    EXPECT_EQ(STATE_LEVEL_CHOICE, gameState);
    ASSERT_EQ(3, gameMenu->lines->length);
    EXPECT_EQ("LEVEL 2", gamelibtest::ascii(gameMenu->lines[0]));
    EXPECT_EQ("LEVEL 1", gamelibtest::ascii(gameMenu->lines[1]));
    EXPECT_EQ("EXIT", gamelibtest::ascii(gameMenu->lines[2]));
    game().chooseLevelItem(1);
    EXPECT_EQ(1, game().level);
    EXPECT_EQ(STATE_GET_READY, gameState);
}

TEST_F(FlowTest, ClearingLevelFourteenUnlocksPictureThirteen)
{
    gallery::Gallery::forgetMask();
    startGame({{1, kOneBrick}, {14, kOneBrick}, {15, kOneBrick}});
    startPlaying();
    game().level = 14;
    bricks().loadLevel(14);
    clearLevel();
    pressAnyKeyAfterWait();
    EXPECT_EQ(15, game().level);
    EXPECT_TRUE(gallery::Gallery::isUnlocked(13));
}

TEST_F(FlowTest, ABombStillCountingWhenTheLastBrickFallsDoesNotHoldTheClearedScreen)
{
    // Destroying the detonator lights the bomb: the level's points are gone while the bomb's
    // countdown stands still on the cleared screen.
    startGame({{1, levelFile({"", "", "", ".....h.....", "", ".....d....."})}, {2, kOneBrick}});
    startPlaying();
    Ball& b = ball(0);
    b.setKind(1);
    brick(5, 5).hit(&b);
    EXPECT_EQ(Brick::TYPE_BOMB_COUNTDOWN, brick(3, 5).type);
    step();
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    pressAnyKeyAfterWait();
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(2, game().level);
}

TEST_F(FlowTest, AClearedScreenWithBricksStillStandingGoesBackToPlay)
{
    startGame({{1, kOneBrick}});
    startPlaying();
    bricks().remaining = 0;
    step();
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    pressAnyKeyAfterWait();
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_EQ(1, bricks().remaining);
    EXPECT_EQ(1, game().level);
}

TEST_F(FlowTest, TheLastLevelClearedEndsTheGameAfterThreeSeconds)
{
    startGame({{1, kOneBrick}, {50, kOneBrick}});
    startPlaying();
    game().level = 50;
    bricks().loadLevel(50);
    clearLevel();
    pressAnyKeyAfterWait();
    EXPECT_EQ(STATE_ALL_DONE, gameState);
    steps(120);
    EXPECT_EQ(STATE_ALL_DONE, gameState);
    step();
    EXPECT_EQ(STATE_MENU, gameState);
}

TEST_F(FlowTest, ATapOnThePauseIconPausesAndContinueResumes)
{
    startGame({{1, kOneBrick}});
    startPlaying();
    launch();
    steps(4);
    const int y = ball(0).y;
    game().setScore(7);
    tap(235, 5);
    EXPECT_EQ(STATE_MENU, gameState);
    EXPECT_TRUE(gameInProgress);
    steps(5);
    EXPECT_EQ(y, ball(0).y) << "nothing moves while paused";
    game().chooseMenuItem(Tessarine::ITEM_CONTINUE);
    EXPECT_EQ(STATE_PLAYING, gameState);
    EXPECT_FALSE(gameInProgress);
    step();
    EXPECT_LT(ball(0).y, y);
    EXPECT_EQ(7, game().score());
    EXPECT_EQ(1, game().level);
}

TEST_F(FlowTest, ContinueWithoutAPausedGameStartsAtTheHighestLevel)
{
    gamelib::GameMenu::saveOption(u"tessarineopenlevel", 3);
    startGame({{1, kOneBrick}, {3, levelFile({"", "fff"})}});
    game().chooseMenuItem(Tessarine::ITEM_CONTINUE);
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(3, game().level);
    EXPECT_EQ(6, brick(1, 2).type);
}

TEST_F(FlowTest, TheMenuMovesWithKeysAndTheEffectsLevelCycles)
{
    startGame({{1, kOneBrick}});
    steps(9);
    press('8');
    EXPECT_EQ(1, gameMenu->selected);
    const int32_t before = gamelib::getSfxLevel();
    for (int i = 0; i < 4; ++i) {
        game().chooseMenuItem(Tessarine::ITEM_SFX);
        EXPECT_EQ((before + i + 1) % 4, gamelib::getSfxLevel());
        EXPECT_EQ((before + i + 1) % 4, gamelib::GameMenu::loadOption(u"tessarinesfx_level", -1));
    }
    steps(9);
    press('2');
    EXPECT_EQ(0, gameMenu->selected);
    steps(9);
    press('5');
    EXPECT_EQ(STATE_GET_READY, gameState) << "fire on \"start\"";
}

TEST_F(FlowTest, TheHiddenLevelSelectTakesOnlyLevelsThatExist)
{
    startGame({{1, kOneBrick}, {3, levelFile({"", "fff"})}});
    startPlaying();
    auto jump = [](int d1, int d2) {
        (*gamelib::levelJumpSequence)[3] = d1;
        (*gamelib::levelJumpSequence)[4] = d2;
        gamelib::levelJumpNumber = d1 * 10 + d2;
        gamelib::levelJumpFlag = 1;
    };
    const std::pair<int, int> bad[] = {{0, 0}, {5, 1}, {9, 9}, {-1, 5}, {0, 43}, {2, -10}};
    for (auto [d1, d2] : bad) {
        jump(d1, d2);
        step();
        EXPECT_EQ(0, gamelib::levelJumpFlag);
        EXPECT_EQ(STATE_PLAYING, gameState) << d1 << " " << d2;
        EXPECT_EQ(1, game().level);
        EXPECT_EQ(6, brick(5, 5).type);
    }
    EXPECT_EQ(1, openLevel);
    game().lives = 2;
    jump(0, 3);
    step();
    EXPECT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(3, game().level);
    EXPECT_EQ(5, game().lives);
    EXPECT_EQ(3, openLevel);
    EXPECT_EQ(3, gamelib::GameMenu::loadOption(u"tessarineopenlevel", -1));
    EXPECT_EQ(6, brick(1, 0).type);
    // The jump's step is a play step of the new level: each monster gets its one chance in
    // 2001 to come. A generator is chosen whose draws after those of the jump itself (resetting
    // the actors, loading the level) give the first monster its chance.
    auto drawsOf = [](const std::function<void()>& work) {
        gamelib::sharedRandom = new qev::util::DRandom(1);
        work();
        const int32_t a = gamelib::sharedRandom->next(32);
        const int32_t b = gamelib::sharedRandom->next(32);
        qev::util::DRandomPtr replay = new qev::util::DRandom(1);
        for (int k = 0, previous = replay->next(32); k < 100000; ++k) {
            const int32_t current = replay->next(32);
            if (previous == a && current == b)
                return k;
            previous = current;
        }
        return -1;
    };
    const int jumpDraws = drawsOf([this] {
        game().resetActors();
        bricks().loadLevel(3);
    });
    ASSERT_GE(jumpDraws, 0);
    int64_t seed = 1;
    for (;; ++seed) {
        qev::util::DRandomPtr r = new qev::util::DRandom(seed);
        for (int k = 0; k < jumpDraws; ++k)
            r->next(32);
        if (std::llabs(static_cast<int64_t>(r->next(32))) % 2001 == 0)
            break;
    }
    game().setState(STATE_PLAYING);
    gamelib::sharedRandom = new qev::util::DRandom(seed);
    jump(0, 3);
    step();
    ASSERT_EQ(STATE_GET_READY, gameState);
    EXPECT_TRUE((*game().enemies)[0]->active) << "a monster comes in the jump's step";
    game().resetActors();
    // A level that exists by number but has no file keeps the grid and is ignored.
    steps(61);
    jump(0, 7);
    step();
    EXPECT_EQ(7, game().level);
    EXPECT_EQ(STATE_GET_READY, gameState) << "not taken for a cleared level";
    steps(61);
    EXPECT_EQ(STATE_PLAYING, gameState);
}

// A jump to a level without a file plays on with the bricks in play, and they stay in sight:
// the picture, the walls and the bricks are drawn as before the jump.
TEST_F(FlowTest, AFailedLevelJumpKeepsTheBricksInPlayInSight)
{
    startGame({{1, kOneBrick}});
    startPlaying();
    step();
    const int x = cellX(5);
    const int y = cellY(5);
    ASSERT_TRUE(pixelIs(x, y, tessatest::kPlain6));
    const uint16_t above = windowPixel(x, y - 2 * bricks().cellHeight);
    const auto* picture = bricks().picture.get();
    (*gamelib::levelJumpSequence)[3] = 0;
    (*gamelib::levelJumpSequence)[4] = 7;
    gamelib::levelJumpNumber = 7;
    gamelib::levelJumpFlag = 1;
    step();
    ASSERT_EQ(STATE_GET_READY, gameState);
    EXPECT_EQ(1, bricks().levelNumber);
    EXPECT_EQ(1, bricks().remaining);
    EXPECT_EQ(picture, bricks().picture.get()) << "the wait shows the level's own picture";
    steps(62);
    ASSERT_EQ(STATE_PLAYING, gameState);
    EXPECT_TRUE(pixelIs(x, y, tessatest::kPlain6)) << "the brick is in sight";
    EXPECT_EQ(above, windowPixel(x, y - 2 * bricks().cellHeight)) << "on the same picture";
    // Clearing that brick clears the level.
    Ball& b = ball(0);
    b.setKind(1);
    brick(5, 5).hit(&b);
    step();
    EXPECT_EQ(STATE_LEVEL_CLEARED, gameState);
}

} // namespace

// A game over stops every sound, and the menu it returns to stays quiet (the menu's tune starts
// when the game's screen starts, after a pause and after the gallery); nothing is left playing
// or turned down, and the next game is heard again.
TEST_F(FlowTest, AGameOverLeavesNoSoundPlayingAndTheNextGameIsHeard)
{
    auto bytes = [](const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); };
    std::map<std::string, std::string> sounds;
    for (const char* name : {"Respawn", "die", "boom", "HitBrick", "HitPlatform",
                             "HitUndestroyBrick", "HitRegenBrick", "shoot", "HitWall"})
        sounds[std::string("data/tesk/sound/") + name + ".wav"] = bytes(mediatest::wavBytes(30000));
    sounds["data/tesk/sound/menu.mod"] = bytes(mediatest::modBytes());
    sounds["data/tesk/sound/game.mod"] = bytes(mediatest::modBytes());
    startGame({{1, kOneBrick}}, sounds);
    gamelib::setSfxLevel(1);
    gamelib::setMusicLevel(1);
    auto playing = [](int index) { return (*gamelib::soundBank)[index]->isPlaying(); };
    ASSERT_TRUE(gamelib::soundBank);
    EXPECT_TRUE(playing(SOUND_MENU));

    startPlaying();
    EXPECT_TRUE(playing(SOUND_GAME));
    EXPECT_FALSE(playing(SOUND_MENU));
    game().lives = 1;
    launch();
    dropBall();
    step();
    EXPECT_TRUE(playing(SOUND_DIE)) << "the last life's sound";
    steps(61);
    ASSERT_EQ(STATE_MENU, gameState);
    for (int i = 0; i < SOUND_COUNT; ++i)
        EXPECT_FALSE(playing(i)) << "sound " << i << " after the game over";
    EXPECT_EQ(1, gamelib::getSfxLevel());
    EXPECT_EQ(1, gamelib::getMusicLevel());

    game().chooseMenuItem(Tessarine::ITEM_START);
    EXPECT_TRUE(playing(SOUND_GAME));
    EXPECT_TRUE(playing(SOUND_RESPAWN));
    EXPECT_EQ(1, gamelib::getMusicLevel());
}
