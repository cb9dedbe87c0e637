// Game-wide values of the space-rock game, shared by the screen, the ship and the flying
// objects, and the small arithmetic helpers they all use.
#pragma once

#include "gamelib/CustomControls.h"

#include "lang/DObject.h"
#include "lang/DObjectArray2d.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace mirrowfen {

class Ship;

// 0 menu, 1 playing, 2 game over, 3 level cleared, 4 level intro, 5 gallery, 6 key dialog.
enum GameState : int32_t {
    STATE_MENU = 0,
    STATE_PLAYING = 1,
    STATE_GAME_OVER = 2,
    STATE_LEVEL_CLEARED = 3,
    STATE_INTRO = 4,
    STATE_GALLERY = 5,
    STATE_KEYS = 6
};

extern int32_t gameState;
extern int32_t currentLevel;
// 0 main, 1 pause, 2 help, 3 highscores.
extern int32_t menuId;
extern int32_t previousMenuId;
// The field bounces (1) or wraps (0).
extern uint8_t boundsOn;
extern int64_t lastStepTime;
// While set the ship loses no lives.
extern uint8_t noDamage;
extern qev::microedition::lcdui::DImagePtr backgroundImage;
extern qev::lang::DPtr<Ship> ship;
// 150 rows {x, y} in 16.16: three layers of 50 stars.
extern qev::lang::DintArray2dPtr starField;
// The key dialog, null while none is made.
extern gamelib::CustomControlsPtr keyConfig;

// Puts every value above back to its start value.
void resetGlobals();

// A fresh signed 32-bit number of the shared generator.
int32_t random32();
// Absolute value as the 32-bit machine gives it: the most negative number stays negative.
inline int32_t wrappingAbs(int32_t v)
{
    return v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
}

} // namespace mirrowfen
