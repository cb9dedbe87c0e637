// The shell's own screens as the start-up's defaults.
#include "gamelib/GameLib.h"
#include "gamelib/MainMenu.h"

#include "LangMenu/LangMenu.h"
#include "SoundMenu/SoundMenu.h"

namespace gamelib {

GameInterfacePtr makeShellLangMenu()
{
    return GameInterfacePtr(new langmenu::LangMenu());
}

GameInterfacePtr startShellSoundMenu(qev::lang::DStringArrayPtr prefixes)
{
    qev::lang::DPtr<soundmenu::SoundMenu> menu = new soundmenu::SoundMenu();
    menu->start(prefixes);
    return GameInterfacePtr(menu);
}

GameInterfacePtr makeShellMainMenu()
{
    return GameInterfacePtr(new MainMenu());
}

} // namespace gamelib
