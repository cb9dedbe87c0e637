// A falling bonus capsule released by a destroyed brick: it drifts sideways off the walls and is
// caught by the paddle or lost below the screen.
#pragma once

#include "gamelib/Animation.h"

#include "lang/DTypedArray.h"

#include <cstdint>

namespace tessarine {

class Bonus : public qev::lang::DObject
{
  public:
    enum Kind : int32_t {
        NONE = 0,
        GUNS = 1,
        GLUE = 2,
        SMALLER_PADDLE = 3,
        BIGGER_PADDLE = 4,
        FASTER = 5,
        FIRE = 6,
        EXTRA_LIFE = 7,
        BIGGER_BALLS = 8,
        SMALLER_BALLS = 9,
        SLOWER = 10,
        MORE_BALLS = 11,
        TURBO = 12
    };

    Bonus() = default;
    const char* getClassName() override { return "Bonus"; }

    virtual void spawn(int32_t newKind, int32_t px, int32_t py);
    // One step; the kind when the paddle caught it, else 0.
    virtual int32_t fall(int32_t paddleLeft, int32_t paddleTop, int32_t paddleWidth,
                         int32_t paddleHeight);
    virtual void paint();

    int32_t x = 0;
    int32_t y = 0;
    int32_t fallSpeed = 1;
    int32_t drift = 0;
    int32_t kind = NONE;
    gamelib::AnimationPtr animation;

  private:
    int32_t frameWidth() const;
    int32_t frameHeight() const;
};

using BonusPtr = qev::lang::DPtr<Bonus>;

class BonusArray : public qev::lang::DTypedArray<Bonus>
{
  public:
    using qev::lang::DTypedArray<Bonus>::DTypedArray;
};
using BonusArrayPtr = qev::lang::DPtr<BonusArray>;

} // namespace tessarine
