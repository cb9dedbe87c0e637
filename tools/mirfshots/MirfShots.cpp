// mirfshots: plays the space-rock game from a game.dat on the fake clock, a simple bot at the
// controls, and writes what the screen shows at chosen moments into PNG files.
//
//   mirfshots <folder holding game.dat> <out folder>
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "platform/FakeClock.h"
#include "raster/ImageHolder.h"

#include <png.h>

#include <cmath>
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
DPtr<mirrowfen::Mirrowfen> game;

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
    std::fprintf(stderr, "mirfshots: %s %s\n", ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

// n frames of 25 ms, each updated and painted.
void frames(int n)
{
    for (int i = 0; i < n; ++i) {
        platform::FakeClock::step(25);
        game->update();
        game->paint();
    }
}

// The bot: toward the nearest rock or saucer, firing.
void botStep()
{
    mirrowfen::Ship& ship = *mirrowfen::ship;
    mirrowfen::FlyingOPtr best;
    long bestD = 0;
    for (mirrowfen::FlyingOArrayPtr list : {game->rocks, game->ufos}) {
        for (int i = 0; list && i < list->length; ++i) {
            mirrowfen::FlyingOPtr o = (*list)[i];
            if (!o)
                continue;
            const long d = static_cast<long>(o->x - ship.x) * (o->x - ship.x) +
                           static_cast<long>(o->y - ship.y) * (o->y - ship.y);
            if (!best || d < bestD) {
                best = o;
                bestD = d;
            }
        }
    }
    keyLeft = keyRight = 0;
    keyFire = 1;
    if (!best)
        return;
    const double angle = std::atan2(-(best->y - ship.y), best->x - ship.x) * 180.0 / M_PI;
    const int wanted = (static_cast<int>(std::lround(angle / 22.5)) % 16 + 16) % 16;
    const int heading = (ship.quadrantIndex() * 4 + ship.step) % 16;
    const int turn = (wanted - heading + 16) % 16;
    keyLeft = turn != 0 && turn < 8;
    keyRight = turn >= 8;
}

int shoot()
{
    screenWidth = 240;
    screenHeight = 320;
    screen = DImage::createImage(screenWidth, screenHeight);
    screenGraphics = screen->getGraphics();
    if (!GameLib::loadScreenConfig()) {
        std::fprintf(stderr, "mirfshots: 240x320 is not supported by this game.dat\n");
        return 1;
    }
    GameStatics::init();
    loadImageFonts();
    loadTextFile(u"/txt/res_en", true);
    GameMenu::loadMenuImages();

    game = new mirrowfen::Mirrowfen();
    currentScreen = game.get();
    game->start();
    int sounds = 0;
    for (int i = 0; soundBank && i < soundBank->length; ++i)
        sounds += (*soundBank)[i] ? 1 : 0;
    std::fprintf(stderr, "mirfshots: %d of 8 sounds, atlas %s\n", sounds,
                 atlasPieces ? "loaded" : "missing");
    writePng("mirf_loading");
    frames(20);
    writePng("mirf_menu");

    keyFire = 1;
    for (int i = 0; i < 20 && mirrowfen::gameState == mirrowfen::STATE_MENU; ++i)
        frames(1);
    keyFire = 0;
    frames(6);
    writePng("mirf_intro");
    frames(30);

    mirrowfen::noDamage = 1;
    int shots = 0;
    for (int step = 0; step < 6000 && mirrowfen::gameState == mirrowfen::STATE_PLAYING; ++step) {
        botStep();
        frames(3);
        if (game->effectsInUse > 0 && step > 40 * shots && shots < 4)
            writePng("mirf_play_" + std::to_string(shots++));
    }
    keyFire = keyLeft = keyRight = 0;
    writePng("mirf_cleared");
    frames(95);
    writePng("mirf_cleared_press_a_key");
    anyKey = 1;
    frames(3);
    frames(12);
    writePng("mirf_level2_intro");
    frames(30);

    // Level 2 with bouncing edges, a few steps of play, then the last life lost.
    for (int step = 0; step < 40; ++step) {
        botStep();
        frames(3);
    }
    writePng("mirf_level2_play");
    keyFire = keyLeft = keyRight = 0;
    mirrowfen::noDamage = 0;
    mirrowfen::ship->lives = 0;
    frames(6);
    writePng("mirf_game_over");
    frames(100);
    writePng("mirf_after_game_over");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mirfshots <folder holding game.dat> <out folder>\n");
        return 2;
    }
    outFolder = argv[2];
    std::filesystem::create_directories(outFolder);
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = std::string(argv[1]) + "/game.exe";
    profile.clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(1000000);
    profile.registryPath = outFolder + "/mirfshots-registry.sqlite";
    std::filesystem::remove(profile.registryPath);
    DPtr<GameLib> lib = new GameLib();
    int rc = 1;
    try {
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        rc = shoot();
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "mirfshots: failed with exception 0x%x\n",
                     static_cast<unsigned>(e->code));
        delete e;
    }
    game = nullptr;
    currentScreen = nullptr;
    mirrowfen::resetGlobals();
    GameStatics::release();
    screenGraphics = nullptr;
    screen = nullptr;
    return rc;
}
