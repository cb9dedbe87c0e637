// The loading progress bar and the images that every game menu shares.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"

#include <algorithm>

namespace gamelib {

using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

int64_t GameMenu::lastActionTime = 0;

namespace {

struct ProgressBar
{
    int32_t y = 0;
    int32_t value = 0;
    int32_t step = 0;
    int32_t frameColour = 0;
    int32_t fillColour = 0;
} progress;

} // namespace

void GameMenu::setProgressBar(int32_t y, int32_t value, int32_t step, int32_t frameColour,
                              int32_t fillColour)
{
    progress = ProgressBar{y, value, step, frameColour, fillColour};
    paintProgressBar();
}

void GameMenu::paintProgressBar()
{
    progress.value = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(progress.value) + progress.step, 0, 100));
    const int32_t x = (screenWidth - kProgressWidth) / 2;
    screenGraphics->setColor(progress.frameColour);
    screenGraphics->drawRect(x, progress.y, kProgressWidth, kProgressHeight);
    screenGraphics->setColor(progress.fillColour);
    screenGraphics->fillRect(x + 2, progress.y + 2, progress.value * 104 / 100, 6);
}

int32_t GameMenu::progressValue()
{
    return progress.value;
}

void GameMenu::loadMenuImages()
{
    if (!arrowUpImage) {
        tolerant([&] {
            arrowUpImage = GameLib::createImage(u"/graphics/arrowUp.png");
            arrowDownImage = GameLib::createImage(u"/graphics/arrowDown.png");
            pauseImage = GameLib::createImage(u"/graphics/pause.png");
        });
    }
    if (!selectedImage) {
        tolerant([&] { selectedImage = GameLib::createImage(u"/graphics/selected.png"); });
    }
    lastActionTime = qev::lang::DSystem::currentTimeMillis();
}

} // namespace gamelib
