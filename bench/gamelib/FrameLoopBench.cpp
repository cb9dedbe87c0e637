// Cost of one frame-loop step with a screen that does nothing: take a key event, update, paint
// and present the 240x320 canvas into a headless window. The fake clock makes every call a step.
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "display/DisplayContext.h"
#include "microedition/lcdui/DDisplay.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

void BM_FrameLoopStepEmptyScreen(benchmark::State& state)
{
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(1000);
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"GameEngine", u"bench", WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                  nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    auto context = std::make_unique<ScreenHAL::DisplayContext>(
        window, ScreenHAL::DisplayParams{240, 320, 0, 1});
    {
        gamelib::GameLibPtr lib = new gamelib::GameLib();
        qev::microedition::lcdui::DDisplayPtr display =
            new qev::microedition::lcdui::DDisplay(context.get());
        gamelib::screenCanvas = new gamelib::ScreenCanvas();
        display->setCurrent(gamelib::screenCanvas);
        gamelib::screenSupported = 1;
        gamelib::currentScreen = new gamelib::GameInterface();
        gamelib::GameLib::resetFrameTimer();
        int64_t steps = 0;
        for (auto _ : state) {
            platform::FakeClock::step(gamelib::GameLib::kStepMillis);
            gamelib::screenCanvas->keyPressed('5');
            lib->tick();
            ++steps;
        }
        state.SetItemsProcessed(steps);
        gamelib::currentScreen = nullptr;
        gamelib::screenGraphics = nullptr;
        gamelib::screenCanvas = nullptr;
        gamelib::gameLib = nullptr;
        qev::microedition::midlet::DMIDlet::global() = nullptr;
    }
    context.reset();
    DestroyWindow(window);
    UnregisterClassW(u"GameEngine", nullptr);
    platform::DeviceProfile::reset();
}
BENCHMARK(BM_FrameLoopStepEmptyScreen);

} // namespace
