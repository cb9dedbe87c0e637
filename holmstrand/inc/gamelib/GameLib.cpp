#include "gamelib/GameLib.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ResourceNames.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DDisplay.h"

namespace gamelib {

using qev::lang::DStringPtr;

namespace {

// What the image loader asks for: the global MIDlet's properties.
DStringPtr imageProperty(DStringPtr key)
{
    return gameLib ? gameLib->getAppProperty(key) : DStringPtr();
}

// The pause action's key code.
constexpr int32_t kPauseCode = -4;

} // namespace

GameLib::GameLib()
{
    gameLib = this;
    qev::microedition::lcdui::DImage::setPropertySource(&imageProperty);
}

GameLib::~GameLib()
{
    qev::microedition::lcdui::DImage::setPropertySource(nullptr);
}

bool GameLib::destroyApp(bool)
{
    // Keeps this object alive while the shared objects (the global pointer to it included) go.
    GameLibPtr self = this;
    GameStatics::release();
    qev::io::D7zipInputStream::closeArchive();
    return true;
}

void GameLib::pauseApp()
{
    ScreenCanvas::resetInput();
    if (!screenCanvas)
        return;
    screenCanvas->keyPressed(kPauseCode);
    screenCanvas->keyReleased(kPauseCode);
}

DStringPtr GameLib::getAppProperty(DStringPtr key)
{
    if (!key)
        return nullptr;
    if (key->equals(u"app.name"))
        return u"Pallasterhorn";
    if (key->equals(u"screen.scale2x"))
        return u"";
    if (key->equals(u"image.path")) {
        // Before the canvas exists the display's height stands in for the screen's.
        int32_t height = screenHeight;
        if (height == 0 && getDisplay())
            height = getDisplay()->getHeight();
        return imagePathFor(height);
    }
    return nullptr;
}

DStringPtr GameLib::getVersion()
{
    return u"v1.4";
}

void GameLib::showMainMenu()
{
    GameInterfacePtr menu;
    tolerant([&] {
        if (currentScreen) {
            currentScreen->stop();
            currentScreen = nullptr;
        }
        keyFire = 0;
        menu = ShellScreens::make(shellScreens().makeMainMenu);
        currentScreen = menu;
    });
    // A main menu that cannot start (its data missing or damaged) would stand still and ignore
    // every key: its error goes on, to end the program with a box that names what failed.
    if (menu)
        menu->start();
}

} // namespace gamelib

qev::microedition::midlet::DMIDletPtr createMIDlet()
{
    return qev::microedition::midlet::DMIDletPtr(new gamelib::GameLib());
}
