#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DeviceKeys.h"
#include "platform/testing/FakeClock.h"

#include <vector>

using qev::microedition::lcdui::kKeySoftLeft;

using gamelib::GameInterface;
using platform::FakeClock;

namespace {

// Counts its updates and paints; an update can take time on the fake clock, and the flags it
// saw are kept per update.
class CountingScreen : public GameInterface
{
  public:
    void update() override
    {
        ++updates;
        fireSeen.push_back(gamelib::keyFire);
        FakeClock::step(updateMillis);
    }
    void paint() override
    {
        ++paints;
        gamelib::screenGraphics->setColor(colour);
        gamelib::screenGraphics->fillRect(0, 0, gamelib::screenWidth, gamelib::screenHeight);
    }
    int updates = 0;
    int paints = 0;
    int64_t updateMillis = 0;
    int32_t colour = 0x00FF00;
    std::vector<int> fireSeen;
};

class FrameLoop : public shelltest::ShellDisplayTest
{
  protected:
    void SetUp() override
    {
        startDisplay();
        makeCanvas();
        ASSERT_TRUE(gamelib::GameLib::loadScreenConfig() == false);
        gamelib::screenSupported = 1;
        screen = new CountingScreen;
        gamelib::currentScreen = screen;
        gamelib::GameLib::resetFrameTimer();
    }
    // Calls tick every `gap` ms for `calls` calls.
    void run(int calls, int64_t gap)
    {
        for (int i = 0; i < calls; ++i) {
            FakeClock::step(gap);
            lib->tick();
        }
    }
    qev::lang::DPtr<CountingScreen> screen;
};

TEST_F(FrameLoop, CallsTenMillisecondsApartStepOnTwoOfFiveCalls)
{
    run(2, 10);
    EXPECT_EQ(0, screen->updates) << "no step before 25 ms";
    run(1, 10);
    EXPECT_EQ(1, screen->updates);
    run(47, 10);
    EXPECT_EQ(20, screen->updates);
    EXPECT_EQ(20, screen->paints);
    EXPECT_EQ(0x07E0, windowPixel(5, 5)) << "the painted screen reaches the window";
}

TEST_F(FrameLoop, AStallOf300MillisecondsIsCaughtUpOneStepPerCallWithoutPaintsWhenSlow)
{
    screen->updateMillis = 31;
    run(1, 300);
    EXPECT_EQ(1, screen->updates);
    EXPECT_EQ(1, screen->paints) << "the call before took no time";
    for (int i = 0; i < 11; ++i)
        lib->tick();
    EXPECT_EQ(12, screen->updates);
    EXPECT_EQ(1, screen->paints) << "each step took 31 ms, so each next paint is skipped";
}

TEST_F(FrameLoop, AStepOf30MillisecondsStillPaints)
{
    screen->updateMillis = 30;
    run(4, 25);
    EXPECT_EQ(4, screen->updates);
    EXPECT_EQ(4, screen->paints);
}

TEST_F(FrameLoop, ACallWithoutStepResetsTheSlowMeasure)
{
    screen->updateMillis = 40;
    run(1, 25);
    EXPECT_EQ(1, screen->paints);
    // The step took 40 ms: the next one is already due and runs at once, without a paint.
    screen->updateMillis = 0;
    lib->tick();
    EXPECT_EQ(2, screen->updates);
    EXPECT_EQ(1, screen->paints);
    // Not due: no step, and the call measures itself as quick...
    lib->tick();
    EXPECT_EQ(2, screen->updates);
    // ...so the next step paints again.
    run(1, 25);
    EXPECT_EQ(3, screen->updates);
    EXPECT_EQ(2, screen->paints);
}

TEST_F(FrameLoop, AStallOfMoreThan425MillisecondsResynchronises)
{
    run(1, 500);
    EXPECT_EQ(1, screen->updates);
    for (int i = 0; i < 5; ++i)
        lib->tick();
    EXPECT_EQ(1, screen->updates) << "the missed steps are dropped";
    // The clock was set to the stall's end and then moved on by the step, so the next step
    // is due two steps later.
    run(1, 25);
    EXPECT_EQ(1, screen->updates);
    run(1, 25);
    EXPECT_EQ(2, screen->updates);
}

TEST_F(FrameLoop, AStallOfExactly425MillisecondsIsCaughtUp)
{
    run(1, 425);
    for (int i = 0; i < 30; ++i)
        lib->tick();
    EXPECT_EQ(17, screen->updates);
}

TEST_F(FrameLoop, TheIdleTimeIsWhatIsLeftUntilTheNextStep)
{
    EXPECT_EQ(lib->idleMillis(), 25);
    run(1, 10);
    EXPECT_EQ(lib->idleMillis(), 15);
    // A host that waits exactly that long makes the step on its next call.
    run(1, lib->idleMillis());
    EXPECT_EQ(1, screen->updates);
    EXPECT_EQ(lib->idleMillis(), 25);
    // Behind time: no wait at all until the steps have caught up, one per call.
    run(1, 60);
    EXPECT_EQ(2, screen->updates);
    EXPECT_EQ(lib->idleMillis(), 0);
    run(1, 0);
    EXPECT_EQ(3, screen->updates);
    EXPECT_EQ(lib->idleMillis(), 15);
    // An unsupported screen draws its message at every call; the host keeps its own pace.
    gamelib::screenSupported = 0;
    EXPECT_EQ(lib->idleMillis(), 1);
}

TEST_F(FrameLoop, QueuedKeysAreDeliveredOnePerStepInOrder)
{
    gamelib::screenCanvas->keyPressed('5');
    gamelib::screenCanvas->keyReleased('5');
    gamelib::screenCanvas->keyPressed('5');
    run(4, 25);
    EXPECT_EQ((std::vector<int>{1, 0, 1, 1}), screen->fireSeen);
}

TEST_F(FrameLoop, PauseIsSeenForExactlyOneStep)
{
    gamelib::screenCanvas->keyPressed('5');
    lib->pauseApp();
    std::vector<int> pauses;
    for (int i = 0; i < 3; ++i) {
        run(1, 25);
        pauses.push_back(gamelib::keyPause);
    }
    EXPECT_EQ((std::vector<int>{1, 0, 0}), pauses);
    EXPECT_EQ(0, gamelib::keyFire) << "the pause dropped what was queued before it";
}

TEST_F(FrameLoop, NoCurrentScreenIsANullPointerError)
{
    gamelib::currentScreen = nullptr;
    FakeClock::step(25);
    EXPECT_THROWS_CODE(qev::lang::ExceptionCode::NullPointerException, lib->tick());
}

// Replaces itself during its update, as the language menu does when it re-enters start-up.
class SelfReplacingScreen : public GameInterface
{
  public:
    void update() override
    {
        gamelib::currentScreen = new CountingScreen;
        marker = 42; // still alive here
    }
    void paint() override { painted = marker; }
    int marker = 0;
    int painted = 0;
};

TEST_F(FrameLoop, AScreenMayReplaceItselfDuringItsUpdate)
{
    gamelib::currentScreen = new SelfReplacingScreen;
    run(1, 25);
    auto* next = dynamic_cast<CountingScreen*>(gamelib::currentScreen.get());
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, next->paints) << "the new screen is painted in the same step";
}

TEST_F(FrameLoop, AnUnsupportedScreenShowsTheMessageAndExitsOnTheLeftSoftKey)
{
    gamelib::screenSupported = 0;
    gamelib::screenGraphics->setColor(0xFFFFFF);
    gamelib::screenGraphics->fillRect(0, 0, 240, 320);
    lib->tick();
    // Black text near the centre and at the bottom left ("Exit").
    int dark = 0, darkExit = 0;
    for (int y = 140; y < 180; ++y)
        for (int x = 60; x < 180; ++x)
            dark += windowPixel(x, y) == 0;
    for (int y = 290; y < 320; ++y)
        for (int x = 0; x < 40; ++x)
            darkExit += windowPixel(x, y) == 0;
    EXPECT_GT(dark, 20);
    EXPECT_GT(darkExit, 5);
    EXPECT_EQ(0, screen->updates);
    EXPECT_TRUE(lib->keepRunning());
    gamelib::screenCanvas->keyPressed(kKeySoftLeft);
    lib->tick();
    EXPECT_FALSE(lib->keepRunning());
    EXPECT_FALSE(gamelib::currentScreen);
}

} // namespace
