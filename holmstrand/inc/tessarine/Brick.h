// One cell of the brick grid: its type, hit points, image, animation and the bonus it releases.
#pragma once

#include "gamelib/Animation.h"
#include "gamelib/GameImage.h"

#include "lang/DTypedArray.h"

#include <cstdint>

namespace tessarine {

class Ball;

class Brick : public qev::lang::DObject
{
  public:
    // The kinds of brick a level file holds (BrickList::cellOf gives each letter's kind and hit
    // points), and below 0 the passing states play puts a brick in. A brick stands while its
    // type is above 0: balls bounce off it and explosions reach it.
    enum Type : int32_t {
        TYPE_EMPTY = 0,
        TYPE_TWO_HIT = 1,           // its image shows the hits left
        TYPE_THREE_HIT = 2,         // its image shows the hits left
        TYPE_REGENERATING = 3,      // grows back after a while; not needed to clear the level
        TYPE_DETONATOR = 4,         // breaking it sets off the first bomb in row-major order
        TYPE_HARD = 5,              // only fire balls and explosions break it; not needed either
        TYPE_PLAIN = 6,             // one hit
        TYPE_PLAIN_B = 7,           // one hit, drawn differently
        TYPE_BOMB = 8,              // explodes when an explosion reaches it
        TYPE_FIVE_HIT = 9,          // shows cracks as it is hit, and now and then a sparkle
        TYPE_DESTROYED = -100,      // the flash, then empty
        TYPE_REGEN_GONE = -101,     // a regenerating brick broken: disappears, then waits
        TYPE_REGEN_BACK = -102,     // a regenerating brick reappearing
        TYPE_BOMB_COUNTDOWN = -103, // hits is the countdown
        TYPE_BOMB_EXPLODING = -104
    };
    enum AnimationSlot : int32_t {
        ANIM_DISAPPEAR = 0,
        ANIM_APPEAR = 1,
        ANIM_SPARKLE = 2,
        ANIM_DETONATION = 3
    };
    static constexpr int32_t kBombCountdown = 6;

    Brick(int32_t x, int32_t y, int32_t column, int32_t row);
    const char* getClassName() override { return "Brick"; }

    virtual void startAnimation(int32_t n);
    virtual void init(int32_t newType, int32_t newHits);
    // A ball or bullet hit, or an explosion when ball is null.
    virtual void hit(Ball* ball);
    virtual void explode();
    virtual void drawToBackground(int32_t newType, int32_t newHits);
    virtual void paint();
    virtual void paintAnimation();
    virtual void stepState();

    // Balls bounce off a standing brick and explosions reach it.
    static constexpr bool stands(int32_t type) { return type > 0; }
    // Counts towards clearing the level: standing and neither regenerating nor hard. Only such
    // bricks carry a bonus.
    static constexpr bool counts(int32_t type)
    {
        return stands(type) && type != TYPE_REGENERATING && type != TYPE_HARD;
    }
    bool stands() const { return stands(type); }
    bool counts() const { return counts(type); }

    gamelib::GameImagePtr image;
    int32_t x;
    int32_t y;
    int32_t column;
    int32_t row;
    int32_t type = 0;
    int32_t bonus = 0;
    qev::lang::DPtr<qev::lang::DTypedArray<gamelib::Animation>> animations;
    gamelib::AnimationPtr animation;
    int32_t hits = 0;

  private:
    void throwDebris();
};

using BrickPtr = qev::lang::DPtr<Brick>;

class BrickArray : public qev::lang::DTypedArray<Brick>
{
  public:
    using qev::lang::DTypedArray<Brick>::DTypedArray;
};

class BrickArray2d : public qev::lang::DArray2dOf<BrickArray>
{
  public:
    using qev::lang::DArray2dOf<BrickArray>::DArray2dOf;
    const char* getClassName() override { return "BrickArray2d"; }
};
using BrickArray2dPtr = qev::lang::DPtr<BrickArray2d>;

} // namespace tessarine
