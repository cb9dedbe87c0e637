// The frame loop: the host calls tick as often as it can; the game advances in fixed 25 ms steps,
// and a machine that falls behind loses painted frames before it loses steps.
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"
#include "microedition/lcdui/DFont.h"

#include <algorithm>

namespace gamelib {

using qev::lang::DSystem;
using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;

int64_t frameClock = 0;
int64_t lastTickDuration = 0;

void GameLib::resetFrameTimer()
{
    frameClock = DSystem::currentTimeMillis();
}

void GameLib::tick()
{
    if (!screenSupported) {
        unsupportedTick();
        return;
    }
    const int64_t now = DSystem::currentTimeMillis();
    const int64_t late = now - frameClock - kStepMillis;
    if (late >= 0) {
        // Long stalls are not caught up: the missed steps are dropped.
        if (late > kResyncMillis)
            frameClock = DSystem::currentTimeMillis();
        frameClock += kStepMillis;
        screenCanvas->processKeyEvent();
        // Held here: a screen may replace itself (and so drop the last other reference to
        // itself) during its own update.
        GameInterfacePtr screen = currentScreen;
        screen->update();
        if (lastTickDuration < kPaintSkipMillis)
            screenCanvas->repaintScreen();
    }
    lastTickDuration = DSystem::currentTimeMillis() - now;
}

int32_t GameLib::idleMillis()
{
    if (!screenSupported)
        return DMIDlet::idleMillis();
    const int64_t left = frameClock + kStepMillis - DSystem::currentTimeMillis();
    return static_cast<int32_t>(std::clamp<int64_t>(left, 0, kStepMillis));
}

void GameLib::drawUnsupportedMessage(DGraphicsPtr g)
{
    const int32_t h = DFont::getDefaultFont()->getHeight();
    const int32_t cx = screenWidth >> 1;
    const int32_t cy = screenHeight >> 1;
    g->drawString(u"This screen", cx, cy - h - 5, DGraphics::HCENTER);
    g->drawString(u"resolution is", cx, cy, DGraphics::HCENTER);
    g->drawString(u"not supported!", cx, cy + h + 5, DGraphics::HCENTER);
}

void GameLib::unsupportedTick()
{
    screenCanvas->processKeyEvent();
    screenGraphics->setColor(0);
    drawUnsupportedMessage(screenGraphics);
    screenGraphics->drawString(u"Exit", 1, screenHeight - 1, DGraphics::BOTTOM | DGraphics::LEFT);
    screenCanvas->flushGraphics();
    if ((keySoftLeft || pointerPressed) && currentScreen) {
        currentScreen->stop();
        currentScreen = nullptr;
        notifyDestroyed();
    }
    // The page of a start that found the screen unsupported ends the run after its time, or at
    // once on the exit key.
    if (unsupportedEndTime != 0 &&
        (keySoftLeft || pointerPressed || DSystem::currentTimeMillis() >= unsupportedEndTime))
        notifyDestroyed();
}

} // namespace gamelib
