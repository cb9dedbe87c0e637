// The shell's globals that outlive any one screen.
#include "gamelib/GameLib.h"

namespace gamelib {

GameLibPtr gameLib;
GameInterfacePtr currentScreen;
uint8_t screenSupported = 0;

int32_t languageIndex = -1;
qev::util::DVectorPtr languageNames;
qev::util::DVectorPtr languageShortNames;
int32_t languageCount = 0;
uint8_t soundAnswer = 0;
uint8_t soundAnswered = 0;

GameInterfacePtr ShellScreens::make(GameInterfacePtr (*maker)())
{
    if (!maker)
        qev::lang::throwNullPointerException("ShellScreens", __FILE__, __LINE__);
    return maker();
}

ShellScreens& shellScreens()
{
    static ShellScreens screens;
    return screens;
}

} // namespace gamelib
