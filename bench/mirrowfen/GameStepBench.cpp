// One 25 ms frame of the space-rock game (update and paint) on a 240 x 320 screen with the
// build's game.dat: a crowded level 18 with every effect slot exploding, so that a game step,
// its collisions and the painting of all objects and particles fall into the measured frames.
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "platform/FakeClock.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

using namespace gamelib;

namespace {

void BM_MirrowfenFrame(benchmark::State& state)
{
    const std::string data = PH_GAME_DATA_DIR;
    if (!std::filesystem::exists(data + "/game.dat")) {
        state.SkipWithError("build the target game_data first");
        return;
    }
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = data + "/game.exe";
    profile.clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(1000000);
    const std::string registry =
        (std::filesystem::temp_directory_path() / "ph-bench-mirf.sqlite").string();
    std::filesystem::remove(registry);
    profile.registryPath = registry;
    qev::lang::DPtr<GameLib> lib = new GameLib();
    qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
    screenWidth = 240;
    screenHeight = 320;
    qev::microedition::lcdui::DImagePtr screen =
        qev::microedition::lcdui::DImage::createImage(240, 320);
    screenGraphics = screen->getGraphics();
    GameLib::loadScreenConfig();
    GameStatics::init();
    loadImageFonts();
    loadTextFile(u"/txt/res_en", true);
    {
        qev::lang::DPtr<mirrowfen::Mirrowfen> game = new mirrowfen::Mirrowfen();
        currentScreen = game.get();
        game->start();
        mirrowfen::currentLevel = 18;
        game->startLevel(18, 0);
        mirrowfen::gameState = mirrowfen::STATE_PLAYING;
        mirrowfen::noDamage = 1;
        for (auto _ : state) {
            state.PauseTiming();
            for (int s = 0; s < mirrowfen::Mirrowfen::kEffectSlots; ++s)
                if ((*(*game->effects)[s])[mirrowfen::Mirrowfen::EFFECT_PHASE] == -1)
                    game->explode(20 + 20 * s, 40 + 25 * s);
            state.ResumeTiming();
            platform::FakeClock::step(25);
            game->update();
            game->paint();
        }
        game->stop();
    }
    currentScreen = nullptr;
    mirrowfen::resetGlobals();
    GameStatics::release();
    releaseImageFonts();
    screenGraphics = nullptr;
    qev::io::D7zipInputStream::closeArchive();
    std::filesystem::remove(registry);
}
BENCHMARK(BM_MirrowfenFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
