// The brick-breaker on a 240 x 320 screen with the built game data: one step of play with its
// painting (the frame budget is 25 ms, the goal well under 1 ms) with four balls on a full
// level, and loading a level with its background.
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "platform/FakeClock.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace tessarine;

namespace {

#ifdef PH_GAME_DATA_FOLDER
const char* const kDataFolder = PH_GAME_DATA_FOLDER;
#else
const char* const kDataFolder = nullptr;
#endif

struct Game
{
    Game()
    {
        platform::DeviceProfile& profile = platform::DeviceProfile::current();
        profile.programFile = std::string(kDataFolder) + "/pallasterhorn";
        profile.clock = platform::ClockMode::Fake;
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        gamelib::screenWidth = 240;
        gamelib::screenHeight = 320;
        screen = qev::microedition::lcdui::DImage::createImage(240, 320);
        gamelib::screenGraphics = screen->getGraphics();
        gamelib::GameLib::loadScreenConfig();
        gamelib::GameStatics::init();
        gamelib::loadImageFonts();
        gamelib::languageIndex = 0;
        game = new Tessarine();
        platform::FakeClock::autoAdvance(1000);
        game->start();
        platform::FakeClock::autoAdvance(0);
    }
    ~Game()
    {
        game->stop();
        game = nullptr;
        gamelib::GameStatics::release();
        qev::io::D7zipInputStream::closeArchive();
    }
    // Level 27 in play with four balls flying.
    void play()
    {
        game->level = 27;
        game->lives = 5;
        game->resetActors();
        brickList->loadLevel(27);
        game->setState(STATE_PLAYING);
        for (int i = 0; i < 4; ++i) {
            Ball& b = *(*game->balls)[i];
            b.setKind(1);
            b.setActive(true);
            b.dx = 3 * i - 5;
            b.dy = -12;
            b.setPosition(60 + 40 * i, 250);
        }
        paddle->ballsInPlay = 4;
    }
    qev::lang::DPtr<gamelib::GameLib> lib = new gamelib::GameLib();
    qev::microedition::lcdui::DImagePtr screen;
    TessarinePtr game;
};

void PlayStep(benchmark::State& state)
{
    if (!kDataFolder) {
        state.SkipWithError("built without the game data");
        return;
    }
    Game g;
    g.play();
    for (auto _ : state) {
        platform::FakeClock::step(gamelib::GameLib::kStepMillis);
        g.game->update();
        g.game->paint();
        if (gameState != STATE_PLAYING || paddle->ballsInPlay < 2) {
            state.PauseTiming();
            g.play();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(PlayStep);

void LoadLevel(benchmark::State& state)
{
    if (!kDataFolder) {
        state.SkipWithError("built without the game data");
        return;
    }
    Game g;
    int level = 1;
    for (auto _ : state) {
        brickList->loadLevel(level);
        level = level % Tessarine::kLevelCount + 1;
    }
}
BENCHMARK(LoadLevel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
