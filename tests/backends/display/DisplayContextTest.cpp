// The display-bound drawing context: the back buffer is bound only between acquire and present,
// drawing through it reaches the window, and a missing or suspended display skips frames.
#include "TestDevice.h"

#include "display/DisplayContext.h"
#include "display/WindowSubclass.h"

#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

using namespace ScreenHAL;

namespace {

class DisplayContextTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testdevice::reset();
        window = testdevice::createRecordingWindow();
    }
    void TearDown() override { testdevice::reset(); }

    uint16_t windowPixel(int x, int y)
    {
        return (*platform::WindowSystem::backingStore(window))[static_cast<size_t>(y) * 240 + x];
    }

    HWND window = nullptr;
};

TEST_F(DisplayContextTest, TheBackBufferIsBoundFromAcquireToPresent)
{
    DisplayContext context(window, DisplayParams{240, 320, 0, 0});
    ASSERT_TRUE(context.hasDisplay());
    EXPECT_EQ(context.params.swapEffect, 2); // what the GDI display offers, not what was asked
    EXPECT_EQ(context.targetSurface(), nullptr);

    ImageHolder* back = context.AcquireBackBuffer();
    ASSERT_EQ(back, &context.backBuffer);
    ASSERT_NE(back->surface, nullptr);
    EXPECT_EQ(back->surface->width, 240);
    EXPECT_EQ(back->surface->height, 320);
    EXPECT_EQ(context.clip, (Gfx::Rect{0, 0, 240, 320}));
    context.FillRect(Gfx::Rect{10, 20, 30, 40}, 0x07E0);
    context.FillRect(Gfx::Rect{0, 0, 240, 10}, 0x001F);
    ASSERT_TRUE(context.Present(0));
    EXPECT_EQ(context.backBuffer.surface, nullptr);
    EXPECT_EQ(windowPixel(15, 25), 0x07E0);
    EXPECT_EQ(windowPixel(239, 0), 0x001F);
    EXPECT_NE(windowPixel(35, 45), 0x07E0);

    // Drawing after the present reaches nothing; a second present has nothing to show.
    context.FillRect(Gfx::Rect{0, 0, 240, 320}, 0xFFFF);
    EXPECT_FALSE(context.Present(0));
    EXPECT_EQ(windowPixel(15, 25), 0x07E0);
}

TEST_F(DisplayContextTest, ASuspendedDisplaySkipsTheFrame)
{
    DisplayContext context(window, DisplayParams{240, 320, 0, 1});
    ASSERT_TRUE(context.hasDisplay());
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(context.AcquireBackBuffer(), nullptr);
    EXPECT_FALSE(context.Present(0));
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_NE(context.AcquireBackBuffer(), nullptr);
    EXPECT_TRUE(context.Present(0));
}

TEST_F(DisplayContextTest, WithoutADisplayTheRequestedParametersStayAndFramesAreSkipped)
{
    testdevice::setScreen(240, 318);
    DestroyWindow(window);
    window = testdevice::createRecordingWindow();
    {
        DisplayContext context(window, DisplayParams{240, 318, 1, 0});
        EXPECT_FALSE(context.hasDisplay());
        EXPECT_EQ(context.params.width, 240);
        EXPECT_EQ(context.params.height, 318);
        EXPECT_EQ(context.params.orientation, 1);
        EXPECT_EQ(context.AcquireBackBuffer(), nullptr);
        EXPECT_FALSE(context.Present(0));
    }
    EXPECT_EQ(WindowSubclass::count(), 0);
}

TEST_F(DisplayContextTest, TheSecondSlotTakesTheBackBufferWhenAsked)
{
    DisplayContext context(window, DisplayParams{240, 320, 0, 1});
    context.backBuffer.useSecond = 1;
    ImageHolder* back = context.AcquireBackBuffer();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->surface, nullptr);
    ASSERT_NE(back->secondSurface, nullptr);
    context.FillRect(Gfx::Rect{0, 0, 4, 4}, 0xF800);
    ASSERT_TRUE(context.Present(0));
    EXPECT_EQ(back->secondSurface, nullptr);
    EXPECT_EQ(windowPixel(3, 3), 0xF800);
}

TEST_F(DisplayContextTest, DeletingTheContextDestroysTheDisplay)
{
    auto* context = new DisplayContext(window, DisplayParams{240, 320, 0, 1});
    EXPECT_EQ(WindowSubclass::count(), 1);
    ASSERT_NE(context->AcquireBackBuffer(), nullptr);
    delete context; // with a frame still acquired
    EXPECT_EQ(WindowSubclass::count(), 0);
}

} // namespace
