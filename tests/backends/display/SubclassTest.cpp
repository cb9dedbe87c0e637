// The display's window subclass: activation suspends and resumes the frame cycle before the
// application hears of it; destruction unhooks the display.
#include "TestDevice.h"

#include "display/Display.h"
#include "display/WindowSubclass.h"

#include "platform/modules/BuiltinModules.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

using namespace ScreenHAL;
using platform::NativeEvent;

namespace {

int g_otherDestroys = 0;

LRESULT otherProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        ++g_otherDestroys;
    return DefWindowProcW(w, message, wParam, lParam);
}

HWND createOtherWindow(const char16_t* title)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = otherProc;
    wc.lpszClassName = u"OtherWindow";
    RegisterClassW(&wc);
    return CreateWindowExW(0, u"OtherWindow", title, WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                           nullptr, nullptr);
}

class SubclassTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        backend = &testdevice::reset();
        window = testdevice::createRecordingWindow();
        DisplayParams p{240, 320, 0, 1};
        display = Display::Create(window, p);
        ASSERT_NE(display, nullptr);
    }
    void TearDown() override
    {
        if (display)
            Display::Destroy(display);
        testdevice::reset();
    }
    void pump()
    {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
    }
    void activation(bool on)
    {
        NativeEvent e;
        e.window = window;
        e.kind = on ? NativeEvent::Kind::Activate : NativeEvent::Kind::Deactivate;
        backend->inject(e);
        pump();
    }

    platform::HeadlessBackend* backend = nullptr;
    HWND window = nullptr;
    Display* display = nullptr;
};

TEST_F(SubclassTest, DeactivationSuspendsTheDisplayBeforeTheApplicationHearsIt)
{
    testdevice::recorded().clear();
    activation(false);
    EXPECT_FALSE(display->active());
    EXPECT_EQ(testdevice::countOf(WM_ACTIVATE), 1); // the application still gets it
    EXPECT_EQ(platform::WindowSystem::shellState(window), 0x15u);
    EXPECT_FALSE(display->BeginScene());

    activation(true);
    EXPECT_TRUE(display->active());
    EXPECT_EQ(platform::WindowSystem::shellState(window), 0x2Au);
    EXPECT_TRUE(display->BeginScene());
    EXPECT_TRUE(display->EndScene(0));
}

TEST_F(SubclassTest, EndSceneWhileSuspendedPresentsNothing)
{
    ASSERT_TRUE(display->BeginScene());
    const int before = backend->presentCount(window);
    activation(false);
    EXPECT_FALSE(display->EndScene(0));
    EXPECT_EQ(backend->presentCount(window), before);
}

TEST_F(SubclassTest, DestroyingTheWindowUnhooksTheDisplayAndReachesTheApplication)
{
    EXPECT_EQ(WindowSubclass::count(), 1);
    testdevice::recorded().clear();
    DestroyWindow(window);
    EXPECT_EQ(WindowSubclass::count(), 0);
    EXPECT_EQ(testdevice::countOf(WM_DESTROY), 1);
    Display::Destroy(display); // the window is gone: nothing left to unhook
    display = nullptr;
    EXPECT_EQ(platform::allKeysState(), FALSE);
}

TEST_F(SubclassTest, RemovingAWindowFromTheMiddleKeepsTheOthersReachable)
{
    HWND second = createOtherWindow(u"Second");
    HWND third = createOtherWindow(u"Third");
    g_otherDestroys = 0;
    DisplayParams p{240, 320, 0, 1};
    Display* d2 = Display::Create(second, p);
    Display* d3 = Display::Create(third, p);
    ASSERT_NE(d2, nullptr);
    ASSERT_NE(d3, nullptr);
    ASSERT_EQ(WindowSubclass::count(), 3);

    // The first entry goes; the last one moves into its slot. The application procedure of the
    // destroyed window, not the moved one's, must get WM_DESTROY.
    testdevice::recorded().clear();
    DestroyWindow(window);
    EXPECT_EQ(testdevice::countOf(WM_DESTROY), 1);
    EXPECT_EQ(g_otherDestroys, 0);
    EXPECT_EQ(WindowSubclass::count(), 2);
    SendMessageW(third, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(d3->active());
    EXPECT_TRUE(d2->active());
    SendMessageW(second, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(d2->active());
    Display::Destroy(d2);
    Display::Destroy(d3);
    EXPECT_EQ(WindowSubclass::count(), 0);
    EXPECT_EQ(GetWindowLongW(third, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(otherProc));
    EXPECT_EQ(GetWindowLongW(second, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(otherProc));
}

TEST_F(SubclassTest, AFullTableFailsTheDisplay)
{
    std::vector<HWND> windows;
    std::vector<Display*> displays;
    for (int i = 1; i < WindowSubclass::kCapacity; ++i) {
        HWND w = testdevice::createRecordingWindow(u"More");
        DisplayParams p{240, 320, 0, 1};
        displays.push_back(Display::Create(w, p));
        ASSERT_NE(displays.back(), nullptr);
    }
    HWND extra = testdevice::createRecordingWindow(u"Extra");
    DisplayParams p{240, 320, 0, 1};
    EXPECT_EQ(Display::Create(extra, p), nullptr);
    for (Display* d : displays)
        Display::Destroy(d);
    EXPECT_EQ(WindowSubclass::count(), 1);
}

TEST_F(SubclassTest, ASecondDisplayOnTheSameWindowIsRefusedAndTheFirstStaysHooked)
{
    DisplayParams p{240, 320, 0, 1};
    Display* second = Display::Create(window, p);
    EXPECT_EQ(second, nullptr);
    if (second)
        Display::Destroy(second);
    EXPECT_EQ(WindowSubclass::count(), 1);
    EXPECT_EQ(GetWindowLongW(window, GWL_WNDPROC),
              reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure));

    // The first display still hears activation before the application does.
    testdevice::recorded().clear();
    activation(false);
    EXPECT_FALSE(display->active());
    EXPECT_EQ(testdevice::countOf(WM_ACTIVATE), 1);

    // Destroying it gives the application its own procedure back.
    Display::Destroy(display);
    display = nullptr;
    EXPECT_EQ(WindowSubclass::count(), 0);
    EXPECT_NE(GetWindowLongW(window, GWL_WNDPROC),
              reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure));
    testdevice::recorded().clear();
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(testdevice::countOf(WM_ACTIVATE), 1);
}

TEST_F(SubclassTest, PaintRefreshesTheDisplayAndThenTheApplicationPaints)
{
    testdevice::recorded().clear();
    InvalidateRect(window, nullptr, FALSE);
    pump();
    EXPECT_EQ(testdevice::countOf(WM_PAINT), 1);
}

TEST_F(SubclassTest, ALostWindowFailsTheDisplay)
{
    HWND other = testdevice::createRecordingWindow(u"Gone");
    DestroyWindow(other);
    DisplayParams p{240, 320, 0, 1};
    EXPECT_EQ(Display::Create(other, p), nullptr);
}

} // namespace
