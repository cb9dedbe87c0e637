// Collisions, rock splitting, extra lives and the effect system (debris, sparks with trails,
// flashes and engine puffs) in two fixed tables.
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/SoundBank.h"

using qev::lang::DintArray;
using qev::lang::DintArrayPtr;

namespace mirrowfen {

namespace {

void setRow(const DintArrayPtr& row, int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t frame)
{
    (*row)[0] = x;
    (*row)[1] = y;
    (*row)[2] = dx;
    (*row)[3] = dy;
    (*row)[4] = frame;
}

} // namespace

void Mirrowfen::checkBonusLife()
{
    if (score - lastBonusScore > kBonusLifeScore - 1) {
        lastBonusScore = score;
        ship->lives += 1;
    }
}

int32_t Mirrowfen::freeEffectSlot() const
{
    for (int32_t s = 0; s < kEffectSlots; ++s)
        if ((*effect(s))[EFFECT_PHASE] == -1)
            return s;
    return -1;
}

bool Mirrowfen::explode(int32_t x, int32_t y)
{
    return explode(x, y, x, y);
}

bool Mirrowfen::explode(int32_t slotX, int32_t slotY, int32_t x, int32_t y)
{
    const int32_t slot = freeEffectSlot();
    if (slot < 0)
        return false;
    DintArrayPtr e = effect(slot);
    (*e)[EFFECT_X] = slotX;
    (*e)[EFFECT_Y] = slotY;
    (*e)[EFFECT_PHASE] = 0;
    (*e)[EFFECT_LIVE] = 0;
    if (effectsInUse < slot + 1)
        effectsInUse = slot + 1;
    spawnEffect(x, y, slot, EFFECT_DEBRIS);
    return true;
}

DintArrayPtr Mirrowfen::collide(FlyingOArrayPtr array, FlyingOPtr q, int32_t qi)
{
    if (!q)
        return DintArrayPtr();
    DintArrayPtr record = new DintArray(5);
    (*record)[2] = kNoRecord;
    if (!array)
        return record;
    for (int32_t k = 0; k < array->length; ++k) {
        FlyingOPtr e = (*array)[k];
        if (!e || e->x < -25 || e->y < -25)
            continue;
        const int32_t ddx = e->x - q->x;
        const int32_t ddy = e->y - q->y;
        const int32_t d2 = ddx * ddx + ddy * ddy;
        if (d2 < (*record)[2]) {
            (*record)[0] = e->x;
            (*record)[1] = e->y;
            (*record)[2] = d2;
            (*record)[3] = e->dx;
            (*record)[4] = e->dy;
        }
        const int32_t budget =
            e->collisionValue + q->collisionValue + (q->kind == FlyingO::KIND_BIG_UFO ? 50 : 0);
        if (d2 > budget || budget >= kCollisionLimit)
            continue;
        auto damage = [this](FlyingO& o, int32_t index) {
            if (o.collisionValue > 229 && o.kind % 2 == 1)
                splitRock(o.x, o.y, index);
            else
                o.hits -= 1;
        };
        damage(*q, qi);
        const int32_t slot = freeEffectSlot();
        if (slot >= 0) {
            DintArrayPtr fx = effect(slot);
            (*fx)[EFFECT_X] = q->x;
            (*fx)[EFFECT_Y] = q->y;
            (*fx)[EFFECT_PHASE] = 0;
            (*fx)[EFFECT_LIVE] = 0;
            gamelib::playSound(SOUND_EXPLOSE, 1);
            spawnEffect(q->x, q->y, slot, EFFECT_DEBRIS);
            if (effectsInUse < slot + 1)
                effectsInUse = slot + 1;
        }
        damage(*e, k);
        if (e->hits < 1 && (*array)[k].get() == e.get())
            (*array)[k] = nullptr;
        return DintArrayPtr();
    }
    return record;
}

void Mirrowfen::splitRock(int32_t, int32_t, int32_t index)
{
    gamelib::playSound(SOUND_EXPLOSE, 1);
    if (!rocks || index < 0 || index >= rocks->length || !(*rocks)[index])
        return;
    score += 100;
    checkBonusLife();
    FlyingOPtr rock = (*rocks)[index];
    const int32_t x0 = rock->x;
    const int32_t y0 = rock->y;
    int32_t size = 3;
    int32_t pieces = 2;
    if (rock->collisionValue != 250) {
        if (random32() % 3 != 0) {
            size = 2;
        } else {
            pieces = 3;
        }
    }
    auto emptySlot = [this]() {
        for (int32_t i = 0; i < rocks->length; ++i)
            if (!(*rocks)[i])
                return i;
        return -1;
    };
    FlyingOPtr first = new FlyingO(x0, y0, FlyingO::kRandom, 0, 1, size, 1 + (random32() & 1),
                                   qev::lang::DStringPtr(), -1);
    (*rocks)[index] = first;
    int32_t sumX = first->dx;
    int32_t sumY = first->dy;
    if (pieces == 3) {
        const int32_t slot = emptySlot();
        if (slot >= 0) {
            FlyingOPtr second =
                new FlyingO(x0, y0, FlyingO::kRandom, 0, 1, size, 1 + wrappingAbs(random32() % 2),
                            qev::lang::DStringPtr(), -1);
            if (second->dy == first->dy)
                second->dy = -second->dy;
            (*rocks)[slot] = second;
            liveRocks += 1;
            sumX += second->dx;
            sumY += second->dy;
        }
    }
    const int32_t slot = emptySlot();
    if (slot >= 0) {
        (*rocks)[slot] = new FlyingO(x0, y0, -sumX, -sumY, 2, size, 1 + wrappingAbs(random32() % 2),
                                     qev::lang::DStringPtr(), -1);
        liveRocks += 1;
    }
}

void Mirrowfen::spawnEffect(int32_t x, int32_t y, int32_t slot, int32_t kind)
{
    const int32_t base = kRowsPerEffect * slot;
    switch (kind) {
    case EFFECT_DEBRIS:
        gamelib::playSound(SOUND_EXPLOSE, 1);
        for (int32_t b = 1; b <= 4; ++b) {
            const int32_t px = x + random32() % 5;
            const int32_t py = y + random32() % 5;
            const int32_t pdx = random32() % 7;
            const int32_t pdy = random32() % 7;
            setRow(particle(base + b), px, py, pdx, pdy, 0);
        }
        break;
    case EFFECT_SPARKS:
        gamelib::playSound(SOUND_EXPLOSE, 1);
        for (int32_t b = 5; b <= 9; ++b) {
            const int32_t pdx = random32() % 14;
            const int32_t pdy = random32() % 14;
            setRow(particle(base + b), x, y, pdx, pdy, 4);
        }
        break;
    case EFFECT_PUFF: {
        for (int32_t b = 0; b < kRowsPerEffect; ++b)
            (*particle(base + b))[P_FRAME] = -1;
        const int32_t dirX = ship->dirX(ship->step, ship->quadrant);
        const int32_t dirY = ship->dirY(ship->step, ship->quadrant);
        setRow(particle(base + 10), x, y, ship->vx + ((dirX * -5) >> 10),
               ship->vy + ((dirY * -5) >> 10), 0);
        break;
    }
    case EFFECT_FLASH1:
    case EFFECT_FLASH2:
        gamelib::playSound(SOUND_EXPLOSE, 1);
        setRow(particle(base), x, y, 0, 0, kind);
        break;
    default:
        break;
    }
}

void Mirrowfen::updateEffects()
{
    int32_t highest = -1;
    for (int32_t j = 0; j < kEffectSlots; ++j) {
        DintArrayPtr e = effect(j);
        int32_t& phase = (*e)[EFFECT_PHASE];
        if (phase == -1)
            continue;
        int32_t& live = (*e)[EFFECT_LIVE];
        const int32_t x = (*e)[EFFECT_X];
        const int32_t y = (*e)[EFFECT_Y];
        if (phase == 0) {
            spawnEffect(x, y, j, EFFECT_DEBRIS);
            live += 4;
        } else if (phase == 2) {
            live = 0;
            spawnEffect(x, y, j, EFFECT_SPARKS);
            live += 5;
        } else if (phase == 4) {
            spawnEffect(x, y, j, 1 + wrappingAbs(random32() % 3));
            live += 1;
        } else if (phase == 5) {
            live += 1;
        }
        phase += 1;
        if (live <= 0 && phase > 13) {
            int32_t living = 0;
            for (int32_t b = 0; b < kRowsPerEffect; ++b)
                if ((*particle(kRowsPerEffect * j + b))[P_FRAME] != -1)
                    living += 1;
            if (living > 0)
                live = living;
            else
                phase = -1;
        }
        if (phase != -1)
            highest = j;
    }
    effectsInUse = highest + 1;
}

void Mirrowfen::updateParticles()
{
    const int32_t rows = kRowsPerEffect * effectsInUse;
    for (int32_t row = 0; row < rows; ++row) {
        DintArrayPtr p = particle(row);
        int32_t& frame = (*p)[P_FRAME];
        if (frame == -1)
            continue;
        const int32_t b = row % kRowsPerEffect;
        const int32_t base = row - b;
        bool dies = false;
        if (b == 0) {
            frame += 3;
            dies = frame / 3 > 6;
        } else if (b <= 4) {
            (*p)[P_X] += (*p)[P_DX];
            (*p)[P_Y] += (*p)[P_DY];
            (*p)[P_DX] = 2 * (*p)[P_DX] / 3;
            (*p)[P_DY] = 2 * (*p)[P_DY] / 3;
            frame += 1;
            dies = frame >= 13;
        } else if (b <= 9) {
            setRow(particle(base + 4 * b - 10 + wrappingAbs(frame % 4)), (*p)[P_X], (*p)[P_Y], 0, 0,
                   1);
            (*p)[P_X] += (*p)[P_DX];
            (*p)[P_Y] += (*p)[P_DY];
            (*p)[P_DX] = 4 * (*p)[P_DX] / 5;
            (*p)[P_DY] = 4 * (*p)[P_DY] / 5;
            frame += 1;
            dies = (*p)[P_DX] == 0 && (*p)[P_DY] == 0;
        } else {
            (*p)[P_X] += (*p)[P_DX];
            (*p)[P_Y] += (*p)[P_DY];
            frame += 1;
            dies = frame >= 5;
        }
        if (dies) {
            frame = -1;
            (*effect(row / kRowsPerEffect))[EFFECT_LIVE] -= 1;
        }
    }
}

} // namespace mirrowfen
