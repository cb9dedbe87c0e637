// A moving round object: a ball in play (kind 0), a paddle bullet (kind 1) or an enemy bomb
// (kind 2). Positions are kept in 1/16 pixel; the pixel position follows after every move.
#pragma once

#include "tessarine/TrapWatch.h"

#include "gamelib/Animation.h"
#include "gamelib/GameImage.h"

#include "lang/DTypedArray.h"

#include <cstdint>

namespace tessarine {

class Ball : public qev::lang::DObject
{
  public:
    enum Kind : int32_t { KIND_BALL = 0, KIND_BULLET = 1, KIND_BOMB = 2 };

    explicit Ball(int32_t kind);
    const char* getClassName() override { return "Ball"; }

    // Sizes 0..2 small, normal, big; 3..5 the same on fire.
    virtual void setKind(int32_t newSize);
    virtual void ignite();
    virtual void extinguish();
    virtual void grow();
    virtual void shrink();
    virtual void setActive(bool flag);
    virtual void paint();
    virtual void resetOnPlatform(int32_t px, int32_t py);
    virtual void setPosition(int32_t px, int32_t py);
    virtual void step();
    // Returns 1 when the ball fell out of the field.
    virtual int32_t moveAndBounce(int32_t paddleX, int32_t paddleTop, int32_t paddleLeft,
                                  int32_t paddleRight, bool stickyPaddle);
    // Returns 1 when the bomb hit the paddle.
    virtual int32_t moveProjectile(int32_t paddleTop, int32_t paddleLeft, int32_t paddleRight);
    virtual void moveAndCheckTop();
    // |dy| that keeps the direction about 16 long for a given dx.
    static int32_t verticalSpeedFor(int32_t dx);
    // dx after a paddle bounce v pixels right of the paddle's centre.
    static int32_t paddleDx(int32_t v);

    bool isFire() const { return size > 2; }

    int32_t kind;
    int32_t wallLeft = 0;
    int32_t wallTop = 0;
    int32_t size = 1;
    int32_t radius = 0;
    int32_t y = 0;
    int32_t x = 0;
    int32_t y16 = 0;
    int32_t x16 = 0;
    int32_t dx = 2;
    int32_t dy = -15;
    int32_t speed = 2;
    int32_t speedCounter = 0;
    uint8_t released = 0;
    uint8_t lost = 0;
    uint8_t active = 0;
    uint8_t visible = 0;
    gamelib::GameImagePtr normalImage;
    gamelib::GameImagePtr smallImage;
    gamelib::GameImagePtr bigImage;
    gamelib::GameImagePtr image;
    gamelib::AnimationPtr fireAnimation;
    gamelib::AnimationPtr fireSmallAnimation;
    gamelib::AnimationPtr fireBigAnimation;
    gamelib::AnimationPtr animation;
    int32_t paddleOffset = 2;
    // Whether the ball is bouncing on the spot between hard bricks.
    TrapWatch trapWatch;

  private:
    void bounceEffects();
    int32_t currentWidth() const;
};

using BallPtr = qev::lang::DPtr<Ball>;

class BallArray : public qev::lang::DTypedArray<Ball>
{
  public:
    using qev::lang::DTypedArray<Ball>::DTypedArray;
};
using BallArrayPtr = qev::lang::DPtr<BallArray>;

} // namespace tessarine
