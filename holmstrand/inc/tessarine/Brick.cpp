#include "tessarine/Brick.h"

#include "tessarine/Ball.h"
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include <algorithm>

namespace tessarine {

using gamelib::GameImagePtr;

Brick::Brick(int32_t x_, int32_t y_, int32_t column_, int32_t row_)
    : x(x_), y(y_), column(column_), row(row_)
{
}

void Brick::startAnimation(int32_t n)
{
    if (!animations)
        animations = new qev::lang::DTypedArray<gamelib::Animation>(4);
    if (!(*animations)[n])
        (*animations)[n] = copyAnimation((*brickList->brickAnimations)[n]);
    animation = (*animations)[n];
    if (animation)
        animation->reset();
}

void Brick::init(int32_t newType, int32_t newHits)
{
    type = newType;
    hits = newHits;
    BrickList& list = *brickList;
    switch (type) {
    case TYPE_TWO_HIT:
        image = (*list.twoHitImages)[std::clamp(2 - hits, 0, 1)];
        break;
    case TYPE_THREE_HIT:
        image = (*list.threeHitImages)[std::clamp(3 - hits, 0, 2)];
        break;
    case TYPE_REGENERATING:
    case TYPE_DETONATOR:
    case TYPE_HARD:
    case TYPE_PLAIN:
    case TYPE_PLAIN_B:
    case TYPE_BOMB:
    case TYPE_FIVE_HIT:
        image = (*list.brickImages)[type];
        break;
    case TYPE_REGEN_BACK:
        image = nullptr;
        startAnimation(ANIM_APPEAR);
        break;
    case TYPE_REGEN_GONE:
        image = nullptr;
        playSoundOnce(SOUND_HIT_REGEN_BRICK);
        startAnimation(ANIM_DISAPPEAR);
        break;
    case TYPE_DESTROYED:
        image = (*list.brickImages)[0];
        playSoundOnce(SOUND_HIT_BRICK);
        break;
    default:
        image = nullptr;
        break;
    }
}

void Brick::throwDebris()
{
    if (runningGame)
        runningGame->spawnParticles(10, 3, x + brickList->cellWidth / 2,
                                    y + brickList->cellHeight / 2, type);
}

void Brick::hit(Ball* ball)
{
    BrickList& list = *brickList;
    const int32_t old = type;
    bool destroy = true;
    if (ball) {
        const int32_t s = ball->size;
        if (ball->kind != Ball::KIND_BALL)
            destroy = false;
        else
            destroy = s == 4 || s == 5 || ((s == 1 || s == 2) && hits <= 3 && type != TYPE_HARD) ||
                      (s == 3 && hits <= 2 && type != TYPE_HARD);
    }
    if (!destroy) {
        if (type == TYPE_HARD) {
            playSoundOnce(SOUND_HIT_UNDESTROY_BRICK);
        } else {
            const int32_t s = ball->size;
            int32_t damage = 1;
            if (s == 1 && hits > 3)
                damage = 2;
            else if ((s == 2 && hits > 3) || (s == 3 && hits > 2))
                damage = 3;
            hits = std::max(0, hits - damage);
            if (type != TYPE_REGENERATING)
                list.remaining = std::max(0, list.remaining - damage);
            list.score += 1;
            if (type == TYPE_REGENERATING) {
                type = TYPE_REGEN_GONE;
            } else if (hits > 0) {
                playSoundOnce(SOUND_HIT_UNDESTROY_BRICK);
                if (type == TYPE_FIVE_HIT && !animation)
                    startAnimation(ANIM_SPARKLE);
            } else {
                throwDebris();
                type = TYPE_DESTROYED;
            }
        }
    } else {
        throwDebris();
        if (stands() && type != TYPE_HARD) {
            if (counts())
                list.remaining = std::max(0, list.remaining - hits);
            list.score += hits;
        }
        if (ball) {
            hits = 0;
            type = type == TYPE_REGENERATING && ball->size < 3 ? TYPE_REGEN_GONE : TYPE_DESTROYED;
            if (ball->size == 5)
                explode();
        } else if (type == TYPE_BOMB) {
            hits = kBombCountdown;
            type = TYPE_BOMB_COUNTDOWN;
        } else {
            type = TYPE_DESTROYED;
            hits = 0;
        }
    }
    if (old == TYPE_DETONATOR) {
        type = TYPE_DESTROYED;
        // The detonator lights the first bomb, which counts down like any bomb an explosion
        // reaches.
        for (int32_t r = 0; r < kRows; ++r)
            for (int32_t c = 0; c < kColumns; ++c) {
                Brick* b = list.brickAt(r, c);
                if (b->type == TYPE_BOMB) {
                    b->hit(nullptr);
                    r = kRows;
                    break;
                }
            }
    }
    drawTarget = list.bricksGraphics;
    drawToBackground(type, hits);
    drawTarget = gamelib::screenGraphics;
    if (ball && bonus > 0) {
        paddle->spawnBonus(bonus, x, y);
        bonus = 0;
    }
}

void Brick::explode()
{
    playSoundOnce(SOUND_BOOM);
    if (runningGame)
        runningGame->spawnParticles(10, 1, x, y, 0);
    startAnimation(ANIM_DETONATION);
    BrickList& list = *brickList;
    for (int32_t r = row - 1; r <= row + 1; ++r)
        for (int32_t c = column - 1; c <= column + 1; ++c) {
            Brick* b = list.brickAt(r, c);
            if (!b || b == this || !b->stands())
                continue;
            b->hit(nullptr);
            list.repaintNeighbours(r, c);
        }
}

void Brick::drawToBackground(int32_t newType, int32_t newHits)
{
    if (image && drawTarget) {
        BrickList& list = *brickList;
        qev::microedition::lcdui::DGraphics& g = *drawTarget;
        g.setClip(x, y, image->w, image->h);
        g.drawImageOpaque(list.wallsLayer, 0, 0, 0);
        g.setClip(0, 0, gamelib::screenWidth, gamelib::screenHeight);
    }
    init(newType, newHits);
    paint();
}

void Brick::paint()
{
    if (!image || !drawTarget)
        return;
    gamelib::drawGameImage(drawTarget, x, y, image);
    if (type != TYPE_FIVE_HIT)
        return;
    const gamelib::GameImageArrayPtr& cracks = brickList->crackImages;
    for (int32_t i = 0; i <= hits - 2 && i < cracks->length; ++i) {
        GameImagePtr crack = (*cracks)[i];
        if (!crack)
            continue;
        gamelib::drawGameImage(drawTarget, x + crack->w * (i % 2),
                               y + (i % 3 == 0 ? 0 : crack->h + 1), crack);
    }
}

void Brick::paintAnimation()
{
    if (animation && animation->playing) {
        GameImagePtr frame = currentFrame(*animation);
        if (frame)
            paintOnce(*animation, x + brickList->cellWidth / 2 - frame->w / 2,
                      y + brickList->cellHeight / 2 - frame->h / 2);
        else
            animation->playing = 0;
    }
    stepState();
}

void Brick::stepState()
{
    BrickList& list = *brickList;
    const bool finished = animation && !animation->playing;
    switch (type) {
    case TYPE_FIVE_HIT:
        if (animation) {
            if (finished)
                animation = nullptr;
        } else if (randomRange(0, 400) == 0) {
            startAnimation(ANIM_SPARKLE);
        }
        break;
    case TYPE_BOMB_EXPLODING:
        if (!animation || finished) {
            type = TYPE_EMPTY;
            animation = nullptr;
        }
        break;
    case TYPE_BOMB_COUNTDOWN:
        if (hits > 0)
            --hits;
        if (hits == 0) {
            explode();
            type = TYPE_BOMB_EXPLODING;
        }
        break;
    case TYPE_REGEN_BACK:
        if (!animation || finished) {
            animation = nullptr;
            drawTarget = list.bricksGraphics;
            drawToBackground(TYPE_REGENERATING, 1);
            drawTarget = gamelib::screenGraphics;
            bonus = 0;
        }
        break;
    case TYPE_REGEN_GONE:
        if (animation) {
            if (finished)
                animation = nullptr;
        } else if (randomRange(0, 2000) == 0) {
            init(TYPE_REGEN_BACK, 1);
        }
        break;
    case TYPE_DESTROYED:
        drawTarget = list.bricksGraphics;
        drawToBackground(TYPE_EMPTY, 0);
        drawTarget = gamelib::screenGraphics;
        break;
    default:
        break;
    }
}

} // namespace tessarine
