#include "tessarine/Ball.h"

#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"

namespace tessarine {

using gamelib::screenHeight;
using gamelib::screenWidth;

Ball::Ball(int32_t kind_) : kind(kind_)
{
    if (kind == KIND_BULLET) {
        image = bulletImage;
    } else if (kind == KIND_BOMB) {
        image = bombImage;
    } else {
        normalImage = normalBallImage;
        smallImage = smallBallImage;
        bigImage = bigBallImage;
        image = normalImage;
        fireAnimation = copyAnimation(tessarine::fireAnimation);
        fireSmallAnimation = copyAnimation(tessarine::fireSmallAnimation);
        fireBigAnimation = copyAnimation(tessarine::fireBigAnimation);
    }
    setPosition(screenWidth / 2, screenHeight - 21);
    radius = image ? image->w / 2 : 0;
}

int32_t Ball::currentWidth() const
{
    if (size > 2 && animation) {
        gamelib::GameImagePtr first;
        if (animation->frames && animation->frames->length > 0)
            first = (*animation->frames)[0];
        return first ? first->w : 0;
    }
    return image ? image->w : 0;
}

void Ball::setKind(int32_t newSize)
{
    size = newSize;
    switch (size) {
    case 0:
        image = smallImage;
        break;
    case 1:
        image = normalImage;
        break;
    case 2:
        image = bigImage;
        break;
    case 3:
        animation = fireSmallAnimation;
        break;
    case 4:
        animation = fireAnimation;
        break;
    case 5:
        animation = fireBigAnimation;
        break;
    default:
        break;
    }
    if (size > 2 && animation)
        animation->reset();
    radius = currentWidth() / 2 + 1;
}

void Ball::ignite()
{
    if (size >= 0 && size <= 2)
        setKind(size + 3);
}

void Ball::extinguish()
{
    if (size >= 3 && size <= 5)
        setKind(size - 3);
}

void Ball::grow()
{
    if (size != 2 && size != 5)
        setKind(size + 1);
}

void Ball::shrink()
{
    if (size != 0 && size != 3)
        setKind(size - 1);
}

void Ball::setActive(bool flag)
{
    released = active = visible = flag ? 1 : 0;
    lost = flag ? 0 : 1;
    trapWatch.reset();
}

void Ball::paint()
{
    if (!visible)
        return;
    if (size > 2 && kind == KIND_BALL) {
        if (animation && animation->frames && animation->frames->length > 0)
            animation->paint(x - radius, y - radius);
    } else if (image) {
        image->draw(x - radius, y - radius);
    }
}

void Ball::resetOnPlatform(int32_t px, int32_t py)
{
    setPosition(px, py);
    radius = currentWidth() / 2 + 1;
    dy = -15;
    dx = 1;
    speed = 3;
    released = 0;
    active = 1;
    trapWatch.reset();
    visible = 1;
}

void Ball::setPosition(int32_t px, int32_t py)
{
    x = px;
    y = py;
    x16 = px << 4;
    y16 = py << 4;
}

void Ball::step()
{
    x16 += speed * dx;
    y16 += speed * dy;
    x = x16 >> 4;
    y = y16 >> 4;
    if ((size > 2 || kind == KIND_BULLET) && runningGame)
        runningGame->spawnParticles(1, 1, x, y, 0);
}

void Ball::bounceEffects()
{
    playSoundOnce(SOUND_HIT_WALL);
    if (runningGame)
        runningGame->spawnParticles(5, size < 3 ? 2 : 1, x, y, 0);
}

int32_t Ball::moveAndBounce(int32_t paddleX, int32_t paddleTop, int32_t paddleLeft,
                            int32_t paddleRight, bool stickyPaddle)
{
    const int32_t oldY = y;
    step();
    if (!released) {
        setPosition(paddleX + paddleOffset, paddleTop - radius);
        return 0;
    }
    // The paddle is asked before the bottom line: a fast ball can be past the screen's edge in
    // the step it reaches the paddle, and that ball was caught. Walls and top don't move the
    // ball, so the answer still holds when the paddle bounce is applied after them.
    const bool onPaddle = x + radius >= paddleLeft && paddleRight >= x - radius &&
                          y + radius >= paddleTop && oldY <= paddleTop;
    if (!onPaddle && y >= screenHeight) {
        setActive(false);
        return 1;
    }
    if ((wallLeft >= x - radius && dx < 0) || (x + radius >= screenWidth - wallLeft && dx > 0)) {
        dx = -dx;
        bounceEffects();
    }
    if (y - radius < wallTop && dy < 0) {
        dy = -dy;
        bounceEffects();
    }
    if (onPaddle) {
        playSoundOnce(SOUND_HIT_PLATFORM);
        y = paddleTop - radius;
        y16 = y << 4;
        dx = paddleDx(x - (paddleRight - paddleLeft) / 2 - paddleLeft);
        dy = -verticalSpeedFor(dx);
        if (stickyPaddle) {
            released = 0;
            paddleOffset = x - paddleX;
        }
    }
    if (++speedCounter > speed * 256) {
        ++speed;
        speedCounter = 0;
    }
    return 0;
}

int32_t Ball::moveProjectile(int32_t paddleTop, int32_t paddleLeft, int32_t paddleRight)
{
    const int32_t oldY = y;
    step();
    if (x + radius >= paddleLeft && x - radius <= paddleRight && y + radius >= paddleTop &&
        oldY <= paddleTop) {
        setActive(false);
        return 1;
    }
    if (y >= screenHeight - radius)
        setActive(false);
    return 0;
}

void Ball::moveAndCheckTop()
{
    step();
    if (y <= wallTop)
        setActive(false);
}

int32_t Ball::paddleDx(int32_t v)
{
    if (v == 0 || v == 1)
        return -1;
    if (v > 31)
        return 15;
    if (v < -30)
        return -15;
    return v >> 1;
}

int32_t Ball::verticalSpeedFor(int32_t dx)
{
    static constexpr int32_t kTable[17] = {16, 16, 16, 16, 15, 15, 15, 14, 14,
                                           13, 13, 12, 11, 10, 8,  5,  2};
    const int64_t a = dx < 0 ? -static_cast<int64_t>(dx) : dx;
    return a > 16 ? 1 : kTable[a];
}

} // namespace tessarine
