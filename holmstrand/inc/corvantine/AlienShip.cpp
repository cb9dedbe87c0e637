#include "corvantine/AlienShip.h"

#include "corvantine/CorvantineState.h"

#include "gamelib/ScreenCanvas.h"

namespace corvantine {

using gamelib::Animation;
using gamelib::AnimationPtr;
using gamelib::GameImageArrayPtr;

namespace {

// Integer part of a 16.16 value, rounding towards minus infinity so that values just below zero
// give -1 and not 0.
int32_t whole(int32_t fixed)
{
    return fixed >> 16;
}

AnimationPtr copyOf(const AnimationPtr& source)
{
    AnimationPtr copy = new Animation();
    copy->frames = source->frames;
    copy->ticksPerFrame = source->ticksPerFrame;
    copy->reset();
    return copy;
}

} // namespace

void AlienShip::setImages(GameImageArrayPtr newImages)
{
    images = newImages;
}

void AlienShip::setAnimations(AnimationPtr formationTemplate, AnimationPtr explosionTemplate)
{
    formationAnimation = copyOf(formationTemplate);
    explosion = copyOf(explosionTemplate);
    const int32_t count = formationAnimation->frames->length;
    if (count > 0)
        formationAnimation->frame = (nextRandom() & 0xFFFF) % count;
}

void AlienShip::launch()
{
    playEffect(SOUND_ALIEN_LEAVES);
    fx = x << 16;
    fy = y << 16;
    angle = sprite << 16;
    state = LEAVING;
    vy = -kLeaveSpeed;
    vx = side == 0 ? -kLeaveSideSpeed : kLeaveSideSpeed;
    diveMode = (nextRandom() & 3) == 0 ? SWOOP : STRAIGHT;
    shotsLeft = shotsPerDive;
}

void AlienShip::update()
{
    switch (state) {
    case IN_FORMATION:
        y = homeY;
        x = homeX + swayOffset;
        break;
    case LEAVING:
        if (vy < kLeaveSpeed)
            leaveStep();
        else
            startDive();
        break;
    case DIVING:
        diveStep();
        break;
    case RETURNING:
        x = homeX + swayOffset;
        if (y == homeY) {
            if (sprite == 0)
                state = IN_FORMATION;
            else
                sprite = side == 0 ? (sprite - 1) & 15 : (sprite + 1) & 15;
        } else {
            ++y;
        }
        break;
    default:
        break;
    }
}

void AlienShip::leaveStep()
{
    vy += kLeaveGravity;
    fy += vy;
    fx += vx;
    x = whole(fx);
    y = whole(fy);
    angle += side == 0 ? -kTurnRate : kTurnRate;
    // The angle of a left-side ship is below zero from the first step on: the index wraps.
    sprite = whole(angle) & 15;
}

void AlienShip::startDive()
{
    const int32_t width = gamelib::screenWidth;
    state = DIVING;
    targetY = gamelib::screenHeight;
    const int32_t spread = (shipWidth * ((nextRandom() & 15) + 1)) / 16;
    targetX = side == 0 ? shipX - spread : shipX + spread;
    if (targetX > width - alienWidth)
        targetX = width - alienWidth;
    if (targetX < alienWidth)
        targetX = alienWidth;
    vy = kDiveSpeed << 16;
    vx = 0;
    if (x != targetX) {
        const int64_t slope =
            (static_cast<int64_t>(targetY - y) << 16) / static_cast<int64_t>(targetX - x);
        // A target level with the ship has no slope: the ship then falls straight.
        if (slope != 0)
            vx = static_cast<int32_t>((static_cast<int64_t>(kDiveSpeed << 16) << 16) / slope);
    }
    fx = x << 16;
    fy = y << 16;
}

int32_t AlienShip::spriteForSlope(int64_t s, int32_t h)
{
    int32_t result;
    if (s < -158217)
        result = 0;
    else if (s < -98081)
        result = 1;
    else if (s < -43789)
        result = 2;
    else if (s < -13035)
        result = 3;
    else if (s < 0)
        result = 4;
    else if (s == 0)
        result = 0;
    else if (s < 13035)
        result = 12;
    else if (s < 43789)
        result = 13;
    else if (s < 98081)
        result = 14;
    else if (s < 158217)
        result = 15;
    else
        result = 0;
    // Below the ship's top the direction turns half round; the index stays within 0..15.
    if (h < 0)
        result = (result - 8) & 15;
    return result;
}

void AlienShip::diveStep()
{
    if (diveMode == SWOOP) {
        if (vy < 1)
            vy -= kSwoopBrake;
        else
            vy -= swoopRate;
        if (vy < -kSwoopLimit) {
            diveMode = FALLING;
            shotsLeft = shotsPerDive;
        }
    } else if (diveMode == FALLING) {
        vy += swoopRate;
    }
    fx += vx;
    fy += vy;

    const int32_t d = shipX - x;
    if (diveMode != SWOOP) {
        if (d < 0 && vx > 0)
            vx -= kTurnBackSteering;
        else if (d > 0 && vx < 0)
            vx += kTurnBackSteering;
        else if (d < 0)
            vx -= kSteering;
        else if (d > 0)
            vx += kSteering;
    }

    const int32_t h = shipTop - y;
    if (d == 0)
        sprite = h < 0 ? 8 : 0;
    else
        sprite = spriteForSlope((static_cast<int64_t>(h) << 16) / d, h);

    x = whole(fx);
    y = whole(fy);

    if (alienFirePause > 0)
        alienFirePause -= kPlayTimer;
    else
        fire();

    if (y >= gamelib::screenHeight && diveMode != SWOOP) {
        state = RETURNING;
        x = homeX + swayOffset;
        y = -alienHeight;
        sprite = 0;
        playEffect(SOUND_ALIEN_RETURNS);
    }
}

void AlienShip::fire()
{
    if (shotsLeft <= 0 || y >= gamelib::screenHeight / 2)
        return;
    const bool aimed = x >= shipX - shipHalfWidth && x <= shipX + shipHalfWidth;
    const int32_t mask = aimed ? 3 : 15;
    if ((nextRandom() & mask) != 0)
        return;
    for (int32_t i = 0; i < kAlienShots; ++i) {
        if ((*alienShotX)[i] != kFree)
            continue;
        playEffect(SOUND_ALIEN_FIRES);
        --shotsLeft;
        (*alienShotX)[i] = x;
        (*alienShotY)[i] = y;
        alienFirePause = kFirePause;
        return;
    }
}

bool AlienShip::hitTest(int32_t x0, int32_t y0, int32_t w, int32_t h)
{
    const int32_t left = x - alienHalfWidth + kHitInset;
    const int32_t top = y - alienHalfHeight + kHitInset;
    const int32_t right = x - alienHalfWidth + alienWidth - kHitInset;
    const int32_t bottom = y - alienHalfHeight + alienHeight - kHitInset;
    if (bottom < y0 || y0 + h < top || right < x0 || x0 + w < left)
        return false;
    playEffect(SOUND_ALIEN_HIT);
    state = EXPLODING;
    explosion->reset();
    return true;
}

void AlienShip::paint()
{
    switch (state) {
    case IN_FORMATION:
        formationAnimation->paint(x - alienHalfWidth, y - alienHalfHeight);
        break;
    case EXPLODING:
        explosion->paint(x - explosionHalfWidth, y - explosionHalfHeight);
        if (explosion->wrapped)
            state = DESTROYED;
        break;
    case DESTROYED:
        break;
    default:
        (*images)[sprite & 15]->draw(x - alienHalfWidth, y - alienHalfHeight);
        break;
    }
}

} // namespace corvantine
