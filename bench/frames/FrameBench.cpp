// One whole frame of the program in busy play: a 25 ms step with its key event, update, paint and
// present through the display layer into the headless window, at 240 x 320 and 480 x 640 (the
// large graphics set). The screens: the animated main menu; the brick-breaker on a full level
// with four balls; the space-rock game on a crowded level with every explosion slot busy and the
// gun firing; the formation shooter at a late level with its dives and shots and the gun firing.
// Each state is reached through start-up and the game's own menu on the fake clock. The label
// gives the hash of the window after a fixed warm-up: it must not change when drawing gets faster.
// With PH_FRAMES_BENCH_SHOTS=<folder> that frame is also written there as a PPM picture.
#include "BenchProgram.h"

#include "corvantine/Corvantine.h"
#include "corvantine/CorvantineState.h"
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/MirrowfenGlobals.h"
#include "tessarine/Ball.h"
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using framebench::BenchProgram;

constexpr int kWarmSteps = 40;

// What keeps a screen busy: set up once in play, then checked before every step (outside the
// timing only when it has something to do).
class BusyScreen
{
  public:
    virtual ~BusyScreen() = default;
    // False when the state cannot be reached.
    virtual bool setUp(BenchProgram& program) = 0;
    // True when refresh has work to do before the next step.
    virtual bool needsRefresh() { return false; }
    virtual void refresh(BenchProgram&) {}
};

class MenuScreen : public BusyScreen
{
  public:
    static constexpr const char* kName = "MainMenu";
    bool setUp(BenchProgram& program) override
    {
        if (!program.startToMainMenu())
            return false;
        program.steps(60);
        return true;
    }
    // A navigation key every 20 steps keeps icons and logo moving.
    bool needsRefresh() override { return m_steps++ % 20 == 0; }
    void refresh(BenchProgram& program) override
    {
        gamelib::screenCanvas->keyPressed(BenchProgram::key(1));
        gamelib::screenCanvas->keyReleased(BenchProgram::key(1));
        (void)program;
    }

  private:
    int64_t m_steps = 0;
};

class BrickScreen : public BusyScreen
{
  public:
    static constexpr const char* kName = "Tessarine";
    bool setUp(BenchProgram& program) override
    {
        if (!program.startToMainMenu() ||
            !program.startGame(0, [] { return tessarine::gameState == tessarine::STATE_PLAYING; }))
            return false;
        m_game = dynamic_cast<tessarine::Tessarine*>(gamelib::currentScreen.get());
        if (!m_game)
            return false;
        refresh(program);
        return true;
    }
    bool needsRefresh() override
    {
        return tessarine::gameState != tessarine::STATE_PLAYING ||
               tessarine::paddle->ballsInPlay < 2;
    }
    // Level 27 with four balls flying.
    void refresh(BenchProgram&) override
    {
        using namespace tessarine;
        m_game->level = 27;
        m_game->lives = 5;
        m_game->resetActors();
        brickList->loadLevel(27);
        m_game->setState(STATE_PLAYING);
        const int w = gamelib::screenWidth;
        const int h = gamelib::screenHeight;
        for (int i = 0; i < 4; ++i) {
            Ball& b = *(*m_game->balls)[i];
            b.setKind(1);
            b.setActive(true);
            b.dx = 3 * i - 5;
            b.dy = -12;
            b.setPosition(w / 4 + i * w / 6, h * 25 / 32);
        }
        paddle->ballsInPlay = 4;
    }

  private:
    tessarine::Tessarine* m_game = nullptr;
};

