// The objects that the shell and the three games share for the whole run: names, constant
// tables, the shared random generator and the images of the game menus.
#pragma once

#include "lang/DStringArray.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DImage.h"
#include "microedition/lcdui/DeviceKeys.h"
#include "util/DRandom.h"

namespace gamelib {

class GameStatics
{
  public:
    // Creates the shared objects (once, during start-up, after the screen check).
    static void init();
    // Drops every shared object of the shell and the games; each dies with its last reference.
    static void release();
    // The three fixed key codes that open the hidden level select ("#", "*", "#").
    static constexpr int32_t kLevelJumpCodes[3] = {qev::microedition::lcdui::kKeyHash,
                                                   qev::microedition::lcdui::kKeyStar,
                                                   qev::microedition::lcdui::kKeyHash};
};

// Brick-breaker: its name (record-store prefix and text keys) and the letter of each brick kind.
extern qev::lang::DStringPtr tessarineName;
extern qev::lang::DStringPtr brickLetters;
// The keyboard of highscore name entry (made by the keyboard's maker, see ShellScreens).
extern qev::lang::DObjectPtr nameKeyboard;
// Shared images of the game menus, loaded by GameMenu::loadMenuImages.
extern qev::microedition::lcdui::DImagePtr arrowUpImage;
extern qev::microedition::lcdui::DImagePtr arrowDownImage;
extern qev::microedition::lcdui::DImagePtr pauseImage;
extern qev::microedition::lcdui::DImagePtr selectedImage;
// Seeded from the clock at start-up; every game draws from it.
extern qev::util::DRandomPtr sharedRandom;
// Space-rock game.
extern qev::lang::DStringPtr mirrowfenName;
extern qev::lang::DObjectPtr mirrowfenObject;
extern qev::lang::DintArrayPtr starColours;
extern qev::lang::DintArrayPtr thrustTable;
extern qev::lang::DintArrayPtr directionTable;
// Formation shooter.
extern qev::lang::DStringPtr corvantineName;
// Text keys of the games' menu items.
extern qev::lang::DStringArrayPtr menuItemKeys;
extern qev::lang::DintArrayPtr rowShips;
extern qev::lang::DintArrayPtr rowShipsLeft;
extern qev::lang::DintArrayPtr rowValues;
extern qev::lang::DintArrayPtr starLayerSpeeds;
extern qev::lang::DintArrayPtr starLayerColours;

} // namespace gamelib
