// The main menu through GameLib: the icons' spring motion and staggered start, the logo slide,
// keys, taps, and what choosing an entry leads to.
#include "ShellScreensFixture.h"

#include "gallery/Gallery.h"
#include "gamelib/GameStatics.h"
#include "gamelib/MainMenu.h"

using gamelib::GameInterface;
using gamelib::GameInterfacePtr;
using gamelib::MainMenu;
using shelltest::kIcon;
using shelltest::kIconSize;
using shelltest::kLogo;
using shelltest::kSelected;

namespace {

int starts = 0;

class FakeGame : public GameInterface
{
  public:
    void start() override { ++starts; }
};

class MainMenuTest : public shelltest::ShellScreens
{
  protected:
    MainMenuTest() { starts = 0; }
    MainMenu& menu()
    {
        MainMenu* m = current<MainMenu>();
        EXPECT_TRUE(m);
        return *m;
    }
    // Centre of icon i on the screen.
    int32_t iconX(int i) { return menu().posX[i] >> 16; }
    int32_t iconY(int i) { return menu().posY[i] >> 16; }
    // Runs until the menu is idle again (at most two seconds).
    void settle()
    {
        for (int i = 0; i < 80 && menu().state != MainMenu::STATE_IDLE; ++i)
            step();
    }
};

TEST_F(MainMenuTest, IconsSpringIntoTheirColumnAndTheFirstLogoSlidesIn)
{
    startUp();
    step();
    press('5');
    press('5');
    MainMenu& m = menu();
    EXPECT_EQ(MainMenu::STATE_OPENING, m.state);
    EXPECT_EQ(1000, m.countdown + 25) << "the menu after start-up takes the opening time";
    // 30-pixel icons: spacing 50, column centre 20; rows 48 apart ending at 320 - 22.
    EXPECT_EQ(50, m.spacing);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(20, m.targetX[i] >> 16);
        EXPECT_EQ(298 - (4 - i) * 48, m.targetY[i] >> 16);
        EXPECT_LE(iconX(i), 20 - 50 + 2) << "icon " << i << " starts left of its place";
        EXPECT_GE(iconX(i), 20 - 100);
    }
    steps(38);
    EXPECT_EQ(MainMenu::STATE_OPENING, m.state);
    step();
    EXPECT_EQ(MainMenu::STATE_LOGO_OUT, m.state) << "an empty logo slides out at once";
    step();
    EXPECT_EQ(MainMenu::STATE_LOGO_IN, m.state);
    settle();
    EXPECT_EQ(MainMenu::STATE_IDLE, m.state);
    EXPECT_TRUE(m.logoShown);
    // The springs overshoot and swing back; all have come to rest after three seconds.
    steps(60);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(20, iconX(i)) << "icon " << i << " has come to rest in the column";
        EXPECT_EQ(0, m.velX[i]);
    }
    EXPECT_TRUE(pixelIs(20, iconY(0), kSelected)) << "the selected form of the first icon";
    EXPECT_TRUE(pixelIs(20, iconY(1), kIcon + 0x10));
    EXPECT_TRUE(pixelIs(239, 319, kLogo)) << "the first logo at the bottom right";
    EXPECT_TRUE(pixelIs(240 - shelltest::kLogoWidth - 1, 319, shelltest::kBackdrop));
    EXPECT_TRUE(pixelIs(120, 10, shelltest::kBackdrop));
}

TEST_F(MainMenuTest, ABackdropShorterThanTheScreenLeavesBlackBelowItNotTheQuestion)
{
    // As on a 176x220 screen with the pictures of the 176x208 set.
    startToMainMenu({{"graphics/common/menu/back.jpg", shelltest::png(240, 300, 0x808080)}});
    ASSERT_TRUE(current<MainMenu>());
    EXPECT_TRUE(pixelIs(120, 299, 0x808080));
    EXPECT_TRUE(pixelIs(120, 300, 0x000000));
    EXPECT_TRUE(pixelIs(100, 319, 0x000000)) << "nothing of the screens before";
}

