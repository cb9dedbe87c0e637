// The brick-breaker's module state: one game screen at a time owns the grid, the paddle, the
// particle table and the shared pictures; start creates them and stop drops them.
#pragma once

#include "gamelib/Animation.h"
#include "gamelib/CustomControls.h"
#include "gamelib/GameImage.h"
#include "gamelib/GameMenu.h"

#include "lang/DObjectArray2d.h"
#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdint>

namespace tessarine {

class BrickList;
class Platform;
class Tessarine;

enum GameState : int32_t {
    STATE_LOADING = -1,
    STATE_MENU = 0,
    STATE_HIGHSCORES = 1,
    STATE_HELP = 2,
    STATE_LEVEL_CHOICE = 3,
    STATE_GALLERY = 4,
    STATE_PLAYING = 254,
    STATE_ALL_DONE = 260,
    STATE_GET_READY = 261,
    STATE_LEVEL_CLEARED = 300,
    STATE_KEY_CONFIG = 400
};

// Indices of the sound bank.
enum SoundIndex : int32_t {
    SOUND_MENU = 0,
    SOUND_GAME = 1,
    SOUND_RESPAWN = 2,
    SOUND_DIE = 3,
    SOUND_BOOM = 4,
    SOUND_HIT_BRICK = 5,
    SOUND_HIT_PLATFORM = 6,
    SOUND_HIT_UNDESTROY_BRICK = 7,
    SOUND_HIT_REGEN_BRICK = 8,
    SOUND_SHOOT = 9,
    SOUND_HIT_WALL = 10,
    SOUND_COUNT = 11
};

constexpr int32_t kRows = 21;
constexpr int32_t kColumns = 11;
constexpr int32_t kParticles = 100;
constexpr int32_t kParticleFields = 7;
constexpr int32_t kBonusKinds = 12;

extern int32_t gameState;
extern int64_t stateTime;
extern uint8_t gameInProgress;
extern int32_t openLevel;

extern gamelib::GameMenuPtr gameMenu;
extern gamelib::GameMenuPtr highscoreMenu;
extern gamelib::CustomControlsPtr keyDialog;
extern qev::lang::DPtr<BrickList> brickList;
extern qev::lang::DPtr<Platform> paddle;
// kParticles entries of {kind, x, y, vx, vy, age, brick type}; positions 16.16.
extern qev::lang::DintArray2dPtr particles;
// Index 1..12 by bonus kind; 0 stays null.
extern qev::lang::DPtr<qev::lang::DTypedArray<gamelib::Animation>> bonusAnimations;
extern qev::lang::DPtr<qev::lang::DTypedArray<gamelib::Animation>> enemyAnimations;
extern gamelib::GameImagePtr smallBallImage;
extern gamelib::GameImagePtr normalBallImage;
extern gamelib::GameImagePtr bigBallImage;
extern gamelib::GameImagePtr bulletImage;
extern gamelib::GameImagePtr bombImage;
extern gamelib::AnimationPtr fireSmallAnimation;
extern gamelib::AnimationPtr fireAnimation;
extern gamelib::AnimationPtr fireBigAnimation;
extern qev::lang::DStringPtr scoreLabel;
extern qev::lang::DStringPtr pauseLabel;
// The game being played (set by its constructor).
extern Tessarine* runningGame;

// Grid placement shared by the actors.
extern int32_t gridLeft;
extern int32_t columnGap;
extern int32_t rowGap;

// Where bricks are drawn: a layer of the grid while it is rebuilt, else the screen.
extern qev::microedition::lcdui::DGraphicsPtr drawTarget;

// a + |r| mod (b - a + 1) for a fresh 32-bit draw r of the shared generator; never below a.
int32_t randomRange(int32_t a, int32_t b);
// A 32-bit draw of the shared generator.
int32_t nextRandom();
// The animation whose frames are the text of key split at ';', or null without such text.
gamelib::AnimationPtr loadAnimation(qev::lang::DStringPtr key);
// The animation of entry key of the game's animation list, which the game cannot do without:
// IOException naming the entry when the list lacks it or the atlas lacks one of its pieces.
gamelib::AnimationPtr requiredAnimation(const char16_t* key);
gamelib::AnimationPtr requiredAnimation(const qev::lang::DStringPtr& key);
// A copy of an animation sharing its frames, not playing.
gamelib::AnimationPtr copyAnimation(const gamelib::AnimationPtr& source);
// An animation that plays once: painted, and stopped in the call that wraps.
void paintOnce(gamelib::Animation& animation, int32_t x, int32_t y);
// Current frame of an animation (null without frames).
gamelib::GameImagePtr currentFrame(const gamelib::Animation& animation);
void playSoundOnce(int32_t index);
// The millisecond clock.
int64_t now();

// Drops every module object (stop and the shell's release).
void releaseModule();

} // namespace tessarine
