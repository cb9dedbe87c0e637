#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "microedition/lcdui/DeviceKeys.h"
#include "platform/testing/FakeClock.h"

using qev::microedition::lcdui::kKeySoftLeft;

using gamelib::GameInterface;
using gamelib::GameInterfacePtr;
using gamelib::GameLib;
using gamelib::ScreenCanvas;

namespace {

int made = 0;
int starts = 0;
int stops = 0;
bool failStart = false;

class Menu : public GameInterface
{
  public:
    Menu() : id(++made) {}
    void start() override
    {
        ++starts;
        if (failStart)
            qev::lang::throwException(qev::lang::ExceptionCode::IOException);
    }
    void stop() override { ++stops; }
    const int id;
};

class ScreenSwitch : public shelltest::ShellDisplayTest
{
  protected:
    void SetUp() override
    {
        made = starts = stops = 0;
        failStart = false;
        startDisplay();
        makeCanvas();
        gamelib::shellScreens().makeMainMenu = [] { return GameInterfacePtr(new Menu); };
    }
};

TEST_F(ScreenSwitch, ShowMainMenuStopsTheCurrentScreenAndStartsAFreshMenu)
{
    gamelib::currentScreen = new Menu;
    gamelib::keyFire = 1;
    gamelib::keyUp = 1;
    GameLib::showMainMenu();
    EXPECT_EQ(1, stops);
    EXPECT_EQ(1, starts);
    auto* menu = dynamic_cast<Menu*>(gamelib::currentScreen.get());
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(2, menu->id) << "a new menu, not the old one";
    EXPECT_EQ(0, gamelib::keyFire) << "the fire that chose the exit does not reach the menu";
    EXPECT_EQ(1, gamelib::keyUp);
}

TEST_F(ScreenSwitch, AMenuThatFailsToStartEndsTheRunWithItsError)
{
    // A main menu that did not start would stand still and ignore every key: its error reaches
    // the host, which names it in its box.
    failStart = true;
    int32_t code = 0;
    try {
        GameLib::showMainMenu();
    } catch (qev::lang::DExceptionBase* e) {
        code = e->code;
        delete e;
    }
    EXPECT_EQ(qev::lang::ExceptionCode::IOException, code);
    EXPECT_EQ(1, starts);
}

TEST_F(ScreenSwitch, WithoutAMainMenuMakerNoScreenIsLeft)
{
    gamelib::shellScreens().makeMainMenu = nullptr;
    gamelib::currentScreen = new Menu;
    GameLib::showMainMenu();
    EXPECT_EQ(1, stops);
    EXPECT_FALSE(gamelib::currentScreen);
}

TEST_F(ScreenSwitch, ShowingTheCanvasRestartsTheFrameTimer)
{
    platform::FakeClock::step(5000);
    gamelib::frameClock = 0;
    display->setCurrent(gamelib::screenCanvas);
    EXPECT_EQ(qev::lang::DSystem::currentTimeMillis(), gamelib::frameClock);
}

TEST_F(ScreenSwitch, ASizeChangeTakesTheScreenAgainAndChecksTheConfiguration)
{
    openArchive({{"240x320", "graphics=big\r\n"}});
    gamelib::screenCanvas->keyPressed('5');
    gamelib::screenCanvas->pointerPressed(3, 4);
    gamelib::keySoftLeft = 1;
    gamelib::screenSupported = 0;
    gamelib::screenCanvas->sizeChanged(240, 320);
    EXPECT_EQ(1, gamelib::screenSupported);
    EXPECT_TRUE(gamelib::graphicsSet->equals(u"big"));
    EXPECT_EQ(0, ScreenCanvas::queuedEvents());
    EXPECT_EQ(0, gamelib::pointerPressed);
    EXPECT_EQ(0, gamelib::keySoftLeft);
    EXPECT_EQ(240, gamelib::screenWidth);
}

TEST_F(ScreenSwitch, OnAnUnsupportedScreenATapEndsTheApplication)
{
    gamelib::screenSupported = 0;
    gamelib::currentScreen = new Menu;
    lib->tick();
    EXPECT_TRUE(lib->keepRunning());
    gamelib::screenCanvas->pointerPressed(10, 10);
    lib->tick();
    EXPECT_EQ(1, stops);
    EXPECT_FALSE(lib->keepRunning());
}

TEST_F(ScreenSwitch, OnAnUnsupportedScreenWithoutScreenTheSoftKeyDoesNothingMore)
{
    gamelib::screenSupported = 0;
    gamelib::screenCanvas->keyPressed(kKeySoftLeft);
    lib->tick();
    EXPECT_EQ(1, gamelib::keySoftLeft);
    EXPECT_TRUE(lib->keepRunning()) << "start-up already ended the run in this case";
}

} // namespace