TEST_F(MainMenuTest, TheThirdIconStartsStillSoTheColumnArrivesStaggered)
{
    startUp();
    step();
    press('5');
    press('5');
    MainMenu& m = menu();
    // One update has run: every icon gained a quarter of the acceleration towards its place.
    EXPECT_EQ(0x7000 / 4, m.velX[2]);
    for (int i : {0, 1, 3, 4})
        EXPECT_EQ(0x10000 + 0x7000 / 4, m.velX[i]) << "icon " << i;
    int arrived[5] = {-1, -1, -1, -1, -1};
    int overshoot[5] = {};
    for (int s = 0; s < 160; ++s) {
        for (int i = 0; i < 5; ++i) {
            if (arrived[i] < 0 && m.posX[i] == m.targetX[i] && m.velX[i] == 0)
                arrived[i] = s;
            if (m.posX[i] > m.targetX[i])
                overshoot[i] = 1;
        }
        step();
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_GE(arrived[i], 40) << "icon " << i << " swings for more than a second";
        EXPECT_TRUE(overshoot[i]) << "icon " << i << " springs past its place";
        EXPECT_EQ(m.targetX[i], m.posX[i]) << "and stays there";
    }
}

TEST_F(MainMenuTest, AnIconWithoutWidthGivesNoSpacingAndNoDivisionByZero)
{
    std::string list = iconList();
    list.replace(list.find("tesk.png;0;0;30"), 15, "tesk.png;0;0;0");
    startUp({{"graphics/common/menu/small_icons.txt", list}});
    step();
    press('5');
    press('5');
    MainMenu& m = menu();
    EXPECT_EQ(0, m.spacing);
    steps(200);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(-5, iconX(i)) << "the column of a zero spacing";
}

TEST_F(MainMenuTest, CursorKeysMoveOncePerPressAndWrap)
{
    startToMainMenu();
    MainMenu& m = menu();
    ASSERT_EQ(MainMenu::STATE_IDLE, m.state);
    press('2');
    EXPECT_EQ(4, m.selection) << "up from the first entry wraps to exit";
    EXPECT_EQ(MainMenu::STATE_LOGO_OUT, m.state) << "the first logo slides out";
    settle();
    EXPECT_EQ(4, m.shownLogo);
    EXPECT_TRUE(pixelIs(239, 319, kLogo + 4 * 0x10));
    EXPECT_TRUE(pixelIs(20, iconY(4), kSelected + 4 * 0x10));
    press('8');
    EXPECT_EQ(0, m.selection);
    press('6');
    press('6');
    EXPECT_EQ(2, m.selection);
    press('4');
    EXPECT_EQ(1, m.selection);
    gamelib::screenCanvas->keyPressed('8');
    steps(5);
    EXPECT_EQ(2, m.selection) << "a held cursor key moves once";
    gamelib::screenCanvas->keyReleased('8');
    step();
}

TEST_F(MainMenuTest, ActionFourteenRepeatsWhileHeld)
{
    startToMainMenu();
    MainMenu& m = menu();
    gamelib::screenCanvas->keyPressed(-2);
    steps(3);
    EXPECT_EQ(2, m.selection) << "one entry per step: 0 -> 4 -> 3 -> 2";
    gamelib::screenCanvas->keyReleased(-2);
    step();
    const int32_t held = m.selection;
    steps(3);
    EXPECT_EQ(held, m.selection);
    gamelib::screenCanvas->keyPressed(-3);
    steps(2);
    EXPECT_EQ((held + 2) % 5, m.selection);
}

TEST_F(MainMenuTest, ANavigationPressWhileTheLogoSlidesInReversesItFromWhereItIs)
{
    startToMainMenu();
    MainMenu& m = menu();
    press('8');
    EXPECT_EQ(MainMenu::STATE_LOGO_OUT, m.state) << "the shown logo slides out first";
    for (int i = 0; i < 20 && m.state != MainMenu::STATE_LOGO_IN; ++i)
        step();
    ASSERT_EQ(MainMenu::STATE_LOGO_IN, m.state);
    steps(4);
    const int32_t left = m.countdown;
    // The logo's left edge is (300 - countdown) / 300 of its width in from the right edge.
    const int32_t edge = 240 - ((300 - left) * shelltest::kLogoWidth) / 300;
    ASSERT_GT(edge, 240 - shelltest::kLogoWidth);
    ASSERT_LT(edge, 239);
    EXPECT_TRUE(pixelIs(edge, 319, kLogo + 1 * 0x10));
    EXPECT_TRUE(pixelIs(edge - 1, 319, shelltest::kBackdrop));
    ASSERT_GT(left, 0);
    gamelib::screenCanvas->keyPressed('8');
    step();
    EXPECT_EQ(MainMenu::STATE_LOGO_OUT, m.state);
    EXPECT_EQ(300 - left - 25, m.countdown);
    gamelib::screenCanvas->keyReleased('8');
    settle();
    EXPECT_EQ(2, m.shownLogo) << "the logo of the entry selected last slides in";
}

