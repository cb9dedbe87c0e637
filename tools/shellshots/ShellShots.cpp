// shellshots: draws the shell's screens the way the game draws them, from a game.dat, into PNG
// files: the language and sound questions, the main menu while it opens and at rest, the gallery
// with nothing unlocked and every one of its pictures.
//
//   shellshots <folder holding game.dat> <out folder>
//
// The screen size is the emulated handheld's (PH_SCREEN_WIDTH, PH_SCREEN_HEIGHT).
#include "ToolSession.h"

#include "LangMenu/LangMenu.h"
#include "SoundMenu/SoundMenu.h"
#include "gallery/Gallery.h"
#include "gamelib/GameMenu.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "platform/DeviceProfile.h"

#include "lang/DStringArray.h"

#include <string>

using namespace gamelib;
using qev::lang::DPtr;

namespace {

// The screen's steps without input, then its picture.
void run(GameInterface& s, int steps)
{
    for (int i = 0; i < steps; ++i)
        s.update();
    s.paint();
}

int shoot(toolsupport::ToolSession& shots)
{
    const platform::DeviceProfile& profile = platform::DeviceProfile::current();
    if (!shots.openScreen(profile.screenWidth, profile.screenHeight))
        return 1;

    DPtr<langmenu::LangMenu> lang = new langmenu::LangMenu();
    lang->start();
    run(*lang, 1);
    shots.shot("lang_menu");
    languageIndex = 0;

    DPtr<soundmenu::SoundMenu> sound = new soundmenu::SoundMenu();
    qev::lang::DStringArrayPtr prefixes = new qev::lang::DStringArray(0);
    sound->start(prefixes);
    run(*sound, 1);
    shots.shot("sound_menu");

    MainMenu::openingMillis = 1000;
    DPtr<MainMenu> menu = new MainMenu();
    menu->start();
    run(*menu, 12);
    shots.shot("main_menu_opening");
    run(*menu, 140);
    shots.shot("main_menu");
    keyDown = 1;
    run(*menu, 4);
    shots.shot("main_menu_logo_out");
    run(*menu, 40);
    shots.shot("main_menu_second");

    GameMenu::saveOption(u"openimgs", 0);
    gallery::Gallery::forgetMask();
    DPtr<gallery::Gallery> empty = new gallery::Gallery();
    empty->start();
    run(*empty, 20);
    shots.shot("gallery_empty");

    GameMenu::saveOption(u"openimgs", (1 << gallery::Gallery::kPictures) - 1);
    gallery::Gallery::forgetMask();
    DPtr<gallery::Gallery> all = new gallery::Gallery();
    all->start();
    for (int n = 0; n < gallery::Gallery::kPictures; ++n) {
        run(*all, 20);
        shots.shot("gallery_" + std::to_string(n));
        keyRight = 1;
        run(*all, 1);
        keyRight = 0;
        if (n == 0) {
            run(*all, 10);
            shots.shot("gallery_sliding");
        }
        run(*all, 60);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    toolsupport::ToolSession session("shellshots");
    if (!session.parseArguments(argc, argv))
        return 2;
    return session.run(shoot);
}
