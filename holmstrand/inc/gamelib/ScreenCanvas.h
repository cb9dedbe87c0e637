// The one full-screen canvas of the application. It only records input: key events go into a
// queue that the frame loop drains one event per step, stylus events update the pointer state at
// once. Screens read the flags below during their update and never receive events themselves.
#pragma once

#include "lang/DintArray.h"
#include "microedition/lcdui/DGameCanvas.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdint>

namespace gamelib {

class ScreenCanvas : public qev::microedition::lcdui::game::DGameCanvas
{
  public:
    static constexpr int32_t kQueueSize = 1024;
    // Length of the hidden level-select sequence: three fixed codes, then two digits.
    static constexpr int32_t kLevelJumpLength = 5;

    // Takes the display's size and graphics into the screen globals and empties the queue.
    ScreenCanvas();
    ~ScreenCanvas() override;
    const char* getClassName() override { return "ScreenCanvas"; }

    // Takes the new size as above and checks the screen configuration again.
    void sizeChanged(int32_t width, int32_t height) override;
    // Restarts the frame timer, so that the first step comes one step after showing.
    void showNotify() override;
    void pointerPressed(int32_t x, int32_t y) override;
    void pointerReleased(int32_t x, int32_t y) override;
    void keyPressed(int32_t keyCode) override;
    void keyReleased(int32_t keyCode) override;
    // An auto-repeat of a held key counts as one more press.
    void keyRepeated(int32_t keyCode) override;
    void pointerDragged(int32_t x, int32_t y) override;
    virtual bool flushGraphics();

    // Applies the oldest queued key event, if there is one.
    void processKeyEvent();
    void applyKey(int32_t code, bool down);
    // Paints the current screen, if any, and shows the result.
    void repaintScreen();

    // Clears the action flags, anyKey, the pointer's press, drag and double tap, and the queue.
    static void resetInput();
    // Consumes all input: the flags, the pointer, the last key and the partial level-select
    // match, then resetInput. The level-select result and the soft-key codes stay.
    static void clearKeys();
    // Number of queued key events.
    static int32_t queuedEvents();

  private:
    void takeScreen();
    static void enqueue(int32_t code, bool down);
    static void emptyQueue();
};

using ScreenCanvasPtr = qev::lang::DPtr<ScreenCanvas>;

// The global canvas (null until start-up makes it) and the screen it draws on.
extern ScreenCanvasPtr screenCanvas;
extern qev::microedition::lcdui::DGraphicsPtr screenGraphics;
extern int32_t screenWidth;
extern int32_t screenHeight;

// Action flags, set while the key of the action is down.
extern uint8_t keyUp;
extern uint8_t keyDown;
extern uint8_t keyLeft;
extern uint8_t keyRight;
extern uint8_t keyFire;
extern uint8_t key1;
extern uint8_t key3;
extern uint8_t key7;
extern uint8_t key9;
extern uint8_t keySoftLeft;
extern uint8_t keySoftRight;
extern uint8_t keyStar;
extern uint8_t keyPound;
extern uint8_t keyPause;
extern uint8_t keyAction14;
extern uint8_t keyAction15;
// Set by any press, cleared only by resetInput and clearKeys.
extern uint8_t anyKey;
// Code of the last applied event, press or release.
extern int32_t lastKey;
// Extra codes that count as the soft keys (0: none), from the key file.
extern int32_t softKeyLeftCode;
extern int32_t softKeyRightCode;

// Pointer state.
extern int32_t pointerX;
extern int32_t pointerY;
extern int32_t pointerPrevX;
extern int32_t pointerPrevY;
extern uint8_t pointerPressed;
extern uint8_t pointerDragged;
extern uint8_t doubleTap;
extern int64_t lastPressTime;
// A second press within this many milliseconds is a double tap.
constexpr int64_t kDoubleTapMillis = 300;

// Hidden level select: the sequence (made by GameStatics::init), how much of it matched, and
// the result that the games test and clear.
extern qev::lang::DintArrayPtr levelJumpSequence;
extern int32_t levelJumpMatch;
extern uint8_t levelJumpFlag;
extern int32_t levelJumpNumber;

} // namespace gamelib
