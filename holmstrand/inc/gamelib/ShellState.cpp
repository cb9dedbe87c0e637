// The shell's globals that outlive any one screen.
#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

namespace gamelib {

GameLibPtr gameLib;
GameInterfacePtr currentScreen;
uint8_t screenSupported = 0;
int64_t unsupportedEndTime = 0;

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

void resetGlobals()
{
    GameStatics::release();
    currentScreen = nullptr;
    screenCanvas = nullptr;
    screenGraphics = nullptr;
    screenWidth = screenHeight = 0;
    screenSupported = 0;
    unsupportedEndTime = 0;
    graphicsSet = nullptr;
    folderAliases = nullptr;
    languageIndex = -1;
    languageNames = languageShortNames = nullptr;
    languageCount = 0;
    languageListFault = languageTextsFault = nullptr;
    soundAnswer = soundAnswered = 0;
    frameClock = lastTickDuration = 0;
    ScreenCanvas::clearKeys();
    softKeyLeftCode = softKeyRightCode = 0;
    levelJumpSequence = nullptr;
    levelJumpFlag = 0;
    levelJumpNumber = 0;
    shellScreens() = ShellScreens{};
    gameLib = nullptr;
}

} // namespace gamelib
