// The moving parts of a game step: shots and rockets, the saucers and the rocks with their
// collisions and points, the big saucer's rockets, and the controls of keys and stylus.
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"

#include "lang/DSystem.h"

using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::lang::DStringPtr;

namespace mirrowfen {

namespace {

constexpr int32_t kShotMargin = 26;

bool outside(const FlyingO& o)
{
    return o.x > gamelib::screenWidth + kShotMargin || o.x < -kShotMargin ||
           o.y > gamelib::screenHeight + kShotMargin || o.y < -kShotMargin;
}

int32_t distanceSquared(int32_t ax, int32_t ay, int32_t bx, int32_t by)
{
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

} // namespace

void Mirrowfen::moveShotsAndRockets()
{
    int32_t lastHeld = -1;
    for (int32_t i = 0; i < shotCount; ++i) {
        FlyingOPtr shot = (*shots)[i];
        if (!shot)
            continue;
        if (shot->hits < 1) {
            (*shots)[i] = nullptr;
        } else if (outside(*shot)) {
            (*shots)[i] = nullptr;
            lastHeld = i;
        } else {
            shot->move();
            lastHeld = i;
        }
    }
    if (shotCount > 0 && !(*shots)[shotCount - 1] && lastHeld >= 0)
        shotCount = lastHeld + 1;
    if (!rockets)
        return;
    for (int32_t i = 0; i < rockets->length; ++i) {
        FlyingOPtr rocket = (*rockets)[i];
        if (!rocket)
            continue;
        if (rocket->hits < 1 || outside(*rocket)) {
            (*rockets)[i] = nullptr;
            continue;
        }
        rocket->move();
        if (!collide(shots, rocket, i))
            (*rockets)[i] = nullptr;
    }
}

void Mirrowfen::rocketsAgainstShip()
{
    if (!rockets)
        return;
    for (int32_t i = 0; i < rockets->length; ++i) {
        FlyingOPtr rocket = (*rockets)[i];
        if (!rocket)
            continue;
        if (distanceSquared(rocket->x, rocket->y, ship->x, ship->y) <
            rocket->collisionValue + 240) {
            gamelib::playSound(SOUND_ROCKET_HIT, 1);
            ship->loseLife();
            explode(ship->x, ship->y, rocket->x, rocket->y);
            (*rockets)[i] = nullptr;
            score += 200;
            checkBonusLife();
        }
    }
}

void Mirrowfen::updateUfos()
{
    liveUfos = 0;
    if (!ufos)
        return;
    for (int32_t j = 0; j < ufos->length; ++j) {
        FlyingOPtr ufo = (*ufos)[j];
        if (!ufo)
            continue;
        if (ufo->hits < 1) {
            (*ufos)[j] = nullptr;
            continue;
        }
        liveUfos += 1;
        ufo->move();
        const bool big = ufo->kind == FlyingO::KIND_BIG_UFO;

        DintArrayPtr nearRock = collide(rocks, ufo, j);
        if (!nearRock) {
            if (!big) {
                (*ufos)[j] = nullptr;
            } else {
                ufo->fireTimer = 0;
                if (ufo->hits < 1)
                    (*ufos)[j] = nullptr;
            }
            continue;
        }

        DintArrayPtr nearShot = new DintArray(5);
        if (shotCount > 0) {
            nearShot = collide(shots, ufo, j);
            if (!nearShot) {
                if (ufo->collisionValue <= 250 || ufo->hits < 1) {
                    (*ufos)[j] = nullptr;
                    score += 200;
                    checkBonusLife();
                }
                continue;
            }
        }

        DintArrayPtr nearRocket;
        if (big) {
            nearRocket = new DintArray(5);
            (*nearRocket)[2] = kNoRecord;
            checkBonusLife();
        } else {
            nearRocket = collide(rockets, ufo, j);
            if (!nearRocket) {
                gamelib::playSound(SOUND_ROCKET_HIT, 1);
                (*ufos)[j] = nullptr;
                score += 200;
                checkBonusLife();
                continue;
            }
        }

        if (distanceSquared(ufo->x, ufo->y, ship->x, ship->y) < ufo->collisionValue + 200) {
            gamelib::playSound(SOUND_HIT, 1);
            ship->loseLife();
            ufo->hits -= 1;
            explode(ufo->x, ufo->y);
            if (!big) {
                (*ufos)[j] = nullptr;
                score += 200;
                checkBonusLife();
                continue;
            }
            ufo->fireTimer = 0;
            if (ufo->hits < 1) {
                (*ufos)[j] = nullptr;
                score += 500;
                checkBonusLife();
                continue;
            }
        }

        if (ufo->steerCounter > 9) {
            DintArrayPtr nearest = nearRock;
            if ((*nearShot)[2] < (*nearest)[2])
                nearest = nearShot;
            if ((*nearRocket)[2] < (*nearest)[2])
                nearest = nearRocket;
            if ((*nearest)[2] < 50000 && ((*nearest)[3] != 0 || (*nearest)[4] != 0))
                ufo->aimFrom(nearest);
            ufo->steerCounter = 0;
        }

        if (big) {
            ufo->fireTimer += 1;
            if (ufo->fireTimer > 29) {
                if (launchRocket(j, ufo->x, ufo->y, ship->x - ufo->x, ship->y - ufo->y)) {
                    gamelib::playSound(SOUND_ROCKET, 1);
                    ufo->fireTimer = 0;
                } else {
                    ufo->fireTimer = 31;
                }
            }
        }
    }
}

void Mirrowfen::updateRocks()
{
    liveRocks = 0;
    if (!rocks)
        return;
    for (int32_t k = 0; k < rocks->length; ++k) {
        FlyingOPtr rock = (*rocks)[k];
        if (!rock)
            continue;
        if (rock->hits < 1) {
            (*rocks)[k] = nullptr;
            continue;
        }
        liveRocks += 1;
        rock->move();
        if (rock->kind == FlyingO::KIND_SPIN_ROCK)
            rock->imageName = rock->imageName->substring(0, 3) + rock->frame;
        else if (rock->kind == FlyingO::KIND_TURN_ROCK)
            rock->imageName =
                rock->imageName->substring(0, 3) + rock->frame % 4 + rock->imageName->substring(4);

        const int32_t valueBefore = rock->collisionValue;
        bool hit = shotCount > 0 && !collide(shots, rock, k);
        if (!hit)
            hit = !collide(rockets, rock, k);
        if (hit) {
            if (valueBefore < 250 && (*rocks)[k].get() == rock.get())
                (*rocks)[k] = nullptr;
            score += 200;
            checkBonusLife();
            continue;
        }

        if (distanceSquared(rock->x, rock->y, ship->x, ship->y) + 40 < rock->collisionValue) {
            gamelib::playSound(SOUND_HIT, 1);
            ship->loseLife();
            explode(rock->x, rock->y);
            if (rock->collisionValue == 350) {
                score += 100;
                checkBonusLife();
                splitRock(rock->x, rock->y, k);
            } else {
                score += 200;
                checkBonusLife();
                (*rocks)[k] = nullptr;
            }
        }
    }
}

bool Mirrowfen::launchRocket(int32_t index, int32_t x, int32_t y, int32_t dx, int32_t dy)
{
    DStringPtr name;
    int32_t vx = 0;
    int32_t vy = 0;
    const int32_t adx = wrappingAbs(dx);
    const int32_t ady = wrappingAbs(dy);
    if (ady <= 1) {
        name = dx > 0 ? u"rocket0_dn" : u"rocket0_up";
        vx = dx > 0 ? 4 : -4;
    } else if (adx <= 1) {
        name = dy > 0 ? u"rocket0_lv" : u"rocket0";
        vy = dy > 0 ? 4 : -4;
    } else {
        static constexpr int32_t kSlopes[3] = {4, 10, 24};
        static constexpr int32_t kVx[3] = {2, 2, 3};
        static constexpr int32_t kVy[3] = {3, 2, 2};
        const int32_t g = (10 * adx) / ady;
        int32_t band = -1;
        for (int32_t i = 0; i < 3 && band < 0; ++i)
            if (wrappingAbs(g - kSlopes[i]) <= 1)
                band = i;
        if (band < 0)
            return false;
        const bool opposite = (dx < 0) != (dy < 0);
        if (opposite) {
            if (dx >= 0) {
                name = DStringPtr(u"rocket") + (band + 1);
                vx = kVx[band];
                vy = -kVy[band];
            } else {
                name = DStringPtr(u"rocket") + (band + 1) + u"_lv";
                vx = -kVx[band];
                vy = kVy[band];
            }
        } else if (dx >= 0) {
            name = DStringPtr(u"rocket") + (3 - band) + u"_dn";
            vx = kVx[band];
            vy = kVy[band];
        } else {
            name = DStringPtr(u"rocket") + (3 - band) + u"_up";
            vx = -kVx[band];
            vy = -kVy[band];
        }
    }
    if (!rockets)
        return false;
    for (int32_t i = 0; i < rockets->length; ++i) {
        if ((*rockets)[i])
            continue;
        (*rockets)[i] = new FlyingO(x, y, 2 * vx, 2 * vy, 1, 50, 50, name, 0);
        FlyingOPtr saucer =
            ufos && index >= 0 && index < ufos->length ? (*ufos)[index] : FlyingOPtr();
        if (saucer)
            saucer->fireTimer = 0;
        return true;
    }
    return false;
}

void Mirrowfen::emitExhaust(int32_t side)
{
    const int32_t slot = freeEffectSlot();
    if (slot < 0)
        return;
    DintArrayPtr e = effect(slot);
    (*e)[EFFECT_X] = -100;
    (*e)[EFFECT_Y] = -100;
    (*e)[EFFECT_PHASE] = 5;
    (*e)[EFFECT_LIVE] = 0;
    // The count of slots in use is left alone: the next effects update takes the slot in, so
    // a puff shows and moves from the step after it was made.
    const int32_t o = side == 0 ? 5 : -5;
    const int32_t dirX = ship->dirX(ship->step, ship->quadrant);
    const int32_t dirY = ship->dirY(ship->step, ship->quadrant);
    spawnEffect(ship->x + ((-13 * dirX - o * dirY) >> 10), ship->y + ((o * dirX - 13 * dirY) >> 10),
                slot, EFFECT_PUFF);
}

void Mirrowfen::fireShot()
{
    DintArrayPtr v = ship->directionFromConfig();
    FlyingOPtr shot = new FlyingO(ship->x, ship->y, (*v)[0], (*v)[1], 4, 50, 50,
                                  DStringPtr(u"bb") + ship->step + ship->quadrant, 0);
    score -= kShotCost;
    if (score < 0)
        score = 0;
    int32_t slot = -1;
    for (int32_t i = 0; i < shotCount && slot < 0; ++i) {
        FlyingOPtr old = (*shots)[i];
        if (!old || old->x == -kShotMargin)
            slot = i;
    }
    if (slot < 0 && shotCount < kShotSlots)
        slot = shotCount++;
    if (slot >= 0) {
        (*shots)[slot] = shot;
        gamelib::playSound(SOUND_SHOOT, 1);
    }
    stepsSinceShot = 0;
}

void Mirrowfen::steerByStylus()
{
    const int32_t px = gamelib::pointerX;
    const int32_t py = gamelib::pointerY;
    const int32_t pointer = (px < ship->x ? 0 : 2) + (py < ship->y ? 0 : 1);
    static constexpr int32_t kShipQuadrant[4] = {2, 0, 1, 3}; // by "", "_up", "_lv", "_dn"
    const int32_t qi = ship->quadrantIndex();
    if (qi < 0)
        return;
    const int32_t own = kShipQuadrant[qi];
    auto counterClockwise = [this] {
        ship->rotateCounterClockwise();
        emitExhaust(0);
    };
    auto clockwise = [this] {
        ship->rotateClockwise();
        emitExhaust(1);
    };
    if (pointer != own && (pointer ^ own) != 3) {
        // The quadrant one turn counterclockwise of each quadrant.
        static constexpr int32_t kCounterClockwise[4] = {1, 3, 0, 2};
        if (kCounterClockwise[own] == pointer)
            counterClockwise();
        else
            clockwise();
        return;
    }
    int32_t wanted = 4;
    if (px != ship->x) {
        const int64_t slope = (static_cast<int64_t>(py - ship->y) * 65536) / (px - ship->x);
        const int64_t l = slope < 0 ? -slope : slope;
        if (l >= 43790 && l < 98081)
            wanted = 2;
        else if (l <= 65536)
            wanted = 1;
        else
            wanted = 3;
    }
    if (pointer == 0 || pointer == 3)
        wanted = 4 - wanted;
    if (pointer == own) {
        if (wanted < ship->step) {
            clockwise();
        } else if (wanted > ship->step) {
            counterClockwise();
        } else if (wrappingAbs(px - ship->x) > 10 || wrappingAbs(py - ship->y) > 10) {
            ship->thrust();
            emitExhaust(0);
            emitExhaust(1);
        }
    } else if (wanted < ship->step) {
        counterClockwise();
    } else {
        clockwise();
    }
}

bool Mirrowfen::pauseButtonPressed() const
{
    using namespace gamelib;
    if (!pointerPressed || !pauseImage)
        return false;
    // Every pixel of the button counts, its left column and top row too.
    const int32_t left = screenWidth - pauseImage->getWidth();
    const int32_t top = screenHeight - pauseImage->getHeight();
    return left <= pointerX && pointerX < screenWidth && top <= pointerY && pointerY < screenHeight;
}

void Mirrowfen::controls()
{
    using namespace gamelib;
    const int64_t now = qev::lang::DSystem::currentTimeMillis();
    if (keyRight || keyAction14) {
        ship->rotateClockwise();
        emitExhaust(1);
        lastStepTime = now;
    }
    if (keyLeft || keyAction15) {
        ship->rotateCounterClockwise();
        emitExhaust(0);
        lastStepTime = now;
    }
    const bool paused = keySoftLeft || keySoftRight || pauseButtonPressed();
    if (pointerPressed) {
        steerByStylus();
        lastStepTime = now;
    }
    if (keyFire || doubleTap || keySoftRight) {
        doubleTap = 0;
        if (stepsSinceShot > 3)
            fireShot();
        lastStepTime = now;
    }
    if (keyUp) {
        ship->thrust();
        if (ship->thrustLevel < ship->thrustMax) {
            emitExhaust(0);
            emitExhaust(1);
        }
        lastStepTime = now;
    }
    if (paused) {
        keySoftLeft = 0;
        pause();
    }
}

} // namespace mirrowfen
