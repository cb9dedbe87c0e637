// Start-up to the main menu on the fake clock with the build's game.dat: from opening the archive
// (startApp) to the first frame the main menu paints, with the language and sound questions
// answered at once. The window, the display layer and the records' folder are made outside the
// timing. Counters split the time: up to the language question (archive, screen configuration,
// shared data, fonts, the question's backdrop) and from there to the menu (saving the answers,
// the logo, the menu images, key names and texts, the menu's start and first frame).
// A usual start finds the records an earlier run left; the very first start also makes the
// record database. Every start makes the system font again (the version line of the start-up
// is drawn with it), as a new process does; the font library's own set-up happens once.
#include "BenchProgram.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

using framebench::BenchProgram;
using Clock = std::chrono::steady_clock;

void startUp(benchmark::State& state, bool firstRun)
{
    if (!BenchProgram::haveGameData()) {
        state.SkipWithError("build the target game_data first");
        return;
    }
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    char pattern[] = "/tmp/ph-bench-startup-XXXXXX";
    const std::string records = mkdtemp(pattern);
    if (!firstRun) {
        BenchProgram earlier(width, height, records);
        earlier.startToMainMenu();
    }
    double toQuestion = 0;
    double toMenu = 0;
    for (auto _ : state) {
        if (firstRun)
            std::filesystem::remove_all(records + "/registry.sqlite");
        BenchProgram program(width, height, firstRun ? "" : records);
        const Clock::time_point t0 = Clock::now();
        program.startApp();
        const Clock::time_point t1 = Clock::now();
        const bool reached = program.answerQuestionsToMainMenu();
        const Clock::time_point t2 = Clock::now();
        if (!reached) {
            state.SkipWithError("the main menu was not reached");
            break;
        }
        toQuestion += std::chrono::duration<double, std::milli>(t1 - t0).count();
        toMenu += std::chrono::duration<double, std::milli>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    std::error_code ec;
    std::filesystem::remove_all(records, ec);
    state.counters["to_question_ms"] =
        benchmark::Counter(toQuestion, benchmark::Counter::kAvgIterations);
    state.counters["to_menu_ms"] = benchmark::Counter(toMenu, benchmark::Counter::kAvgIterations);
}

void BM_StartUpToMainMenu(benchmark::State& state)
{
    startUp(state, false);
}

void BM_FirstStartUpToMainMenu(benchmark::State& state)
{
    startUp(state, true);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({240, 320})
        ->Args({480, 640})
        ->ArgNames({"w", "h"})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_StartUpToMainMenu)->Apply(sizes);
BENCHMARK(BM_FirstStartUpToMainMenu)->Apply(sizes);

} // namespace
