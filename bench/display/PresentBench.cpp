// Cost of turning a 240 x 320 frame into a driver's frame of another orientation, per present.
#include "display/RotationDriver.h"

#include <benchmark/benchmark.h>

using namespace ScreenHAL;

namespace {

void fill(Surface& s, uint16_t seed)
{
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            *pixelAt(s, x, y) = static_cast<uint16_t>(seed + x * 3 + y * 7);
}

void BM_Rotate(benchmark::State& state)
{
    const int turns = static_cast<int>(state.range(0));
    const bool odd = turns & 1;
    SurfacePtr ram = makeRamSurface(240, 320);
    SurfacePtr inner = makeRamSurface(odd ? 320 : 240, odd ? 240 : 320);
    fill(*ram, 1);
    const Rect all{0, 0, inner->width, inner->height};
    for (auto _ : state) {
        RotationDriver::copyTurned(*inner, *ram, turns, all, true);
        benchmark::DoNotOptimize(inner->pixels);
    }
    state.SetBytesProcessed(state.iterations() * 240 * 320 * 2);
}
BENCHMARK(BM_Rotate)->Arg(0)->Arg(1)->Arg(2)->Arg(3);

} // namespace

BENCHMARK_MAIN();
