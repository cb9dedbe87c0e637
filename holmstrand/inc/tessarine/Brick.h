// One cell of the brick grid: its type, hit points, image, animation and the bonus it releases.
// Types below 0 are passing states of play: -100 destroyed (flash), -101 regenerating brick
// gone, -102 reappearing, -103 bomb counting down (hits is the countdown), -104 exploding.
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
    enum Type : int32_t {
        TYPE_DESTROYED = -100,
        TYPE_REGEN_GONE = -101,
        TYPE_REGEN_BACK = -102,
        TYPE_BOMB_COUNTDOWN = -103,
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

    // Counts towards clearing the level: standing and neither regenerating nor hard.
    bool counts() const { return type > 0 && type != 3 && type != 5; }

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
