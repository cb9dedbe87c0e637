// Cost of putting one 240 x 320 RGB565 frame into a 32-bit desktop surface: the window's own
// widening and pixel repeating, against SDL's scaled blit between the two formats that the
// window used before.
#include "platform/window/Rgb565Expander.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kWidth = 240, kHeight = 320;

std::vector<uint16_t> frame()
{
    std::vector<uint16_t> pixels(kWidth * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>(i * 2654435761u >> 9);
    return pixels;
}

void BM_ExpandAndRepeat(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    std::vector<uint16_t> pixels = frame();
    const int w = kWidth * scale, h = kHeight * scale;
    std::vector<uint32_t> target(static_cast<size_t>(w) * h);
    platform::Rgb565Expander expand(16, 8, 0, 0xFF000000u);
    const platform::ScreenPlacement at = platform::ScreenPlacement::fit(w, h, kWidth, kHeight);
    for (auto _ : state) {
        expand.draw(pixels.data(), kWidth, kHeight, at, target.data(), w, h, w * 4);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * w * h * 4);
}
BENCHMARK(BM_ExpandAndRepeat)->Arg(1)->Arg(2)->Arg(3);

void BM_SdlScaledBlit(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    std::vector<uint16_t> pixels = frame();
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kWidth, kHeight, 16,
                                                             kWidth * 2, SDL_PIXELFORMAT_RGB565);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kWidth * scale, kHeight * scale, 32,
                                                         SDL_PIXELFORMAT_RGB888);
    if (!source || !target) {
        state.SkipWithError("no SDL surfaces");
        return;
    }
    for (auto _ : state) {
        SDL_BlitScaled(source, nullptr, target, nullptr);
        benchmark::DoNotOptimize(target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * target->w * target->h * 4);
    SDL_FreeSurface(target);
    SDL_FreeSurface(source);
}
BENCHMARK(BM_SdlScaledBlit)->Arg(1)->Arg(2);

} // namespace
