// A MIDlet with its display on a window of the emulated screen: the headless window backend by
// default, SDL's (offscreen) one on request. Every test starts from a fresh device profile and
// a fresh detection, and leaves no global MIDlet, display or window behind.
#pragma once

#include "display/DisplayContext.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/midlet/DMIDlet.h"

#include "platform/testing/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace displayfixture {

// Records what the host and the display do to it.
class TestMIDlet : public qev::microedition::midlet::DMIDlet
{
  public:
    bool destroyApp(bool) override { return true; }
    void pauseApp() override {}
    void startApp() override {}
    void tick() override { ++ticks; }
    int ticks = 0;
};

class DisplayFixture : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Window, display context, MIDlet and DDisplay; `sdl` asks for the SDL window backend.
    // False (with the test skipped) when SDL has no video driver.
    bool start(bool sdl = false);
    // The window's RGB565 pixel at (x, y).
    uint16_t windowPixel(int x, int y) const;

    platform::HeadlessBackend* headless = nullptr;
    HWND window = nullptr;
    std::unique_ptr<ScreenHAL::DisplayContext> context;
    qev::lang::DPtr<TestMIDlet> midlet;
    qev::microedition::lcdui::DDisplayPtr display;
};

} // namespace displayfixture
