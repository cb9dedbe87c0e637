// A desktop run in a process of its own: the default device profile, no simulated device
// library, the SDL window (offscreen driver). Detection must leave exactly the GDI driver,
// without rotation or RAM buffer, and a frame must reach the window as drawn.
#include "display/Display.h"
#include "display/GDIDriver.h"
#include "display/VideoDetect.h"

#include "platform/DeviceProfile.h"
#include "platform/sysinfo.h"
#include "platform/testing/HeadlessBackend.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace ScreenHAL;

namespace {

enum Outcome {
    kPassed = 0,
    kNoWindow = 10,
    kHeadless,
    kNoDisplay,
    kDrivers,
    kParams,
    kNotGdi,
    kRamBuffer,
    kNoFrame,
    kPixels,
};

uint16_t pattern(int x, int y)
{
    return static_cast<uint16_t>((x * 13) ^ (y * 977));
}

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

int desktopRun()
{
    platform::DeviceProfile::reset(); // the built-in defaults, whatever the environment says
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, u"GameEngine", u"Pallasterhorn", WS_VISIBLE, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                             nullptr, nullptr, nullptr);
    if (!w)
        return kNoWindow;
    if (dynamic_cast<platform::HeadlessBackend*>(&platform::WindowSystem::backend()))
        return kHeadless; // SDL must have opened a real (offscreen) window
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);

    DisplayParams p{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0, 1};
    Display* d = Display::Create(w, p);
    if (!d)
        return kNoDisplay;
    if (VideoDetect::instance(w).drivers() != std::vector<int>{kDriverGDI})
        return kDrivers;
    if (p.width != 240 || p.height != 320 || p.orientation != 0 || p.swapEffect != 2)
        return kParams;
    if (!dynamic_cast<GDIDriver*>(d->driver()))
        return kNotGdi;
    if (d->ramBuffer())
        return kRamBuffer;
    if (!d->BeginScene() || !d->GetBackBuffer())
        return kNoFrame;
    Surface& back = *d->GetBackBuffer();
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x)
            *pixelAt(back, x, y) = pattern(x, y);
    if (!d->EndScene(0))
        return kNoFrame;
    const std::vector<uint16_t>& store = *platform::WindowSystem::backingStore(w);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            if (store[static_cast<size_t>(y) * 240 + x] != pattern(x, y))
                return kPixels;
    Display::Destroy(d);
    DestroyWindow(w);
    return kPassed;
}

TEST(RealRunTest, TheDefaultProfileGetsOnlyTheGdiDriverAndItsFramesReachTheWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(desktopRun()), ::testing::ExitedWithCode(kPassed), "");
}

} // namespace
