#include "gamelib/GameStatics.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "gallery/Gallery.h"
#include "lang/DSystem.h"

#include <initializer_list>

namespace gamelib {

using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::util::DHashtable;

DStringPtr tessarineName;
DStringPtr brickLetters;
qev::lang::DObjectPtr nameKeyboard;
qev::microedition::lcdui::DImagePtr arrowUpImage;
qev::microedition::lcdui::DImagePtr arrowDownImage;
qev::microedition::lcdui::DImagePtr pauseImage;
qev::microedition::lcdui::DImagePtr selectedImage;
qev::util::DRandomPtr sharedRandom;
DStringPtr mirrowfenName;
qev::lang::DObjectPtr mirrowfenObject;
DintArrayPtr starColours;
DintArrayPtr thrustTable;
DintArrayPtr directionTable;
DStringPtr corvantineName;
DStringArrayPtr menuItemKeys;
DintArrayPtr rowShips;
DintArrayPtr rowShipsLeft;
DintArrayPtr rowValues;
DintArrayPtr starLayerSpeeds;
DintArrayPtr starLayerColours;

namespace {

DintArrayPtr intArray(std::initializer_list<int32_t> values)
{
    DintArrayPtr a = new DintArray(static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (int32_t v : values)
        a[i++] = v;
    return a;
}

} // namespace

void GameStatics::init()
{
    tessarineName = u"tessarine";
    brickLetters = u"abcdefghij";
    atlasPieces = new DHashtable(11, 75);
    levelJumpSequence =
        intArray({kLevelJumpCodes[0], kLevelJumpCodes[1], kLevelJumpCodes[2], 0, 0});
    textTable = new DHashtable(11, 75);
    nameKeyboard = shellScreens().makeNameKeyboard ? shellScreens().makeNameKeyboard() : nullptr;
    arrowUpImage = arrowDownImage = pauseImage = selectedImage = nullptr;
    sharedRandom = new qev::util::DRandom(qev::lang::DSystem::currentTimeMillis());
    mirrowfenName = u"mirrowfen";
    mirrowfenObject = nullptr;
    starColours = intArray({0xAFAFAF, 0x00AFFF, 0x0000FF});
    thrustTable = intArray({0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7});
    directionTable = intArray({923, 707, 382, 0, 382, 707, 923, 1000});
    corvantineName = u"corvantine";
    static const char16_t* const kItemKeys[] = {u"start",       u"continue", u"gallery",
                                                u"highscores",  u"help",     u"sound level",
                                                u"music level", u"cfg_keys", u"exit"};
    menuItemKeys = new DStringArray(9);
    for (int32_t i = 0; i < 9; ++i)
        menuItemKeys[i] = DStringPtr(kItemKeys[i]);
    rowShips = intArray({2, 4, 5, 6, 6});
    rowShipsLeft = intArray({2, 4, 5, 6, 6});
    rowValues = intArray({150, 100, 80, 60, 60});
    starLayerSpeeds = intArray({70000, 80000, 100000});
    starLayerColours = intArray({0x0000FF, 0x00FFFF, 0xDFDFDF});
}

void GameStatics::release()
{
    tessarineName = brickLetters = mirrowfenName = corvantineName = nullptr;
    levelJumpSequence = nullptr;
    textTable = nullptr;
    nameKeyboard = mirrowfenObject = nullptr;
    arrowUpImage = arrowDownImage = pauseImage = selectedImage = nullptr;
    sharedRandom = nullptr;
    starColours = thrustTable = directionTable = nullptr;
    menuItemKeys = nullptr;
    rowShips = rowShipsLeft = rowValues = starLayerSpeeds = starLayerColours = nullptr;
    // The shell's own globals.
    currentScreen = nullptr;
    screenGraphics = nullptr;
    screenCanvas = nullptr;
    graphicsSet = nullptr;
    folderAliases = nullptr;
    languageNames = languageShortNames = nullptr;
    releaseAtlas();
    releaseImageFonts();
    releaseSounds();
    // What the game menus share: the help page, the last entered name, the input gate.
    GameMenu::releaseHelp();
    GameMenu::enteredName = nullptr;
    GameMenu::nameReady = 0;
    GameMenu::lastActionTime = 0;
    // Run-wide state of the shell's screens: the next run opens its first main menu at once
    // and reads the unlocked pictures afresh.
    MainMenu::openingMillis = 0;
    gallery::Gallery::forgetMask();
    // What the games and the other screens keep.
    for (const GameEntry& game : shellScreens().games)
        if (game.release)
            game.release();
    gameLib = nullptr;
}

} // namespace gamelib
