// One step of play: input, the actors, lives, the level jump and the particles.
#include "gamelib/ScreenPicture.h"
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"

#include "lang/DExceptionBase.h"

namespace tessarine {

using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::lang::DExceptionBase;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DImage;

void Tessarine::spawnParticles(int32_t count, int32_t kind, int32_t px, int32_t py,
                               int32_t brickType)
{
    if (!particles)
        return;
    qev::lang::DintArray2d& table = *particles;
    int32_t filled = 0;
    for (int32_t i = 0; i < table.length && filled < count; ++i) {
        qev::lang::DintArray& p = *table[i];
        if (p[0] != 0)
            continue;
        p[0] = kind;
        p[1] = static_cast<int32_t>(static_cast<uint32_t>(px) << 16);
        p[2] = static_cast<int32_t>(static_cast<uint32_t>(py) << 16);
        p[5] = 0;
        p[6] = brickType;
        p[3] = (nextRandom() % 7) * 16384;
        p[4] = (nextRandom() % 7) * 16384;
        ++filled;
    }
}

void Tessarine::moveParticles()
{
    if (!particles)
        return;
    qev::lang::DintArray2d& table = *particles;
    const int64_t right = static_cast<int64_t>(screenWidth) * 65536;
    const int64_t bottom = static_cast<int64_t>(screenHeight) * 65536;
    for (int32_t i = 0; i < table.length; ++i) {
        qev::lang::DintArray& p = *table[i];
        if (p[0] == 0)
            continue;
        if (p[1] < 0 || p[1] >= right || p[2] >= bottom) {
            p[0] = 0;
            continue;
        }
        p[1] += p[3];
        p[2] += p[4];
        p[4] += 8192;
        p[5] += 1;
        if ((p[0] == 3 && p[5] > 24) || p[5] > 49)
            p[0] = 0;
    }
}

void Tessarine::playStep()
{
    moveParticles();
    if (brickList->remaining > 0) {
        lives = paddle->collectBonuses(lives, ballCapacity);
        processBalls();
        paddle->updateBullets();
        processEnemies();
        return;
    }
    setState(STATE_LEVEL_CLEARED);
    gamelib::anyKey = 0;
    stateTime = now();
    gamelib::tolerant([&] {
        qev::microedition::lcdui::DImagePtr shown = gamelib::blankScreenPicture();
        brickList->picture = shown;
        gamelib::GameLib::drawPicture(BrickList::pictureOf(level), shown->getGraphics());
    });
    gamelib::ScreenCanvas::clearKeys();
}

void Tessarine::levelJump()
{
    using gamelib::levelJumpSequence;
    const int32_t n = gamelib::levelJumpNumber;
    gamelib::levelJumpFlag = 0;
    // Both places must have been digits and the level must exist; anything else is ignored.
    bool digits = true;
    if (levelJumpSequence && levelJumpSequence->length >= 5)
        for (int32_t i = 3; i < 5; ++i)
            digits = digits && (*levelJumpSequence)[i] >= 0 && (*levelJumpSequence)[i] <= 9;
    if (!digits || n < 1 || n > levelCount)
        return;
    level = n;
    setState(STATE_GET_READY);
    lives = kStartLives;
    gamelib::anyKey = 0;
    resetActors();
    if (openLevel < level) {
        openLevel = level;
        saveOpenLevel();
    }
    try {
        brickList->loadLevel(level);
    } catch (DExceptionBase* e) {
        if ((e->code & qev::lang::ExceptionCode::IOException) !=
            qev::lang::ExceptionCode::IOException)
            throw;
        delete e;
        // The grid stays as it was, drawn as before: its standing bricks count again, so that
        // the step's play goes on against them and never takes the jump for a cleared level.
        brickList->remaining = brickList->standingHitPoints();
    }
    stateTime = now();
}

void Tessarine::handleInput()
{
    stateTime = now();
    Platform& pad = *paddle;
    if (gamelib::keyRight || gamelib::keyAction14)
        pad.move(1);
    else if (gamelib::keyLeft || gamelib::keyAction15)
        pad.move(0);
    if (gamelib::pointerPressed) {
        if (gamelib::pointerX - pad.x > 3)
            pad.move(1);
        if (gamelib::pointerX - pad.x <= -4)
            pad.move(0);
    }
    if (gamelib::keyUp || gamelib::keyFire || gamelib::doubleTap) {
        gamelib::anyKey = 0;
        gamelib::doubleTap = 0;
        BallArray& all = *balls;
        for (int32_t i = 0; i < all.length; ++i)
            all[i]->released = 1;
        if (pad.morphNumber == Platform::MORPH_GUNS)
            pad.startGunFlash();
        pad.fireGuns();
    }
    if (gamelib::levelJumpFlag)
        levelJump();
}

void Tessarine::loseLife()
{
    paddle->ballsInPlay -= 1;
    if (paddle->ballsInPlay < 1) {
        lives -= 1;
        playSoundOnce(SOUND_DIE);
        resetActors();
        setState(STATE_GET_READY);
        stateTime = now();
    }
}

void Tessarine::gameOver()
{
    gamelib::stopAllSounds();
    highscoreMenu->loadHighscores(kHighscoreTable, gamelib::tessarineName
                                                       ? gamelib::tessarineName
                                                       : DStringPtr(u"tessarine"));
    useKeyMap(0);
    if (highscoreMenu->isHighscore(score())) {
        gameMenu->startNameEntry();
    } else {
        setScore(0);
        level = 1;
        lives = kStartLives;
        gameInProgress = 0;
        buildMainMenu();
    }
    setState(STATE_MENU);
}

void Tessarine::resetActors()
{
    if (particles)
        for (int32_t i = 0; i < particles->length; ++i)
            (*(*particles)[i])[0] = 0;
    EnemyArray& es = *enemies;
    for (int32_t i = 0; i < es.length; ++i)
        if (es[i]->active)
            es[i]->destroy();
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i) {
        Ball& b = *all[i];
        b.speed = 2;
        b.speedCounter = 0;
        b.setActive(false);
        b.setKind(0);
    }
    paddle->reset();
}

