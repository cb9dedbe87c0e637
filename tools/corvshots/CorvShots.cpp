// corvshots: plays the formation shooter from a game.dat without a window and writes what the
// screen shows at chosen steps into PNG files: menu, help, intro, play, dives, a reward picture,
// the ship lost and game over.
//
//   corvshots <folder holding game.dat> <out folder>
#include "corvantine/Corvantine.h"

#include "LangMenu/LangMenu.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
#include "raster/ImageHolder.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace gamelib;
using namespace corvantine;
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
    std::fprintf(stderr, "corvshots: %s %s\n", ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

// Steps as the frame loop runs them: update, then paint.
void run(GameInterface& s, int steps)
{
    for (int i = 0; i < steps; ++i) {
        s.update();
        s.paint();
    }
}

// Ships diving below the middle of the screen.
int divingLow()
{
    int n = 0;
    for (int i = 0; i < fleet->length; ++i)
        n += (*fleet)[i]->state == AlienShip::DIVING && (*fleet)[i]->y > screenHeight / 2;
    return n;
}

int shoot(int width, int height)
{
    screenWidth = width;
    screenHeight = height;
    screen = DImage::createImage(width, height);
    screenGraphics = screen->getGraphics();
    if (!GameLib::loadScreenConfig()) {
        std::fprintf(stderr, "corvshots: %dx%d is not supported by this game.dat\n", width, height);
        return 1;
    }
    GameStatics::init();
    loadImageFonts();
    GameMenu::loadMenuImages();
    // The language lists come with the language menu.
    DPtr<langmenu::LangMenu> lang = new langmenu::LangMenu();
    lang->start();
    languageIndex = 0;

    CorvantinePtr game = new Corvantine();
    game->start();
    run(*game, 2);
    writePng("corv_menu");
    Corvantine::setMenuMode(MODE_HELP);
    run(*game, 1);
    writePng("corv_help");
    Corvantine::setMenuMode(MODE_NEW_GAME);

    level = 1;
    Corvantine::nextLevel();
    run(*game, 2);
    writePng("corv_intro");
    while (gameState == STATE_INTRO)
        run(*game, 1);
    run(*game, 30);
    writePng("corv_play");
    // Play on (the ship out of harm's way) until a ship dives at it below the middle.
    for (int i = 0; i < 3000 && divingLow() == 0; ++i) {
        lives = 4;
        if (exploding)
            explosionFinished = true;
        run(*game, 1);
    }
    writePng("corv_dive");

    keyFire = 1;
    run(*game, 3);
    keyFire = 0;
    run(*game, 6);
    writePng("corv_shot");

    level = 3;
    Corvantine::nextLevel();
    while (gameState == STATE_INTRO)
        run(*game, 1);
    run(*game, 40);
    writePng("corv_level3");

    // Level cleared: every ship shot down but one, then that one.
    for (int i = 1; i < fleet->length; ++i)
        (*fleet)[i]->state = AlienShip::DESTROYED;
    AlienShip& last = *(*fleet)[0];
    last.state = AlienShip::IN_FORMATION;
    liveShips = 1;
    for (int r = 0; r < kRows; ++r)
        (*rowShipsLeft)[r] = r == last.row ? 1 : 0;
    shotX = last.x;
    shotY = last.y + 8;
    run(*game, 1);
    writePng("corv_cleared");
    for (int i = 0; i < 60 && gameState != STATE_REWARD; ++i)
        run(*game, 1);
    run(*game, 25);
    writePng("corv_reward");

    lives = 0;
    Corvantine::loseLife();
    run(*game, 6);
    writePng("corv_ship_lost");
    for (int i = 0; i < 200 && gameState != STATE_GAME_OVER; ++i)
        run(*game, 1);
    run(*game, 2);
    writePng("corv_gameover");
    game->stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvshots <folder holding game.dat> <out folder>\n");
        return 2;
    }
    outFolder = argv[2];
    std::filesystem::create_directories(outFolder);
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = std::string(argv[1]) + "/game.exe";
    profile.registryPath = outFolder + "/corvshots-registry.sqlite";
    std::filesystem::remove(profile.registryPath);
    DPtr<GameLib> lib = new GameLib();
    int rc = 1;
    try {
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        rc = shoot(240, 320);
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "corvshots: failed with exception 0x%x\n",
                     static_cast<unsigned>(e->code));
        delete e;
    }
    GameStatics::release();
    screenGraphics = nullptr;
    screen = nullptr;
    return rc;
}
