// Start-up: canvas and archive, the screen check, the shared data and fonts, the language and
// sound questions (each re-enters startApp once answered), then the logo, the loading bar, the
// key names and texts, and the main menu.
#include "gamelib/GameLib.h"

#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DSystem.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/lcdui/DFont.h"
#include "platform/threads.h"

namespace gamelib {

using qev::lang::DString;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::lang::DSystem;
using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

void clearScreenWhite()
{
    screenGraphics->setColor(0xFFFFFF);
    screenGraphics->fillRect(0, 0, screenWidth, screenHeight);
}

// Keeps the message on screen for two seconds of the millisecond clock, then returns.
void holdUnsupportedMessage()
{
    const int64_t shown = DSystem::currentTimeMillis();
    // Sleeping a millisecond a turn keeps a core free, and moves a clock that only moves when
    // the program waits on it.
    while (DSystem::currentTimeMillis() - shown < GameLib::kUnsupportedMessageMillis)
        Sleep(1);
}

void paintProgressStep()
{
    GameMenu::paintProgressBar();
    screenCanvas->flushGraphics();
}

DStringArrayPtr gamePrefixes()
{
    const GameTable games = shellScreens().games;
    DStringArrayPtr prefixes = new DStringArray(static_cast<int32_t>(games.size()));
    for (int32_t i = 0; i < prefixes->length; ++i)
        prefixes[i] = games[i].name ? *games[i].name : nullptr;
    return prefixes;
}

} // namespace

void GameLib::startApp()
{
    if (languageIndex == -1) {
        screenCanvas = new ScreenCanvas();
        getDisplay()->setCurrent(screenCanvas);
        qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
        clearScreenWhite();
        screenSupported = loadScreenConfig() ? 1 : 0;
        if (!screenSupported) {
            screenGraphics->setColor(0);
            drawUnsupportedMessage(screenGraphics);
            screenCanvas->flushGraphics();
            holdUnsupportedMessage();
            notifyDestroyed();
            return;
        }
        GameStatics::init();
        loadImageFonts();
        screenCanvas->flushGraphics();
        GameInterfacePtr langMenu = ShellScreens::make(shellScreens().makeLangMenu);
        langMenu->start();
        if (languageIndex == -1) {
            currentScreen = langMenu;
            return;
        }
    }
    if (!soundAnswered) {
        if (!shellScreens().startSoundMenu)
            qev::lang::throwNullPointerException("ShellScreens", __FILE__, __LINE__);
        GameInterfacePtr soundMenu = shellScreens().startSoundMenu(gamePrefixes());
        if (!soundAnswered) {
            currentScreen = soundMenu;
            return;
        }
    }
    runStartUp();
}

// Steps after both questions: logo and version, loading bar, menu images, main menu, keys and
// texts.
void GameLib::runStartUp()
{
    clearScreenWhite();
    DImagePtr logo = createImage(u"/graphics/logo.png");
    screenGraphics->drawImage(logo, screenWidth >> 1, (screenHeight - logo->getHeight()) / 2,
                              DGraphics::HCENTER | DGraphics::TOP);
    screenGraphics->setColor(0, 0, 0);
    screenGraphics->setFont(DFont::getFont(0, 0, 8));
    screenGraphics->drawString(getVersion(), 2, 2, DGraphics::TOP | DGraphics::LEFT);

    GameMenu::setProgressBar(screenHeight - (screenHeight >> 3), 0, 20, 0, 0xFF0000);
    screenCanvas->flushGraphics();
    paintProgressStep();

    GameMenu::loadMenuImages();
    currentScreen = ShellScreens::make(shellScreens().makeMainMenu);
    paintProgressStep();

    loadKeys();
    paintProgressStep();

    paintProgressStep();
    showMainMenu();
}

void GameLib::loadKeys()
{
    tolerant([&] {
        loadTextFile(u"/data/keys", false);
        softKeyLeftCode = getTextInt(u"KEY_LEFT_SOFT2", 0);
        softKeyRightCode = getTextInt(u"KEY_RIGHT_SOFT2", 0);
    });
    loadLanguageTexts();
    GameInterfacePtr screen = currentScreen;
    screen->start();
}

} // namespace gamelib
