// Cost of one desktop frame on the GDI driver: acquire the back buffer, copy a screen-sized
// canvas image into it, present it into the window's backing store (no desktop window).
#include "display/DisplayContext.h"

#include "platform/window/WindowSystem.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace ScreenHAL;

namespace {

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

void BM_GdiFrame(benchmark::State& state)
{
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"FrameBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"FrameBench", u"bench", WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                  nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    auto context = std::make_unique<DisplayContext>(window, DisplayParams{240, 320, 0, 1});
    std::unique_ptr<Surface> pixels(Surface::Create(240, 320));
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            pixels->row(y)[x] = static_cast<uint16_t>(x * 3 + y * 7);
    ImageHolder canvas;
    canvas.surface = pixels.get();
    for (auto _ : state) {
        if (!context->AcquireBackBuffer()) {
            state.SkipWithError("no back buffer");
            break;
        }
        context->Blit(0, 0, canvas);
        benchmark::DoNotOptimize(context->Present(0));
    }
    state.SetItemsProcessed(state.iterations());
    context.reset();
    DestroyWindow(window);
    UnregisterClassW(u"FrameBench", nullptr);
}
BENCHMARK(BM_GdiFrame);

} // namespace
