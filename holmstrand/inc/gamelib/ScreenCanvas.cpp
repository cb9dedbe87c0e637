#include "gamelib/ScreenCanvas.h"

#include "gamelib/GameLib.h"

#include "lang/DSystem.h"

namespace gamelib {

using qev::lang::DSystem;

ScreenCanvasPtr screenCanvas;
qev::microedition::lcdui::DGraphicsPtr screenGraphics;
int32_t screenWidth = 0;
int32_t screenHeight = 0;

uint8_t keyUp = 0;
uint8_t keyDown = 0;
uint8_t keyLeft = 0;
uint8_t keyRight = 0;
uint8_t keyFire = 0;
uint8_t key1 = 0;
uint8_t key3 = 0;
uint8_t key7 = 0;
uint8_t key9 = 0;
uint8_t keySoftLeft = 0;
uint8_t keySoftRight = 0;
uint8_t keyStar = 0;
uint8_t keyPound = 0;
uint8_t keyPause = 0;
uint8_t keyAction14 = 0;
uint8_t keyAction15 = 0;
uint8_t anyKey = 0;
int32_t lastKey = 0;
int32_t softKeyLeftCode = 0;
int32_t softKeyRightCode = 0;

int32_t pointerX = 0;
int32_t pointerY = 0;
int32_t pointerPrevX = 0;
int32_t pointerPrevY = 0;
uint8_t pointerPressed = 0;
uint8_t pointerDragged = 0;
uint8_t doubleTap = 0;
int64_t lastPressTime = 0;

qev::lang::DintArrayPtr levelJumpSequence;
int32_t levelJumpMatch = 0;
uint8_t levelJumpFlag = 0;
int32_t levelJumpNumber = 0;

namespace {

struct KeyEvent
{
    int32_t code;
    bool down;
};

// One canvas per run, so the queue is the application's. A full queue overwrites its newest
// entry and keeps the oldest ones.
KeyEvent keyQueue[ScreenCanvas::kQueueSize];
int32_t queueRead = -1;
int32_t queueWrite = -1;

// The flags of actions 0-8, 11 and 12, by action.
uint8_t* plainActionFlag(int32_t action)
{
    switch (action) {
    case 0:
        return &keyUp;
    case 1:
        return &keyDown;
    case 2:
        return &keyLeft;
    case 3:
        return &keyRight;
    case 4:
        return &keyFire;
    case 5:
        return &key1;
    case 6:
        return &key3;
    case 7:
        return &key7;
    case 8:
        return &key9;
    case 11:
        return &keyStar;
    case 12:
        return &keyPound;
    default:
        return nullptr;
    }
}

void clearActionFlags()
{
    for (uint8_t* flag :
         {&keyUp, &keyDown, &keyLeft, &keyRight, &keyFire, &key1, &key3, &key7, &key9, &keySoftLeft,
          &keySoftRight, &keyStar, &keyPound, &keyPause, &keyAction14, &keyAction15})
        *flag = 0;
}

int32_t wrapping(uint32_t value)
{
    return static_cast<int32_t>(value);
}

// The hidden level select. True when the press was taken as one of its digits.
bool matchLevelJump(int32_t code)
{
    if (!levelJumpSequence || levelJumpSequence->length < ScreenCanvas::kLevelJumpLength)
        return false;
    if (levelJumpMatch == 3 || levelJumpMatch == 4) {
        // Any key counts as a digit; codes far from the digits wrap instead of overflowing.
        levelJumpSequence[levelJumpMatch] = wrapping(static_cast<uint32_t>(code) - '0');
        if (++levelJumpMatch == ScreenCanvas::kLevelJumpLength) {
            levelJumpMatch = 0;
            levelJumpNumber = wrapping(static_cast<uint32_t>(levelJumpSequence[3]) * 10u +
                                       static_cast<uint32_t>(levelJumpSequence[4]));
            levelJumpFlag = 1;
        }
        return true;
    }
    if (levelJumpMatch >= 0 && levelJumpMatch < 3 && code == levelJumpSequence[levelJumpMatch])
        ++levelJumpMatch;
    else
        levelJumpMatch = 0;
    return false;
}

} // namespace

ScreenCanvas::ScreenCanvas()
{
    takeScreen();
}

ScreenCanvas::~ScreenCanvas() = default;

void ScreenCanvas::takeScreen()
{
    screenGraphics = getGraphics();
    // The graphics draws into this canvas's image, so it keeps the canvas alive.
    screenGraphics->keepAlive(qev::lang::DObjectPtr(this));
    screenWidth = getWidth();
    screenHeight = getHeight();
    emptyQueue();
}

void ScreenCanvas::sizeChanged(int32_t, int32_t)
{
    takeScreen();
    screenSupported = GameLib::loadScreenConfig() ? 1 : 0;
    gamelib::pointerPressed = 0;
    keySoftLeft = 0;
}

void ScreenCanvas::showNotify()
{
    GameLib::resetFrameTimer();
}

void ScreenCanvas::keyPressed(int32_t keyCode)
{
    enqueue(keyCode, true);
}

void ScreenCanvas::keyReleased(int32_t keyCode)
{
    enqueue(keyCode, false);
}

void ScreenCanvas::keyRepeated(int32_t keyCode)
{
    enqueue(keyCode, true);
}

void ScreenCanvas::pointerPressed(int32_t x, int32_t y)
{
    pointerX = pointerPrevX = x;
    pointerY = pointerPrevY = y;
    gamelib::pointerPressed = 1;
    const int64_t now = DSystem::currentTimeMillis();
    doubleTap = now - lastPressTime < kDoubleTapMillis ? 1 : 0;
    lastPressTime = now;
}

void ScreenCanvas::pointerReleased(int32_t x, int32_t y)
{
    pointerX = x;
    pointerY = y;
    gamelib::pointerDragged = 0;
    gamelib::pointerPressed = 0;
}

void ScreenCanvas::pointerDragged(int32_t x, int32_t y)
{
    pointerPrevX = pointerX;
    pointerPrevY = pointerY;
    pointerX = x;
    pointerY = y;
    gamelib::pointerDragged = 1;
    gamelib::pointerPressed = 1;
}

bool ScreenCanvas::flushGraphics()
{
    return DGameCanvas::flushGraphics();
}

void ScreenCanvas::enqueue(int32_t code, bool down)
{
    if (queueWrite < 0)
        queueRead = 0;
    if (queueWrite < kQueueSize - 1)
        ++queueWrite;
    keyQueue[queueWrite] = KeyEvent{code, down};
}

void ScreenCanvas::emptyQueue()
{
    queueRead = -1;
    queueWrite = -1;
}

int32_t ScreenCanvas::queuedEvents()
{
    return queueRead < 0 ? 0 : queueWrite - queueRead + 1;
}

void ScreenCanvas::processKeyEvent()
{
    if (queueRead < 0)
        return;
    const KeyEvent event = keyQueue[queueRead];
    if (++queueRead > queueWrite)
        emptyQueue();
    applyKey(event.code, event.down);
}

void ScreenCanvas::applyKey(int32_t code, bool down)
{
    if (down && matchLevelJump(code))
        return;
    const int32_t action = getGameAction(code);
    const uint8_t value = down ? 1 : 0;
    if (action == 13)
        keyPause = value;
    if (action == SOFT_LEFT || code == softKeyLeftCode)
        keySoftLeft = value;
    else if (action == SOFT_RIGHT || code == softKeyRightCode)
        keySoftRight = value;
    if (action == 14)
        keyAction14 = value;
    else if (action == 15)
        keyAction15 = value;
    else if (uint8_t* flag = plainActionFlag(action))
        *flag = value;
    if (down)
        anyKey = 1;
    lastKey = code;
}

void ScreenCanvas::repaintScreen()
{
    if (GameInterfacePtr screen = currentScreen)
        screen->paint();
    flushGraphics();
}

void ScreenCanvas::resetInput()
{
    clearActionFlags();
    anyKey = 0;
    gamelib::pointerDragged = 0;
    doubleTap = 0;
    gamelib::pointerPressed = 0;
    emptyQueue();
}

void ScreenCanvas::clearKeys()
{
    clearActionFlags();
    lastPressTime = 0;
    lastKey = 0;
    pointerX = pointerY = pointerPrevX = pointerPrevY = 0;
    gamelib::pointerPressed = 0;
    doubleTap = 0;
    gamelib::pointerDragged = 0;
    levelJumpMatch = 0;
    resetInput();
}

} // namespace gamelib