class RockScreen : public BusyScreen
{
  public:
    static constexpr const char* kName = "Mirrowfen";
    bool setUp(BenchProgram& program) override
    {
        if (!program.startToMainMenu() ||
            !program.startGame(1, [] { return mirrowfen::gameState == mirrowfen::STATE_PLAYING; }))
            return false;
        m_game = dynamic_cast<mirrowfen::Mirrowfen*>(gamelib::currentScreen.get());
        if (!m_game)
            return false;
        mirrowfen::currentLevel = 18;
        m_game->startLevel(18, 0);
        mirrowfen::gameState = mirrowfen::STATE_PLAYING;
        mirrowfen::noDamage = 1;
        gamelib::screenCanvas->keyPressed(BenchProgram::key(4)); // held: the gun keeps firing
        return true;
    }
    bool needsRefresh() override
    {
        for (int s = 0; s < mirrowfen::Mirrowfen::kEffectSlots; ++s)
            if (phase(s) == -1)
                return true;
        return mirrowfen::gameState != mirrowfen::STATE_PLAYING;
    }
    void refresh(BenchProgram&) override
    {
        if (mirrowfen::gameState != mirrowfen::STATE_PLAYING) {
            m_game->startLevel(18, 0);
            mirrowfen::gameState = mirrowfen::STATE_PLAYING;
        }
        const int w = gamelib::screenWidth;
        const int h = gamelib::screenHeight;
        for (int s = 0; s < mirrowfen::Mirrowfen::kEffectSlots; ++s)
            if (phase(s) == -1)
                m_game->explode(w * (20 + 20 * s) / 240, h * (40 + 25 * s) / 320);
    }

  private:
    int32_t phase(int s) const
    {
        return (*(*m_game->effects)[s])[mirrowfen::Mirrowfen::EFFECT_PHASE];
    }
    mirrowfen::Mirrowfen* m_game = nullptr;
};

class FormationScreen : public BusyScreen
{
  public:
    static constexpr const char* kName = "Corvantine";
    bool setUp(BenchProgram& program) override
    {
        if (!program.startToMainMenu() || !program.startGame(2, [] {
                return corvantine::gameState == corvantine::STATE_PLAYING;
            }))
            return false;
        refresh(program);
        return corvantine::gameState == corvantine::STATE_PLAYING;
    }
    bool needsRefresh() override { return corvantine::gameState != corvantine::STATE_PLAYING; }
    // A late level, its intro run out and two seconds of play, so that dives and shots are
    // under way; the gun held down.
    void refresh(BenchProgram& program) override
    {
        gamelib::screenCanvas->keyReleased(BenchProgram::key(4));
        corvantine::level = 16;
        corvantine::lives = 4;
        corvantine::Corvantine::nextLevel();
        for (int i = 0; i < 400 && corvantine::gameState != corvantine::STATE_PLAYING; ++i)
            program.step();
        gamelib::screenCanvas->keyPressed(BenchProgram::key(4));
        program.steps(80);
    }
};

template <class Screen> void BM_Frame(benchmark::State& state)
{
    if (!BenchProgram::haveGameData()) {
        state.SkipWithError("build the target game_data first");
        return;
    }
    BenchProgram program(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Screen screen;
    if (!screen.setUp(program)) {
        state.SkipWithError("the screen's state was not reached");
        return;
    }
    for (int i = 0; i < kWarmSteps; ++i) {
        if (screen.needsRefresh())
            screen.refresh(program);
        program.step();
    }
    char label[40];
    std::snprintf(label, sizeof label, "frame %016llx",
                  static_cast<unsigned long long>(program.windowHash()));
    state.SetLabel(label);
    if (const char* folder = std::getenv("PH_FRAMES_BENCH_SHOTS")) {
        program.writeWindow(std::string(folder) + "/" + Screen::kName + "_" +
                            std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)) +
                            ".ppm");
    }
    for (auto _ : state) {
        if (screen.needsRefresh()) {
            state.PauseTiming();
            screen.refresh(program);
            state.ResumeTiming();
        }
        program.step();
    }
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({240, 320})->Args({480, 640})->ArgNames({"w", "h"})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Frame<MenuScreen>)->Name("BM_Frame/MainMenu")->Apply(sizes);
BENCHMARK(BM_Frame<BrickScreen>)->Name("BM_Frame/Tessarine")->Apply(sizes);
BENCHMARK(BM_Frame<RockScreen>)->Name("BM_Frame/Mirrowfen")->Apply(sizes);
BENCHMARK(BM_Frame<FormationScreen>)->Name("BM_Frame/Corvantine")->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
