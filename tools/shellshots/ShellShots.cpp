// shellshots: draws the shell's screens the way the game draws them, from a game.dat, into PNG
// files: the language and sound questions, the main menu while it opens and at rest, the gallery
// with nothing unlocked and every one of its pictures.
//
//   shellshots <folder holding game.dat> <out folder>
//
// The screen size is the emulated handheld's (PH_SCREEN_WIDTH, PH_SCREEN_HEIGHT).
#include "LangMenu/LangMenu.h"
#include "SoundMenu/SoundMenu.h"
#include "gallery/Gallery.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DStringArray.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"
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
    std::fprintf(stderr, "shellshots: %s %s\n", ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

// The screen's steps without input, then its picture.
void run(GameInterface& s, int steps)
{
    for (int i = 0; i < steps; ++i)
        s.update();
    s.paint();
}

int shoot(int width, int height)
{
    screenWidth = width;
    screenHeight = height;
    screen = DImage::createImage(width, height);
    screenGraphics = screen->getGraphics();
    if (!GameLib::loadScreenConfig()) {
        std::fprintf(stderr, "shellshots: %dx%d is not supported by this game.dat\n", width,
                     height);
        return 1;
    }
    GameStatics::init();
    loadImageFonts();

    DPtr<langmenu::LangMenu> lang = new langmenu::LangMenu();
    lang->start();
    run(*lang, 1);
    writePng("lang_menu");
    languageIndex = 0;

    DPtr<soundmenu::SoundMenu> sound = new soundmenu::SoundMenu();
    qev::lang::DStringArrayPtr prefixes = new qev::lang::DStringArray(0);
    sound->start(prefixes);
    run(*sound, 1);
    writePng("sound_menu");

    MainMenu::openingMillis = 1000;
    DPtr<MainMenu> menu = new MainMenu();
    menu->start();
    run(*menu, 12);
    writePng("main_menu_opening");
    run(*menu, 140);
    writePng("main_menu");
    keyDown = 1;
    run(*menu, 4);
    writePng("main_menu_logo_out");
    run(*menu, 40);
    writePng("main_menu_second");

    GameMenu::saveOption(u"openimgs", 0);
    gallery::Gallery::forgetMask();
    DPtr<gallery::Gallery> empty = new gallery::Gallery();
    empty->start();
    run(*empty, 20);
    writePng("gallery_empty");

    GameMenu::saveOption(u"openimgs", (1 << gallery::Gallery::kPictures) - 1);
    gallery::Gallery::forgetMask();
    DPtr<gallery::Gallery> all = new gallery::Gallery();
    all->start();
    for (int n = 0; n < gallery::Gallery::kPictures; ++n) {
        run(*all, 20);
        writePng("gallery_" + std::to_string(n));
        keyRight = 1;
        run(*all, 1);
        keyRight = 0;
        if (n == 0) {
            run(*all, 10);
            writePng("gallery_sliding");
        }
        run(*all, 60);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: shellshots <folder holding game.dat> <out folder>\n");
        return 2;
    }
    outFolder = argv[2];
    std::filesystem::create_directories(outFolder);
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = std::string(argv[1]) + "/game.exe";
    // The options the gallery reads go to a store of this run only.
    profile.registryPath = outFolder + "/shellshots-registry.sqlite";
    std::filesystem::remove(profile.registryPath);
    DPtr<GameLib> lib = new GameLib();
    int rc = 1;
    try {
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        rc = shoot(profile.screenWidth, profile.screenHeight);
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "shellshots: failed with exception 0x%x\n",
                     static_cast<unsigned>(e->code));
        delete e;
    }
    GameStatics::release();
    screenGraphics = nullptr;
    screen = nullptr;
    return rc;
}
