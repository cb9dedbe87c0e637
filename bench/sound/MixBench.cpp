// Mixing and MOD rendering speed as a multiple of real time, and MOD rendering against the xmp
// player rendering the same song to a WAV file.
#include "Renderer.h"

#include "sound/sndMusic.h"
#include "sound/sndSound.h"
#include "sound/sndSpeaker.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// One second of a 16-bit stereo 22050 Hz tone, so every sound channel resamples.
std::vector<uint8_t> toneWav()
{
    std::vector<uint8_t> v;
    const uint32_t frames = 22050;
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    put32(v, 36 + frames * 4);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(v, 16);
    put16(v, 1);
    put16(v, 2);
    put32(v, 22050);
    put32(v, 22050 * 4);
    put16(v, 4);
    put16(v, 16);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    put32(v, frames * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        int s = static_cast<int>(8000 * std::sin(i * 0.05));
        put16(v, static_cast<uint16_t>(s));
        put16(v, static_cast<uint16_t>(-s));
    }
    return v;
}

// A 4-track song of `orders` patterns with a note on every row of every track.
std::vector<uint8_t> busyMod(int orders)
{
    const int patterns = 4;
    std::vector<uint8_t> v(1084 + patterns * 1024, 0);
    const int sampleWords = 2048;
    for (int k = 0; k < 2; ++k) {
        uint8_t* h = v.data() + 20 + 30 * k;
        h[22] = sampleWords >> 8;
        h[23] = sampleWords & 0xFF;
        h[25] = 48;
        h[28] = sampleWords >> 8; // loop the whole sample
        h[29] = sampleWords & 0xFF;
    }
    v[950] = static_cast<uint8_t>(orders);
    v[951] = 127;
    for (int i = 0; i < orders; ++i)
        v[952 + i] = static_cast<uint8_t>(i % patterns);
    std::memcpy(v.data() + 1080, "M.K.", 4);
    const int periods[] = {428, 381, 339, 320, 285, 254, 226, 214};
    const int effects[] = {0, 0x0A, 0x04, 0x00, 0x01, 0x03};
    for (int p = 0; p < patterns; ++p)
        for (int r = 0; r < 64; ++r)
            for (int t = 0; t < 4; ++t) {
                uint8_t* c = v.data() + 1084 + ((p * 64 + r) * 4 + t) * 4;
                int period = periods[(r + t + p) % 8];
                int sample = 1 + (t & 1);
                c[0] = static_cast<uint8_t>((sample & 0xF0) | (period >> 8));
                c[1] = static_cast<uint8_t>(period);
                int e = effects[(r + t) % 6];
                c[2] = static_cast<uint8_t>(((sample & 0x0F) << 4) | e);
                c[3] = e == 0 ? 0x37 : 0x12;
            }
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < sampleWords * 2; ++i)
            v.push_back(
                static_cast<uint8_t>(static_cast<int8_t>(100 * std::sin(i * (0.1 + k * 0.07)))));
    return v;
}

void BM_Mix32Sounds16Songs(benchmark::State& state)
{
    sndSpeaker speaker;
    speaker.OpenWith(nullptr, 44100, 16, 1, 16, 32);
    sndSound sound;
    auto w = toneWav();
    sound.Load(w.data(), w.size());
    sound.loop = 1;
    sndMusic music;
    auto m = busyMod(4);
    music.Load(m.data(), m.size());
    music.loop = 1;
    for (int i = 0; i < 32; ++i) {
        sound.pan = i * 8;
        speaker.PlaySound(sound);
    }
    for (int i = 0; i < 16; ++i)
        speaker.PlayMusic(music);
    std::vector<int16_t> buffer(5296 / 2);
    const int buffersPerSecond = 44100 * 4 / 5296;
    for (auto _ : state) {
        for (int b = 0; b < buffersPerSecond; ++b)
            speaker.Mix(buffer.data(), 5296);
        benchmark::DoNotOptimize(buffer.data());
    }
    const double audioSeconds = buffersPerSecond * 5296.0 / (44100 * 4);
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mix32Sounds16Songs)->Unit(benchmark::kMillisecond);

// Seconds xmp takes to render the file to a WAV file, or a negative value when it is absent.
double xmpSeconds(const std::string& mod)
{
    if (std::system("command -v xmp >/dev/null 2>&1") != 0)
        return -1;
    const std::string out = mod + ".xmp.wav";
    const std::string cmd = "xmp --norc -q -d wav -o '" + out + "' '" + mod + "' >/dev/null 2>&1";
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0)
            return -1;
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::remove(out.c_str());
    return best;
}

void BM_RenderMod4Tracks(benchmark::State& state)
{
    const auto mod = busyMod(16); // 16 orders, about two minutes of music
    modrender::Options o;
    size_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        auto r = modrender::render(mod, o);
        auto wav = modrender::wavFile(r.pcm, o);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        bytes = r.pcm.size();
        benchmark::DoNotOptimize(wav.data());
    }
    const double audioSeconds = bytes / (44100.0 * 4);
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds * state.iterations(), benchmark::Counter::kIsRate);
    char path[] = "/tmp/ph_bench_XXXXXX.mod";
    int fd = mkstemps(path, 4);
    if (fd >= 0) {
        if (write(fd, mod.data(), mod.size()) != static_cast<ssize_t>(mod.size()))
            state.SkipWithError("cannot write the song for xmp");
        close(fd);
        const double xmp = xmpSeconds(path);
        std::remove(path);
        if (xmp > 0) {
            const double ours = seconds / static_cast<double>(state.iterations());
            state.counters["xmp_seconds"] = xmp;
            state.counters["ours_vs_xmp_speed"] = xmp / ours;
        } else {
            state.SetLabel("xmp not installed: no comparison");
        }
    }
}
BENCHMARK(BM_RenderMod4Tracks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
