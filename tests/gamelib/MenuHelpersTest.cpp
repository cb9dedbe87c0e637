#include "ShellFixture.h"

#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"

#include <climits>

using gamelib::GameMenu;

namespace {

class MenuHelpers : public shelltest::ShellDisplayTest
{
  protected:
    void SetUp() override
    {
        startDisplay();
        makeCanvas();
        gamelib::screenGraphics->setColor(0xFFFFFF);
        gamelib::screenGraphics->fillRect(0, 0, 240, 320);
    }
    uint16_t shown(int x, int y)
    {
        gamelib::screenCanvas->flushGraphics();
        return windowPixel(x, y);
    }
};

TEST_F(MenuHelpers, TheProgressBarAdvancesByItsStepAndStaysWithinItsRange)
{
    GameMenu::setProgressBar(100, 0, 20, 0x000000, 0xFF0000);
    EXPECT_EQ(20, GameMenu::progressValue()) << "setting the bar paints it once";
    // Frame at x 66 (the bar is 108 wide on 240), fill from x 68 for value * 104 / 100 pixels.
    EXPECT_EQ(0x0000, shown(66, 100));
    EXPECT_EQ(0xF800, shown(68, 104));
    EXPECT_EQ(0xF800, shown(68 + 20, 104));
    EXPECT_EQ(0xFFFF, shown(68 + 22, 104));
    for (int i = 0; i < 6; ++i)
        GameMenu::paintProgressBar();
    EXPECT_EQ(100, GameMenu::progressValue());
    EXPECT_EQ(0xF800, shown(68 + 103, 104));
    GameMenu::setProgressBar(100, 50, INT_MAX, 0, 0xFF0000);
    EXPECT_EQ(100, GameMenu::progressValue());
    GameMenu::setProgressBar(100, 50, INT_MIN, 0, 0xFF0000);
    EXPECT_EQ(0, GameMenu::progressValue());
}

TEST_F(MenuHelpers, MissingMenuImagesStayNullAndPresentOnesLoad)
{
    writeFile("graphics/selected.png", shelltest::png(30, 8, 0x7381A9));
    writeFile("graphics/arrowUp.png", shelltest::png(9, 5, 0));
    GameMenu::loadMenuImages();
    ASSERT_TRUE(gamelib::selectedImage);
    EXPECT_EQ(30, gamelib::selectedImage->getWidth());
    // The three go together: the up arrow loaded, the down arrow failed, the pause image was
    // not tried.
    EXPECT_TRUE(gamelib::arrowUpImage);
    EXPECT_FALSE(gamelib::arrowDownImage);
    EXPECT_FALSE(gamelib::pauseImage);
    EXPECT_EQ(qev::lang::DSystem::currentTimeMillis(), GameMenu::lastActionTime);
}

} // namespace
