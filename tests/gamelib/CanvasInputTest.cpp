#include "ShellFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DeviceKeys.h"
#include "platform/testing/FakeClock.h"

#include <cstdint>

using qev::microedition::lcdui::kKeyHash;
using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;
using qev::microedition::lcdui::kKeyStar;

using gamelib::ScreenCanvas;

namespace {

constexpr int32_t kCursorUp = 0x26; // VK_UP: action 0
constexpr int32_t kFive = '5';      // action 4

class CanvasInput : public shelltest::ShellDisplayTest
{
  protected:
    void SetUp() override
    {
        startDisplay();
        makeCanvas();
        canvas = gamelib::screenCanvas.get();
    }
    void step() { canvas->processKeyEvent(); }
    ScreenCanvas* canvas = nullptr;
};

TEST_F(CanvasInput, TheCanvasTakesTheScreenSizeAndGraphics)
{
    EXPECT_EQ(240, gamelib::screenWidth);
    EXPECT_EQ(320, gamelib::screenHeight);
    ASSERT_TRUE(gamelib::screenGraphics);
    // Drawing with the screen graphics reaches the window on a flush.
    gamelib::screenGraphics->setColor(0xFF0000);
    gamelib::screenGraphics->fillRect(0, 0, 240, 320);
    canvas->flushGraphics();
    EXPECT_EQ(0xF800, windowPixel(120, 160));
}

TEST_F(CanvasInput, APressAndReleaseQueuedInOneStepAreSeenByExactlyOneStep)
{
    canvas->keyPressed(kFive);
    canvas->keyReleased(kFive);
    EXPECT_EQ(0, gamelib::keyFire);
    step();
    EXPECT_EQ(1, gamelib::keyFire);
    EXPECT_EQ(1, gamelib::anyKey);
    step();
    EXPECT_EQ(0, gamelib::keyFire);
    // A release changes the last key but never clears anyKey.
    EXPECT_EQ(1, gamelib::anyKey);
    EXPECT_EQ(kFive, gamelib::lastKey);
    EXPECT_EQ(0, ScreenCanvas::queuedEvents());
}

TEST_F(CanvasInput, EventsComeOutInOrderAndAFullQueueOverwritesOnlyItsNewestSlot)
{
    for (int32_t i = 0; i < 1030; ++i)
        canvas->keyPressed(1000 + i);
    EXPECT_EQ(ScreenCanvas::kQueueSize, ScreenCanvas::queuedEvents());
    for (int32_t i = 0; i < 1023; ++i) {
        step();
        ASSERT_EQ(1000 + i, gamelib::lastKey);
    }
    step();
    EXPECT_EQ(1000 + 1029, gamelib::lastKey);
    EXPECT_EQ(0, ScreenCanvas::queuedEvents());
    // The emptied queue starts again at its first slot.
    canvas->keyPressed(7);
    step();
    EXPECT_EQ(7, gamelib::lastKey);
}

TEST_F(CanvasInput, ARepeatedKeyStaysDownUntilItsRelease)
{
    canvas->keyPressed(kCursorUp);
    canvas->keyRepeated(kCursorUp);
    canvas->keyRepeated(kCursorUp);
    canvas->keyReleased(kCursorUp);
    for (int i = 0; i < 3; ++i) {
        step();
        EXPECT_EQ(1, gamelib::keyUp) << "step " << i;
    }
    step();
    EXPECT_EQ(0, gamelib::keyUp);
}

TEST_F(CanvasInput, EveryActionSetsItsOwnFlag)
{
    struct Case
    {
        int32_t code;
        uint8_t* flag;
    };
    const Case cases[] = {{'2', &gamelib::keyUp},
                          {'8', &gamelib::keyDown},
                          {'4', &gamelib::keyLeft},
                          {'6', &gamelib::keyRight},
                          {'5', &gamelib::keyFire},
                          {'1', &gamelib::key1},
                          {'3', &gamelib::key3},
                          {'7', &gamelib::key7},
                          {'9', &gamelib::key9},
                          {kKeySoftLeft, &gamelib::keySoftLeft},
                          {kKeySoftRight, &gamelib::keySoftRight},
                          {kKeyStar, &gamelib::keyStar},
                          {kKeyHash, &gamelib::keyPound},
                          {-4, &gamelib::keyPause},
                          {-2, &gamelib::keyAction14},
                          {-3, &gamelib::keyAction15}};
    for (const Case& c : cases) {
        ScreenCanvas::clearKeys();
        canvas->applyKey(c.code, true);
        int set = 0;
        for (const Case& other : cases)
            set += *other.flag;
        EXPECT_EQ(1, *c.flag) << c.code;
        EXPECT_EQ(1, set) << c.code;
        canvas->applyKey(c.code, false);
        EXPECT_EQ(0, *c.flag) << c.code;
    }
}

TEST_F(CanvasInput, ConfiguredSoftKeyCodesActAsTheSoftKeys)
{
    gamelib::softKeyLeftCode = 0x70;
    gamelib::softKeyRightCode = 0x71;
    canvas->applyKey(0x70, true);
    canvas->applyKey(0x71, true);
    EXPECT_EQ(1, gamelib::keySoftLeft);
    EXPECT_EQ(1, gamelib::keySoftRight);
    canvas->applyKey(0x70, false);
    EXPECT_EQ(0, gamelib::keySoftLeft);
    EXPECT_EQ(1, gamelib::keySoftRight);
}

TEST_F(CanvasInput, ASecondTapWithin300MillisecondsIsADoubleTap)
{
    canvas->pointerPressed(10, 20);
    EXPECT_EQ(1, gamelib::pointerPressed);
    canvas->pointerReleased(11, 21);
    EXPECT_EQ(0, gamelib::pointerPressed);
    EXPECT_EQ(11, gamelib::pointerX);
    platform::FakeClock::step(250);
    canvas->pointerPressed(10, 20);
    EXPECT_EQ(1, gamelib::doubleTap);
    platform::FakeClock::step(299);
    canvas->pointerPressed(10, 20);
    EXPECT_EQ(1, gamelib::doubleTap);
    platform::FakeClock::step(300);
    canvas->pointerPressed(10, 20);
    EXPECT_EQ(0, gamelib::doubleTap);
}

TEST_F(CanvasInput, DraggingKeepsThePreviousPosition)
{
    canvas->pointerPressed(10, 20);
    canvas->pointerDragged(15, 28);
    EXPECT_EQ(10, gamelib::pointerPrevX);
    EXPECT_EQ(20, gamelib::pointerPrevY);
    EXPECT_EQ(15, gamelib::pointerX);
    EXPECT_EQ(28, gamelib::pointerY);
    EXPECT_EQ(1, gamelib::pointerDragged);
    canvas->pointerDragged(17, 30);
    EXPECT_EQ(15, gamelib::pointerPrevX);
    canvas->pointerReleased(17, 30);
    EXPECT_EQ(0, gamelib::pointerDragged);
}

class LevelJump : public CanvasInput
{
  protected:
    void SetUp() override
    {
        CanvasInput::SetUp();
        gamelib::GameStatics::init();
    }
    void press(int32_t code)
    {
        canvas->keyPressed(code);
        canvas->keyReleased(code);
        step();
        step();
    }
    void pressSequence()
    {
        for (int32_t code : gamelib::GameStatics::kLevelJumpCodes)
            press(code);
    }
};

TEST_F(LevelJump, TheThreeCodesAndTwoDigitsChooseALevelAndTheDigitsAreConsumed)
{
    pressSequence();
    EXPECT_EQ(0, gamelib::levelJumpFlag);
    canvas->keyPressed('1');
    step();
    EXPECT_EQ(0, gamelib::key1) << "a digit of the sequence reaches no action";
    canvas->keyPressed('2');
    step();
    EXPECT_EQ(1, gamelib::levelJumpFlag);
    EXPECT_EQ(12, gamelib::levelJumpNumber);
    // The match starts over: the next "1" is an ordinary key again.
    press('1');
    canvas->keyPressed('1');
    step();
    EXPECT_EQ(1, gamelib::key1);
}

TEST_F(LevelJump, AWrongKeyRestartsTheMatchWithoutTestingItAgainstTheFirstCode)
{
    const int32_t* codes = gamelib::GameStatics::kLevelJumpCodes;
    ASSERT_NE(codes[0], codes[1]);
    // The second press is wrong in second place. Had it been tested against the first code
    // (which it equals), the next two presses would complete the codes and the digits would
    // choose level 42.
    press(codes[0]);
    press(codes[0]);
    press(codes[1]);
    press(codes[2]);
    press('4');
    press('2');
    EXPECT_EQ(0, gamelib::levelJumpFlag);
    EXPECT_EQ('2', gamelib::lastKey) << "the digits went on as ordinary keys";
    pressSequence();
    press('0');
    press('7');
    EXPECT_EQ(1, gamelib::levelJumpFlag);
    EXPECT_EQ(7, gamelib::levelJumpNumber);
}

TEST_F(LevelJump, KeysFarFromTheDigitsWrapInsteadOfOverflowing)
{
    pressSequence();
    press(INT32_MIN);
    press(INT32_MAX);
    ASSERT_EQ(1, gamelib::levelJumpFlag);
    // (INT32_MIN - 48) * 10 + (INT32_MAX - 48), in 32-bit two's complement.
    const uint32_t first = static_cast<uint32_t>(INT32_MIN) - 48u;
    const uint32_t second = static_cast<uint32_t>(INT32_MAX) - 48u;
    EXPECT_EQ(static_cast<int32_t>(first * 10u + second), gamelib::levelJumpNumber);
}

TEST_F(LevelJump, ClearingInputKeepsTheChosenLevelButForgetsAPartialMatch)
{
    pressSequence();
    press('3');
    ScreenCanvas::clearKeys();
    press('4');
    EXPECT_EQ(0, gamelib::levelJumpFlag);
    pressSequence();
    press('3');
    press('4');
    ASSERT_EQ(1, gamelib::levelJumpFlag);
    ScreenCanvas::clearKeys();
    EXPECT_EQ(1, gamelib::levelJumpFlag);
    EXPECT_EQ(34, gamelib::levelJumpNumber);
}

TEST_F(CanvasInput, ResetAndClearDifferInWhatTheyKeep)
{
    gamelib::softKeyLeftCode = 0x70;
    canvas->pointerPressed(30, 40);
    canvas->applyKey(kFive, true);
    canvas->keyPressed(kCursorUp);
    ScreenCanvas::resetInput();
    EXPECT_EQ(0, gamelib::keyFire);
    EXPECT_EQ(0, gamelib::anyKey);
    EXPECT_EQ(0, gamelib::pointerPressed);
    EXPECT_EQ(0, ScreenCanvas::queuedEvents());
    // The reset keeps the positions and the last key; clearing does not.
    EXPECT_EQ(30, gamelib::pointerX);
    EXPECT_EQ(kFive, gamelib::lastKey);
    ScreenCanvas::clearKeys();
    EXPECT_EQ(0, gamelib::pointerX);
    EXPECT_EQ(0, gamelib::lastKey);
    EXPECT_EQ(0, gamelib::lastPressTime);
    EXPECT_EQ(0x70, gamelib::softKeyLeftCode);
}

} // namespace
