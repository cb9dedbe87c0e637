#include "tessarine/Enemy.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"

namespace tessarine {

using gamelib::screenHeight;
using gamelib::screenWidth;

Enemy::Enemy()
{
    animations = new qev::lang::DTypedArray<gamelib::Animation>(3);
    for (int32_t i = 0; i < 3; ++i)
        if (enemyAnimations && i < enemyAnimations->length)
            (*animations)[i] = copyAnimation((*enemyAnimations)[i]);
    // The body is as large as the monster is drawn (11 pixels in the 240 x 320 graphics), so
    // that it is painted centred on its position and meets balls where it shows.
    if (gamelib::AnimationPtr a = (*animations)[0]) {
        if (a->frames && a->frames->length > 0) {
            if (gamelib::GameImagePtr f = (*a->frames)[0]) {
                if (f->w > 0 && f->h > 0) {
                    width = f->w;
                    height = f->h;
                }
            }
        }
    }
}

void Enemy::tryAppear()
{
    if (randomRange(0, kAppearChance) != 0)
        return;
    if (paddle && paddle->exitAnimation)
        paddle->exitAnimation->reset();
    appear(randomRange(0, 2));
}

void Enemy::appear(int32_t newVariant)
{
    variant = newVariant;
    carriedBall = nullptr;
    active = 1;
    x = screenWidth / 2;
    y = -height;
    vy = 1;
    vx = 0;
    if (gamelib::AnimationPtr a = (*animations)[variant % 3])
        a->reset();
    turnTime = now();
}

void Enemy::wander()
{
    const int32_t t = randomRange(3000, 4000);
    if (now() - turnTime > t) {
        turnTime = now();
        vx = vx != 0 ? -vx : 1 - 2 * randomRange(0, 2);
        vy = randomRange(0, 2) - 1;
    }
    BrickList& list = *brickList;
    const int32_t ny = y + vy;
    if (x - width < gridLeft) {
        vx = 1;
    } else if (list.gridWidth + gridLeft < width + x) {
        vx = -1;
    } else {
        const int32_t nx = x + vx;
        if (vx > 0) {
            const int32_t ex = nx + width;
            if (hitsBrick(ex, ny) || hitsBrick(ex, ny + height) || hitsBrick(ex, ny - height))
                vx = -vx;
        } else if (vx < 0) {
            const int32_t ex = nx - width;
            if (hitsBrick(ex, ny) || hitsBrick(ex, ny + height) || hitsBrick(ex, ny - height))
                vx = -vx;
        }
    }
    x += vx;
    if (y - height / 2 < list.gridTop) {
        vy = 1;
    } else if (screenHeight - 30 < y + height / 2) {
        vy = -1;
    } else if (vy > 0) {
        const int32_t ey = ny + height;
        if (hitsBrick(x, ey) || hitsBrick(x + width, ey) || hitsBrick(x - width, ey))
            vy = -vy;
    } else if (vy < 0) {
        const int32_t ey = ny - height;
        if (hitsBrick(x, ey) || hitsBrick(x + width, ey) || hitsBrick(x - width, ey))
            vy = -vy;
    }
    y += vy;
    if (variant == BOMBER && paddle) {
        Ball& bomb = *paddle->bomb;
        if (!bomb.released && randomRange(0, 100) == 0) {
            bomb.setPosition(x, y);
            bomb.setActive(true);
            playSoundOnce(SOUND_SHOOT);
        }
    }
    if (variant == CARRIER && carriedBall)
        carriedBall->setPosition(x, y);
}

bool Enemy::hitsBrick(int32_t px, int32_t py)
{
    BrickList& list = *brickList;
    const int32_t c = list.columnAt(px);
    const int32_t r = list.rowAt(py);
    Brick* b = list.brickAt(r, c);
    return b && b->stands();
}

void Enemy::destroy()
{
    active = 0;
    if (gamelib::AnimationPtr a = (*animations)[variant % 3])
        a->playing = 0;
    if (variant == CARRIER && carriedBall) {
        carriedBall->setActive(true);
        carriedBall->setPosition(x, y);
        if (paddle) {
            paddle->spawnBonus(7, x, y);
            paddle->ballsInPlay += 1;
        }
    }
    carriedBall = nullptr;
}

void Enemy::paint()
{
    if (!active)
        return;
    gamelib::AnimationPtr a = (*animations)[variant % 3];
    if (a && a->frames && a->frames->length > 0 && currentFrame(*a))
        a->paint(x - width / 2, y - height / 2);
}

} // namespace tessarine
