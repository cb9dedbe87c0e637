// Archive stream costs: indexing an archive of 400 entries, and opening small and large entries
// of it against opening the same entry from an archive that holds nothing else (the cost of
// decoding the entry's own bytes).
#include "../../tests/core/SevenZipTool.h"
#include "io/D7zipInputStream.h"
#include "platform/DeviceProfile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

using namespace qev::io;
using namespace qev::lang;

namespace {

std::string noise(size_t n, uint32_t seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>((seed >> 16) % 5 == 0 ? ' ' : 'a' + (seed >> 8) % 26);
    }
    return s;
}

// Packed as the game data is: LZMA, one entry per block, header not compressed.
std::vector<std::string> gameSwitches()
{
    std::vector<std::string> s = sevenzip::nonSolid("LZMA");
    s.push_back("-mhc=off");
    return s;
}

// A program folder with "many.dat" (400 entries: 396 of 1 to 4 KiB, 4 of 512 KiB),
// "small.dat" and "large.dat" (one entry each, equal to entries of many.dat).
struct Fixture
{
    Fixture()
    {
        char pattern[] = "/tmp/ph-bench-XXXXXX";
        folder = mkdtemp(pattern);
        std::map<std::string, std::string> many;
        for (int i = 0; i < 400; ++i) {
            std::string name =
                "set/dir" + std::to_string(i % 20) + "/entry" + std::to_string(i) + ".bin";
            many[name] = noise(i % 100 == 99 ? 512 * 1024 : 1024 + (i * 37) % 3072, uint32_t(i));
        }
        smallName = many.rbegin()->first; // the last entry of the archive's list
        largeName = "set/dir19/entry99.bin";
        ok =
            sevenzip::pack(folder + "/many.dat", many, gameSwitches()) &&
            sevenzip::pack(folder + "/small.dat", {{smallName, many[smallName]}}, gameSwitches()) &&
            sevenzip::pack(folder + "/large.dat", {{largeName, many[largeName]}}, gameSwitches());
        platform::DeviceProfile::current().programFile = folder + "/game.exe";
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    std::string folder;
    std::string smallName;
    std::string largeName;
    bool ok = false;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void openEntry(benchmark::State& state, const char16_t* archive, const std::string& entry)
{
    if (!fixture().ok) {
        state.SkipWithError("the 7z tool could not build the archives");
        return;
    }
    D7zipInputStream::openArchive(archive, u"");
    DStringPtr name(new DString(entry.c_str()));
    int64_t bytes = 0;
    for (auto _ : state) {
        D7zipInputStreamPtr in = D7zipInputStream::open(name);
        bytes += in->available();
        benchmark::DoNotOptimize(in->read());
    }
    state.SetBytesProcessed(bytes);
    D7zipInputStream::closeArchive();
}

void BM_OpenArchive400(benchmark::State& state)
{
    if (!fixture().ok) {
        state.SkipWithError("the 7z tool could not build the archives");
        return;
    }
    for (auto _ : state)
        D7zipInputStream::openArchive(u"many.dat", u"");
    D7zipInputStream::closeArchive();
}

void BM_OpenSmallEntryOf400(benchmark::State& state)
{
    openEntry(state, u"many.dat", fixture().smallName);
}
void BM_OpenSmallEntryAlone(benchmark::State& state)
{
    openEntry(state, u"small.dat", fixture().smallName);
}
void BM_OpenLargeEntryOf400(benchmark::State& state)
{
    openEntry(state, u"many.dat", fixture().largeName);
}
void BM_OpenLargeEntryAlone(benchmark::State& state)
{
    openEntry(state, u"large.dat", fixture().largeName);
}

} // namespace

BENCHMARK(BM_OpenArchive400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSmallEntryOf400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSmallEntryAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenLargeEntryOf400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenLargeEntryAlone)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