TEST_F(MainMenuTest, ATapOutsideEveryIconDoesNothingAndHoldsTheStateMachine)
{
    startToMainMenu();
    MainMenu& m = menu();
    press('8');
    const int32_t state = m.state;
    const int32_t countdown = m.countdown;
    gamelib::screenCanvas->pointerPressed(200, 100);
    step();
    EXPECT_EQ(state, m.state);
    EXPECT_EQ(countdown, m.countdown) << "the state machine skipped this step";
    EXPECT_EQ(1, m.selection);
    EXPECT_FALSE(m.launchFlag || m.exitFlag);
}

TEST_F(MainMenuTest, ATapOnTheGalleryIconOpensTheGalleryAfterTheIconsSlideOut)
{
    startToMainMenu();
    MainMenu& m = menu();
    // The rectangle's edges count.
    tap(20 + kIconSize / 2, iconY(3) + kIconSize / 2);
    EXPECT_EQ(3, m.selection);
    EXPECT_TRUE(m.launchFlag);
    GameInterfacePtr keep = gamelib::currentScreen;
    int closingSteps = 0;
    while (current<MainMenu>() && closingSteps < 200) {
        step();
        ++closingSteps;
    }
    ASSERT_TRUE(current<gallery::Gallery>());
    EXPECT_GE(closingSteps, 1700 / 25);
    EXPECT_LE(closingSteps, (1700 + 300) / 25 + 2);
    EXPECT_LT(m.posX[0] >> 16, 0) << "the other icons slid out to the left";
    EXPECT_EQ(20, m.posX[3] >> 16) << "the chosen one stayed";
    EXPECT_TRUE(lib->keepRunning());
}

TEST_F(MainMenuTest, ChoosingExitEndsTheApplicationAfterTheClosingTime)
{
    startToMainMenu();
    press('2');
    settle();
    press('5');
    MainMenu& m = menu();
    EXPECT_TRUE(m.exitFlag);
    EXPECT_FALSE(m.launchFlag);
    steps(1700 / 25);
    EXPECT_TRUE(lib->keepRunning()) << "not before the logo slid out and 1700 ms passed";
    steps(15);
    EXPECT_FALSE(lib->keepRunning());
}

TEST_F(MainMenuTest, ARegisteredGameIsStartedAndAMissingOneOpensAFreshMenu)
{
    shelltest::putGame(1, {u"mirf", u"logoMirf.png", &gamelib::mirrowfenName,
                           [] { return GameInterfacePtr(new FakeGame); }});
    startToMainMenu();
    GameInterfacePtr first = gamelib::currentScreen;
    press('5');
    steps(90);
    MainMenu* again = current<MainMenu>();
    ASSERT_TRUE(again) << "the brick-breaker is not part of this program";
    EXPECT_NE(first.get(), static_cast<GameInterface*>(again));
    EXPECT_EQ(MainMenu::STATE_OPENING, again->state);
    EXPECT_EQ(0, starts);
    settle();
    press('8');
    settle();
    press('5');
    steps(90);
    EXPECT_TRUE(current<FakeGame>());
    EXPECT_EQ(1, starts);
}

TEST_F(MainMenuTest, ASelectionMovedToExitWhileAGameLaunchesOpensAFreshMenu)
{
    shelltest::putGame(0, {u"tesk", u"logoTesk.png", &gamelib::tessarineName,
                           [] { return GameInterfacePtr(new FakeGame); }});
    startToMainMenu();
    GameInterfacePtr first = gamelib::currentScreen;
    press('5'); // launch the first game
    MainMenu& m = menu();
    ASSERT_TRUE(m.launchFlag);
    press('2'); // up from the first entry wraps to exit while the icons slide out
    ASSERT_EQ(m.exitEntry, m.selection);
    ASSERT_TRUE(m.launchFlag);
    steps(90);
    MainMenu* again = current<MainMenu>();
    ASSERT_TRUE(again) << "no screen belongs to the exit entry";
    EXPECT_NE(first.get(), static_cast<GameInterface*>(again));
    EXPECT_EQ(0, starts);
    EXPECT_TRUE(lib->keepRunning());
}

} // namespace
