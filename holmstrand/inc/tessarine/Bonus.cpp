#include "tessarine/Bonus.h"

#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"

#include <cstdlib>

namespace tessarine {

void Bonus::spawn(int32_t newKind, int32_t px, int32_t py)
{
    kind = newKind;
    animation = bonusAnimations && newKind > 0 && newKind < bonusAnimations->length
                    ? gamelib::AnimationPtr((*bonusAnimations)[newKind])
                    : nullptr;
    x = px + 2;
    y = py;
    const int64_t r1 = nextRandom();
    const int32_t r2 = nextRandom();
    drift = static_cast<int32_t>(std::llabs(r1) % 5 + 1) * (r2 % 2);
}

int32_t Bonus::frameWidth() const
{
    gamelib::GameImagePtr f = animation ? currentFrame(*animation) : nullptr;
    return f ? f->w : 0;
}

int32_t Bonus::frameHeight() const
{
    gamelib::GameImagePtr f = animation ? currentFrame(*animation) : nullptr;
    return f ? f->h : 0;
}

int32_t Bonus::fall(int32_t paddleLeft, int32_t paddleTop, int32_t paddleWidth,
                    int32_t paddleHeight)
{
    if (kind == NONE)
        return 0;
    y += fallSpeed;
    x += drift;
    const int32_t fw = frameWidth();
    const int32_t fh = frameHeight();
    if (x < paddleLeft + paddleWidth && x + fw > paddleLeft && y < paddleTop + paddleHeight &&
        y + fh > paddleTop) {
        const int32_t caught = kind;
        kind = NONE;
        return caught;
    }
    const int32_t right = gamelib::screenWidth - gridLeft;
    if (x + fw > right) {
        drift = -drift;
        x = right - fw;
    } else if (x < gridLeft) {
        drift = -drift;
        x = gridLeft;
    }
    if (y + fh > gamelib::screenHeight)
        kind = NONE;
    return 0;
}

void Bonus::paint()
{
    if (kind != NONE && animation && currentFrame(*animation))
        animation->paint(x, y);
}

} // namespace tessarine
