#include "tessarine/TessarineGlobals.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"

#include "gamelib/GameStatics.h"
#include "gamelib/SoundBank.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"

#include <cstdlib>

namespace tessarine {

using gamelib::Animation;
using gamelib::AnimationPtr;

int32_t gameState = STATE_LOADING;
int64_t stateTime = 0;
uint8_t gameInProgress = 0;
int32_t openLevel = 1;
gamelib::GameMenuPtr gameMenu;
gamelib::GameMenuPtr highscoreMenu;
gamelib::CustomControlsPtr keyDialog;
qev::lang::DPtr<BrickList> brickList;
qev::lang::DPtr<Platform> paddle;
qev::lang::DintArray2dPtr particles;
qev::lang::DPtr<qev::lang::DTypedArray<Animation>> bonusAnimations;
qev::lang::DPtr<qev::lang::DTypedArray<Animation>> enemyAnimations;
gamelib::GameImagePtr smallBallImage;
gamelib::GameImagePtr normalBallImage;
gamelib::GameImagePtr bigBallImage;
gamelib::GameImagePtr bulletImage;
gamelib::GameImagePtr bombImage;
AnimationPtr fireSmallAnimation;
AnimationPtr fireAnimation;
AnimationPtr fireBigAnimation;
qev::lang::DStringPtr scoreLabel;
qev::lang::DStringPtr pauseLabel;
Tessarine* runningGame = nullptr;
int32_t gridLeft = 0;
int32_t columnGap = 0;
int32_t rowGap = 0;
qev::microedition::lcdui::DGraphicsPtr drawTarget;

int32_t nextRandom()
{
    return gamelib::sharedRandom->next(32);
}

int32_t randomRange(int32_t a, int32_t b)
{
    // |r| taken in 64 bits: the most negative draw stays positive.
    const int64_t r = std::llabs(static_cast<int64_t>(nextRandom()));
    const int64_t span = static_cast<int64_t>(b) - a + 1;
    return span <= 0 ? a : static_cast<int32_t>(a + r % span);
}

AnimationPtr loadAnimation(qev::lang::DStringPtr key)
{
    qev::lang::DStringPtr text = gamelib::getText(key);
    // getText answers the key itself when the table has no such text.
    if (!text || text->length() == 0 ||
        (gamelib::textTable && !gamelib::textTable->containsKey(key)))
        return nullptr;
    return AnimationPtr(new Animation(gamelib::splitText(text, u';')));
}

AnimationPtr requiredAnimation(const qev::lang::DStringPtr& key)
{
    return gamelib::requireListedAnimation(gamelib::textTable, key, u"/tesk/anim.txt");
}

AnimationPtr requiredAnimation(const char16_t* key)
{
    return requiredAnimation(qev::lang::DStringPtr(key));
}

AnimationPtr copyAnimation(const AnimationPtr& source)
{
    if (!source)
        return nullptr;
    AnimationPtr copy = new Animation();
    copy->frames = source->frames;
    copy->ticksPerFrame = source->ticksPerFrame;
    return copy;
}

void paintOnce(Animation& animation, int32_t x, int32_t y)
{
    animation.paint(x, y);
    if (animation.wrapped)
        animation.playing = 0;
}

gamelib::GameImagePtr currentFrame(const Animation& animation)
{
    if (!animation.frames || animation.frame < 0 || animation.frame >= animation.frames->length)
        return nullptr;
    return (*animation.frames)[animation.frame];
}

void playSoundOnce(int32_t index)
{
    if (gamelib::soundBank)
        gamelib::playSound(index, 1);
}

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

void releaseModule()
{
    gameMenu = nullptr;
    highscoreMenu = nullptr;
    keyDialog = nullptr;
    brickList = nullptr;
    paddle = nullptr;
    particles = nullptr;
    bonusAnimations = nullptr;
    enemyAnimations = nullptr;
    smallBallImage = normalBallImage = bigBallImage = bulletImage = bombImage = nullptr;
    fireSmallAnimation = fireAnimation = fireBigAnimation = nullptr;
    scoreLabel = pauseLabel = nullptr;
    drawTarget = nullptr;
    gameState = STATE_LOADING;
    gameInProgress = 0;
}

} // namespace tessarine
