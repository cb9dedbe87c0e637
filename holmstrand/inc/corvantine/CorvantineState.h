// The formation shooter keeps its game in module state: the screen object only holds the
// gallery. Everything here is zero or null when the program starts and survives between two
// visits of the game in one run, except what start sets again.
#pragma once

#include "corvantine/AlienShip.h"

#include "gamelib/Animation.h"
#include "gamelib/GameImage.h"

#include "lang/DStringArray.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace corvantine {

enum GameState : int32_t {
    STATE_MENU = 0,
    STATE_PLAYING = 1,
    STATE_INTRO = 2,
    STATE_GAME_OVER = 3,
    STATE_SHIP_LOST = 4,
    STATE_CLEARED = 5,
    STATE_GALLERY = 6,
    STATE_REWARD = 7,
    STATE_KEYS = 8
};

enum MenuMode : int32_t { MODE_NEW_GAME = 0, MODE_PAUSED = 1, MODE_HELP = 2, MODE_HIGHSCORES = 3 };

enum Sound : int32_t {
    SOUND_MENU = 0,
    SOUND_GAME = 1,
    SOUND_LEVEL_BEGIN = 2,
    SOUND_ALIEN_HIT = 3,
    SOUND_SHIP_LOST = 4,
    SOUND_ALIEN_FIRES = 5,
    SOUND_PLAYER_FIRES = 6,
    SOUND_ALIEN_LEAVES = 7,
    SOUND_ALIEN_RETURNS = 8,
    SOUND_BONUS_SHIP = 9,
    SOUND_COUNT = 10
};

// Game constants.
constexpr int32_t kStepTimer = 25; // what the state timer loses per step
constexpr int32_t kPlayTimer = 30; // what the play timers lose per step
constexpr int32_t kRows = 5;
constexpr int32_t kShips = 23;
constexpr int32_t kCandidates = 10;
constexpr int32_t kAlienShots = 15;
constexpr int32_t kStarLayers = 3;
constexpr int32_t kStarsPerLayer = 50;
constexpr int32_t kPlanets = 4;
constexpr int32_t kKinds = 8;
constexpr int32_t kDirections = 16;
constexpr int32_t kHitInset = 2;
constexpr int32_t kColumnGap = 10;
constexpr int32_t kRowGap = 4;
constexpr int32_t kLeaveSpeed = 100000;
constexpr int32_t kLeaveGravity = 5000;
constexpr int32_t kLeaveSideSpeed = 65536;
constexpr int32_t kTurnRate = 20000;
constexpr int32_t kSwoopLimit = 100000;
constexpr int32_t kSwoopRateSmall = 1200;
constexpr int32_t kSwoopRateLarge = 500;
constexpr int32_t kSwoopBrake = 5000;
constexpr int32_t kTurnBackSteering = 5000;
constexpr int32_t kSteering = 2000;
constexpr int32_t kDiveSpeed = 2;
constexpr int32_t kFirePause = 200;
constexpr int32_t kCrowdLimit = 3;
constexpr int32_t kShipSpeed = 3;
constexpr int32_t kPlayerShotSpeed = 8;
constexpr int32_t kAlienShotSpeed = 4;
constexpr int32_t kShotPause = 200;
constexpr int32_t kStylusDeadZone = 3;
constexpr int32_t kBonusScore = 5000;
constexpr int32_t kPlanetSpeed = 120000;
constexpr int32_t kPlanetPause = 1000;
constexpr int32_t kLevelCap = 20;
// The highscore table's number in its store name; tables saved before were kept under number
// 0, and the first start takes them over.
constexpr int32_t kHighscoreTable = 1;
constexpr int32_t kEarlierHighscoreTable = 0;
constexpr int32_t kFree = -1;

// Flow (screen, states and menu).
extern int32_t gameState;
extern int32_t level;
extern int32_t lives;
extern int32_t score;
extern int32_t levelCap;
extern int32_t stateTimer;
extern int32_t menuMode;
extern int32_t previousMenuMode;
extern qev::lang::DStringArrayPtr itemTexts;
extern qev::microedition::lcdui::DImagePtr backgroundPicture;

// Per-level pacing.
extern int32_t diveLimit;
extern int32_t launchInterval;
extern int32_t shotsPerDive;
extern int32_t launchTimer;
extern int32_t alienFirePause;
extern int32_t swoopRate;

// Sizes taken from the pictures at start.
extern int32_t alienWidth;
extern int32_t alienHeight;
extern int32_t alienHalfWidth;
extern int32_t alienHalfHeight;
extern int32_t explosionHalfWidth;
extern int32_t explosionHalfHeight;
extern int32_t shipWidth;
extern int32_t shipHeight;
extern int32_t shipHalfWidth;
extern int32_t shipTop;

// Formation.
extern AlienShipArray2dPtr formation;
extern AlienShipArrayPtr fleet;
extern AlienShipArrayPtr candidates;
extern int32_t liveShips;
extern int32_t swayOffset;
extern int32_t swayRight;
extern int32_t leftMargin;

// Player ship and shots.
extern int32_t shipX;
extern bool exploding;
extern bool explosionFinished;
extern int32_t shotX;
extern int32_t shotY;
extern int32_t shotPause;
extern qev::lang::DintArrayPtr alienShotX;
extern qev::lang::DintArrayPtr alienShotY;
extern bool bonusGiven;

// Background.
extern qev::lang::DintArrayPtr starX;
extern qev::lang::DintArrayPtr starY;
extern int32_t planetIndex;
extern int32_t planetX;
extern int32_t planetY;
extern int32_t planetPause;

// Pictures and animations of the atlas.
extern gamelib::GameImagePtr shipImage;
extern gamelib::GameImagePtr bulletImage;
extern gamelib::GameImagePtr lifeImage;
extern gamelib::GameImagePtr levelImage;
extern gamelib::GameImageArrayPtr planetImages;
extern gamelib::GameImageArray2dPtr kindSprites;
extern qev::lang::DObjectArrayPtr kindAnimations;
extern gamelib::AnimationPtr exhaustAnimation;
extern gamelib::AnimationPtr shipExplosion;
extern gamelib::AnimationPtr bulletAnimation;
extern gamelib::AnimationPtr alienExplosion;

// |r| mod n (n > 0), also for the one r whose absolute value does not fit an int.
int32_t absMod(int32_t r, int32_t n);
// absMod of the next random number.
int32_t randomBelow(int32_t n);
int32_t nextRandom();
// Sound of the game's bank, once.
void playEffect(int32_t sound);
// The game's pieces released and its play state back to a new process's.
void resetGlobals();

} // namespace corvantine
