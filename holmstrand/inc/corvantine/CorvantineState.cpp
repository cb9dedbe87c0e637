#include "corvantine/CorvantineState.h"

#include "corvantine/Corvantine.h"

#include "gamelib/GameStatics.h"
#include "gamelib/SoundBank.h"

namespace corvantine {

int32_t gameState = 0;
int32_t level = 0;
int32_t lives = 0;
int32_t score = 0;
int32_t levelCap = 0;
int32_t stateTimer = 0;
int32_t menuMode = 0;
int32_t previousMenuMode = 0;
qev::lang::DStringArrayPtr itemTexts;
qev::microedition::lcdui::DImagePtr backgroundPicture;

int32_t diveLimit = 0;
int32_t launchInterval = 0;
int32_t shotsPerDive = 0;
int32_t launchTimer = 0;
int32_t alienFirePause = 0;
int32_t swoopRate = kSwoopRateSmall;

int32_t alienWidth = 0;
int32_t alienHeight = 0;
int32_t alienHalfWidth = 0;
int32_t alienHalfHeight = 0;
int32_t explosionHalfWidth = 0;
int32_t explosionHalfHeight = 0;
int32_t shipWidth = 0;
int32_t shipHeight = 0;
int32_t shipHalfWidth = 0;
int32_t shipTop = 0;

AlienShipArray2dPtr formation;
AlienShipArrayPtr fleet;
AlienShipArrayPtr candidates;
int32_t liveShips = 0;
int32_t swayOffset = 0;
int32_t swayRight = 0;
int32_t leftMargin = 0;

int32_t shipX = 0;
bool exploding = false;
bool explosionFinished = false;
int32_t shotX = kFree;
int32_t shotY = 0;
int32_t shotPause = 0;
qev::lang::DintArrayPtr alienShotX;
qev::lang::DintArrayPtr alienShotY;
bool bonusGiven = false;

qev::lang::DintArrayPtr starX;
qev::lang::DintArrayPtr starY;
int32_t planetIndex = 0;
int32_t planetX = 0;
int32_t planetY = 0;
int32_t planetPause = 0;

gamelib::GameImagePtr shipImage;
gamelib::GameImagePtr bulletImage;
gamelib::GameImagePtr lifeImage;
gamelib::GameImagePtr levelImage;
gamelib::GameImageArrayPtr planetImages;
gamelib::GameImageArray2dPtr kindSprites;
qev::lang::DObjectArrayPtr kindAnimations;
gamelib::AnimationPtr exhaustAnimation;
gamelib::AnimationPtr shipExplosion;
gamelib::AnimationPtr bulletAnimation;
gamelib::AnimationPtr alienExplosion;

int32_t nextRandom()
{
    return gamelib::sharedRandom->next(32);
}

int32_t absMod(int32_t r, int32_t n)
{
    const int64_t wide = r;
    return static_cast<int32_t>((wide < 0 ? -wide : wide) % n);
}

int32_t randomBelow(int32_t n)
{
    return absMod(nextRandom(), n);
}

void playEffect(int32_t sound)
{
    gamelib::playSound(sound, 1);
}

void resetGlobals()
{
    Corvantine::releaseGame();
    gameMenu = nullptr;
    itemTexts = nullptr;
    backgroundPicture = nullptr;
    gameState = level = lives = score = 0;
    menuMode = previousMenuMode = 0;
    swayOffset = swayRight = 0;
    exploding = explosionFinished = false;
    shotX = kFree;
    shotPause = alienFirePause = 0;
}

} // namespace corvantine
