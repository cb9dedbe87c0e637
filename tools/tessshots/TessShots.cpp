// tessshots: plays the brick-breaker without a window from a game.dat and writes what the
// screen shows as PNG files: the menu, the get-ready picture, play on a few levels, a cleared
// level and game over. The paddle follows the ball by itself.
//
//   tessshots <folder holding game.dat> <out folder>
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "platform/FakeClock.h"
#include "raster/ImageHolder.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace gamelib;
using qev::lang::DPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

DImagePtr screen;
std::string outFolder;

bool writePng(const std::string& name)
{
    const Surface& s = *screen->getHolder()->surface;
    std::vector<uint8_t> rgb(static_cast<size_t>(s.width) * s.height * 3);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint16_t p = s.row(y)[x];
            uint8_t* o = &rgb[(static_cast<size_t>(y) * s.width + x) * 3];
            o[0] = static_cast<uint8_t>((p >> 11) * 255 / 31);
            o[1] = static_cast<uint8_t>(((p >> 5) & 63) * 255 / 63);
            o[2] = static_cast<uint8_t>((p & 31) * 255 / 31);
        }
    }
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(s.width);
    out.height = static_cast<png_uint_32>(s.height);
    out.format = PNG_FORMAT_RGB;
    const std::string path = outFolder + "/" + name + ".png";
    const bool ok = png_image_write_to_file(&out, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    std::fprintf(stderr, "tessshots: %s %s\n", ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

// One 25 ms step with its painting; during play the paddle chases the lowest falling ball.
void step(tessarine::Tessarine& game)
{
    using namespace tessarine;
    platform::FakeClock::step(GameLib::kStepMillis);
    keyLeft = keyRight = 0;
    if (gameState == STATE_PLAYING) {
        const Ball* target = nullptr;
        for (int i = 0; i < game.balls->length; ++i) {
            const Ball& b = *(*game.balls)[i];
            if (b.active && b.released && b.dy > 0 && (!target || b.y > target->y))
                target = &b;
        }
        if (target) {
            const int aim = target->x - 6;
            keyRight = aim > paddle->x + 2;
            keyLeft = aim < paddle->x - 2;
        }
    }
    game.update();
    game.paint();
}

void steps(tessarine::Tessarine& game, int n)
{
    for (int i = 0; i < n; ++i)
        step(game);
}

void launch(tessarine::Tessarine& game)
{
    keyFire = 1;
    step(game);
    keyFire = 0;
}

int play()
{
    using namespace tessarine;
    screenWidth = 240;
    screenHeight = 320;
    screen = DImage::createImage(screenWidth, screenHeight);
    screenGraphics = screen->getGraphics();
    if (!GameLib::loadScreenConfig()) {
        std::fprintf(stderr, "tessshots: 240x320 is not supported by this game.dat\n");
        return 1;
    }
    GameStatics::init();
    loadImageFonts();
    languageIndex = 0;

    TessarinePtr game = new Tessarine();
    currentScreen = game;
    platform::FakeClock::autoAdvance(1000);
    game->start();
    platform::FakeClock::autoAdvance(0);
    steps(*game, 10);
    writePng("menu");

    game->chooseMenuItem(Tessarine::ITEM_START);
    step(*game);
    writePng("get_ready");
    steps(*game, 60);
    launch(*game);
    steps(*game, 140);
    writePng("play_level1");
    for (int i = 0; i < 400 && gameState == STATE_PLAYING; ++i)
        step(*game);
    writePng("play_level1_later");

    // Show a later level with bonuses falling and fire balls.
    for (int shown : {16, 27, 50}) {
        game->level = shown;
        game->resetActors();
        brickList->loadLevel(shown);
        game->setState(STATE_PLAYING);
        launch(*game);
        steps(*game, 60);
        paddle->spawnBonus(6, 60, 200);
        paddle->spawnBonus(11, 150, 180);
        paddle->spawnBonus(1, 100, 240);
        steps(*game, 40);
        writePng("play_level" + std::to_string(shown));
    }

    brickList->remaining = 0;
    steps(*game, 2);
    writePng("level_cleared");
    game->lives = 1;
    game->setState(STATE_PLAYING);
    game->loseLife();
    step(*game);
    writePng("game_over");
    game->stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessshots <folder holding game.dat> <out folder>\n");
        return 2;
    }
    outFolder = argv[2];
    std::filesystem::create_directories(outFolder);
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = std::string(argv[1]) + "/game.exe";
    profile.clock = platform::ClockMode::Fake;
    profile.registryPath = outFolder + "/tessshots-registry.sqlite";
    std::filesystem::remove(profile.registryPath);
    DPtr<GameLib> lib = new GameLib();
    int rc = 1;
    try {
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        rc = play();
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "tessshots: failed with exception 0x%x\n",
                     static_cast<unsigned>(e->code));
        delete e;
    }
    GameStatics::release();
    screenGraphics = nullptr;
    screen = nullptr;
    return rc;
}
