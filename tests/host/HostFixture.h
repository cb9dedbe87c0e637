// The host on the headless window backend with the fake clock, the manual audio device and
// recorded message boxes, running a test application. Every test starts from a fresh profile,
// window system and sound system, and leaves no engine, MIDlet, display or window behind.
#pragma once

#include "GameEngine.h"
#include "LoopHooks.h"

#include "microedition/lcdui/DCanvas.h"
#include "microedition/midlet/DMIDlet.h"
#include "platform/testing/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace hosttest {

// What the test application saw, in order ("startApp", "key 38", "pointer 10,20", ...).
struct Journal
{
    std::vector<std::string> entries;
    int ticks = 0;
    int destroyed = 0; // MIDlets whose destructor ran
    int count(const std::string& entry) const;
};

Journal& journal();

class RecordingCanvas : public qev::microedition::lcdui::DCanvas
{
  public:
    void keyPressed(int32_t code) override;
    void keyRepeated(int32_t code) override;
    void keyReleased(int32_t code) override;
    void pointerPressed(int32_t x, int32_t y) override;
    void pointerReleased(int32_t x, int32_t y) override;
    void pointerDragged(int32_t x, int32_t y) override;
    void showNotify() override;
    void hideNotify() override;
};

class TestMIDlet : public qev::microedition::midlet::DMIDlet
{
  public:
    ~TestMIDlet() override;
    bool destroyApp(bool unconditional) override;
    void pauseApp() override;
    void startApp() override;
    void tick() override;
    qev::lang::DStringPtr getAppProperty(qev::lang::DStringPtr key) override;

    // Optional behaviour, set by the test before the run.
    std::function<void(TestMIDlet&)> onStart;
    std::function<void(TestMIDlet&)> onTick;
    qev::lang::DPtr<RecordingCanvas> canvas;
};

// The application the next createMIDlet makes; null makes a plain TestMIDlet.
std::function<qev::lang::DPtr<TestMIDlet>()>& midletFactory();
int& createMIDletCalls();

// Loop hooks from two functions; ends the run after `limit` passes at the latest.
class Hooks : public host::LoopHooks
{
  public:
    void beforePass(long pass) override;
    bool afterPass(long pass) override;
    std::function<void(long)> before;
    std::function<bool(long)> after;
    long limit = 200;
    long passes = 0;
};

class HostTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // runEngine with the screen's size.
    int run(Hooks& hooks);
    HWND window() const;
    std::vector<std::string> boxTexts() const;

    platform::HeadlessBackend* headless = nullptr;
};

} // namespace hosttest
