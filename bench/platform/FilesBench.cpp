// Cost of the layer over plain POSIX calls: ReadFile in the archive's 4096-byte pieces against
// read(), and the clocks the frame loop reads every frame.
#include "platform/PathMapping.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kFileSize = 1 << 20;

const std::string& sampleFile()
{
    static std::string path = [] {
        char name[] = "/tmp/ph-bench-XXXXXX";
        int fd = mkstemp(name);
        std::vector<char> bytes(kFileSize, 'x');
        if (fd < 0 || write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            std::abort();
        close(fd);
        std::atexit([] { unlink(sampleFile().c_str()); });
        return std::string(name);
    }();
    return path;
}

void ReadFileInPieces(benchmark::State& state)
{
    std::u16string name;
    platform::PathMapping::toPlatform(sampleFile(), name);
    char buffer[4096];
    for (auto _ : state) {
        HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD n = 0;
        while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
            benchmark::DoNotOptimize(buffer);
        CloseHandle(h);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileSize));
}
BENCHMARK(ReadFileInPieces);

void PosixReadInPieces(benchmark::State& state)
{
    char buffer[4096];
    for (auto _ : state) {
        int fd = open(sampleFile().c_str(), O_RDONLY | O_CLOEXEC);
        while (read(fd, buffer, sizeof buffer) > 0)
            benchmark::DoNotOptimize(buffer);
        close(fd);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileSize));
}
BENCHMARK(PosixReadInPieces);

void MonotonicMillis(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::monotonicMillis());
}
BENCHMARK(MonotonicMillis);

void WideToCp1252(benchmark::State& state)
{
    std::u16string text(1000, u'\u00E9');
    text[500] = u'\u20AC';
    std::vector<char> out(text.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()),
                                                     out.data(), int(out.size()), nullptr,
                                                     nullptr));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(WideToCp1252);

} // namespace

BENCHMARK_MAIN();
