// Blits, fills, lines and affine blits of the rasteriser, side by side with SDL's software
// blitter on RGB565 surfaces and with memcpy / memset of the same number of bytes: once as one
// contiguous block (the ideal) and once row by row on the same surfaces the rasteriser draws on
// (the same rows, pitches and alignment, a library call per row). Sizes: a 64 x 64 sprite, a
// 240 x 320 frame and a 480 x 640 frame.
#include "BenchSurfaces.h"
#include "raster/Raster2D.h"
#include "raster/RenderContext.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace rasterbench;

namespace {

// Sprite (64 x 64 into a 240 x 320 frame) or a whole frame of the given size.
struct Case
{
    int width, height, frameWidth, frameHeight;
};

Case caseOf(const benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    return w == 64 ? Case{64, 64, 240, 320} : Case{w, h, w, h};
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({64, 64})->Args({240, 320})->Args({480, 640});
}

void setBytes(benchmark::State& state, const Case& c)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * c.width * c.height * 2);
}

void BM_Blit_Raster(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr spriteSurface = makePattern(c.width, c.height, 0);
    ImageHolder target{frame.get()}, sprite{spriteSurface.get()};
    RenderContext rc(&target);
    for (auto _ : state) {
        rc.Blit(0, 0, sprite);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Blit_SDL(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr sprite = makePattern(c.width, c.height, 0);
    SdlSurfacePtr dst = sdlView(*frame), src = sdlView(*sprite);
    for (auto _ : state) {
        SDL_Rect at{0, 0, 0, 0};
        SDL_BlitSurface(src.get(), nullptr, dst.get(), &at);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Blit_Memcpy(benchmark::State& state)
{
    const Case c = caseOf(state);
    std::vector<uint8_t> from(size_t(c.width) * c.height * 2, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Blit_MemcpyRows(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr sprite = makePattern(c.width, c.height, 0);
    const size_t bytes = size_t(c.width) * 2;
    for (auto _ : state) {
        for (int y = 0; y < c.height; ++y)
            std::memcpy(frame->row(y), sprite->row(y), bytes);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_KeyedBlit_Raster(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr spriteSurface = makePattern(c.width, c.height, 3);
    ImageHolder target{frame.get()}, sprite{spriteSurface.get(), 0xF81F};
    RenderContext rc(&target);
    for (auto _ : state) {
        rc.Blit(0, 0, sprite);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_KeyedBlit_SDL(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr sprite = makePattern(c.width, c.height, 3);
    SdlSurfacePtr dst = sdlView(*frame), src = sdlView(*sprite);
    SDL_SetColorKey(src.get(), SDL_TRUE, 0xF81F);
    for (auto _ : state) {
        SDL_Rect at{0, 0, 0, 0};
        SDL_BlitSurface(src.get(), nullptr, dst.get(), &at);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Fill_Raster(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    ImageHolder target{frame.get()};
    RenderContext rc(&target);
    for (auto _ : state) {
        rc.FillRect(Gfx::Rect{0, 0, c.width, c.height}, 0x1234);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Fill_SDL(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SdlSurfacePtr dst = sdlView(*frame);
    for (auto _ : state) {
        SDL_Rect r{0, 0, c.width, c.height};
        SDL_FillRect(dst.get(), &r, 0x1234);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Fill_Memset(benchmark::State& state)
{
    const Case c = caseOf(state);
    std::vector<uint8_t> to(size_t(c.width) * c.height * 2);
    for (auto _ : state) {
        std::memset(to.data(), 0x12, to.size());
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Fill_MemsetRows(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    const size_t bytes = size_t(c.width) * 2;
    for (auto _ : state) {
        for (int y = 0; y < c.height; ++y)
            std::memset(frame->row(y), 0x12, bytes);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

// Lines from one edge to the opposite one through the whole frame, every slope.
void BM_Line_Raster(benchmark::State& state)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    ImageHolder target{frame.get()};
    RenderContext rc(&target);
    int64_t pixels = 0;
    for (auto _ : state) {
        for (int x = 0; x < c.width; x += 8) {
            rc.DrawLine(x, 0, c.width - 1 - x, c.height - 1, 0xFFFF);
            pixels += std::max(std::abs(c.width - 1 - 2 * x), c.height - 1) + 1;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(pixels);
}

enum class Affine { Identity, Scaled, Rotated };

// Affine blit of the whole area: the identity, a 2x magnification (axis-aligned rows), or a
// rotation by 30 degrees about the centre.
void affine(benchmark::State& state, Affine kind)
{
    const Case c = caseOf(state);
    SurfacePtr frame = makePattern(c.frameWidth, c.frameHeight, 0);
    SurfacePtr source = makePattern(c.width, c.height, 0);
    ImageHolder target{frame.get()};
    RenderContext rc(&target);
    Gfx::Transform t;
    if (kind == Affine::Scaled)
        t = Gfx::Transform{512, 0, 0, 512, 0, 0};
    if (kind == Affine::Rotated) {
        t = Gfx::Transform{887, -512, 512, 887, 0, 0};
        // Centre of the destination onto the centre of the source.
        const int64_t cx = int64_t(c.width) * 32, cy = int64_t(c.height) * 32;
        t.tx = int32_t(int64_t(c.width) * 32768 - (t.m00 * cx + t.m10 * cy));
        t.ty = int32_t(int64_t(c.height) * 32768 - (t.m01 * cx + t.m11 * cy));
    }
    for (auto _ : state) {
        rc.BlitTransform(Gfx::Rect{0, 0, c.width, c.height}, t, *source, -1);
        benchmark::ClobberMemory();
    }
    setBytes(state, c);
}

void BM_Affine_Identity_Raster(benchmark::State& state)
{
    affine(state, Affine::Identity);
}

void BM_Affine_Scaled_Raster(benchmark::State& state)
{
    affine(state, Affine::Scaled);
}

void BM_Affine_Rotated_Raster(benchmark::State& state)
{
    affine(state, Affine::Rotated);
}

BENCHMARK(BM_Blit_Raster)->Apply(sizes);
BENCHMARK(BM_Blit_SDL)->Apply(sizes);
BENCHMARK(BM_Blit_Memcpy)->Apply(sizes);
BENCHMARK(BM_Blit_MemcpyRows)->Apply(sizes);
BENCHMARK(BM_KeyedBlit_Raster)->Apply(sizes);
BENCHMARK(BM_KeyedBlit_SDL)->Apply(sizes);
BENCHMARK(BM_Fill_Raster)->Apply(sizes);
BENCHMARK(BM_Fill_SDL)->Apply(sizes);
BENCHMARK(BM_Fill_Memset)->Apply(sizes);
BENCHMARK(BM_Fill_MemsetRows)->Apply(sizes);
BENCHMARK(BM_Line_Raster)->Apply(sizes);
BENCHMARK(BM_Affine_Identity_Raster)->Apply(sizes);
BENCHMARK(BM_Affine_Scaled_Raster)->Apply(sizes);
BENCHMARK(BM_Affine_Rotated_Raster)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