void Tessarine::compactBalls()
{
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i) {
        if (all[i]->active)
            continue;
        int32_t j = i + 1;
        while (j < all.length && !all[j]->active)
            ++j;
        if (j >= all.length)
            return;
        BallPtr moved = all[j];
        all[j] = all[i];
        all[i] = moved;
    }
}

void Tessarine::processEnemies()
{
    Platform& pad = *paddle;
    BallArray& all = *balls;
    for (int32_t e = 0; e < enemies->length; ++e) {
        Enemy& enemy = *(*enemies)[e];
        if (!enemy.active)
            enemy.tryAppear();
        if (enemy.active)
            enemy.wander();
        for (int32_t i = 0; i < all.length; ++i) {
            Ball& ball = *all[i];
            if (!ball.active || !enemy.active)
                continue;
            const int64_t ddx = ball.x - enemy.x;
            const int64_t ddy = ball.y - enemy.y;
            if (static_cast<int64_t>(ball.radius + enemy.height) * (ball.radius + enemy.width) <
                ddy * ddy + ddx * ddx)
                continue;
            if (enemy.variant != Enemy::SWALLOWER || ball.size > 2) {
                enemy.destroy();
                ball.dx = -ball.dx;
                ball.dy = -ball.dy;
                setScore(score() + 1);
                playSoundOnce(SOUND_HIT_BRICK);
                spawnParticles(10, 2, ball.x, ball.y, 0);
                continue;
            }
            if (pad.ballsInPlay == 1) {
                if (lives <= 0) {
                    pad.ballsInPlay = 1;
                    loseLife();
                    continue;
                }
                lives -= 1;
                if (lives == 0) {
                    pad.ballsInPlay = 1;
                    loseLife();
                    continue;
                }
                playSoundOnce(SOUND_DIE);
                int32_t slot = 0;
                while (slot < all.length && all[slot]->active)
                    ++slot;
                if (slot < all.length) {
                    Ball& fresh = *all[slot];
                    fresh.released = 0;
                    fresh.active = 1;
                    fresh.radius = ball.radius;
                    fresh.resetOnPlatform(pad.x + fresh.radius, pad.y - 1);
                    ball.active = 0;
                    enemy.carriedBall = all[i];
                    enemy.variant = Enemy::CARRIER;
                }
            } else {
                ball.active = 0;
                enemy.carriedBall = all[i];
                enemy.variant = Enemy::CARRIER;
                pad.ballsInPlay -= 1;
            }
        }
    }
}

} // namespace tessarine
