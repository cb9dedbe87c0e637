// A monster that enters through the gate at the top and wanders between the walls and the
// bricks: variant 0 swallows balls (3 while it carries one), 1 drops bombs, 2 only wanders.
#pragma once

#include "tessarine/Ball.h"

#include "gamelib/Animation.h"

#include <cstdint>

namespace tessarine {

class Enemy : public qev::lang::DObject
{
  public:
    enum Variant : int32_t { SWALLOWER = 0, BOMBER = 1, PLAIN = 2, CARRIER = 3 };
    // One chance in kAppearChance + 1 per step.
    static constexpr int32_t kAppearChance = 2000;

    Enemy();
    const char* getClassName() override { return "Enemy"; }

    virtual void tryAppear();
    virtual void destroy();
    virtual void paint();
    virtual void wander();
    virtual bool hitsBrick(int32_t px, int32_t py);

    // Sets up a new appearance (the draws of tryAppear after its chance).
    void appear(int32_t newVariant);

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 11;
    int32_t height = 11;
    int32_t vx = 0;
    int32_t vy = 1;
    int32_t variant = 0;
    uint8_t active = 0;
    int64_t turnTime = 0;
    qev::lang::DPtr<qev::lang::DTypedArray<gamelib::Animation>> animations;
    BallPtr carriedBall;
};

using EnemyPtr = qev::lang::DPtr<Enemy>;

class EnemyArray : public qev::lang::DTypedArray<Enemy>
{
  public:
    using qev::lang::DTypedArray<Enemy>::DTypedArray;
};
using EnemyArrayPtr = qev::lang::DPtr<EnemyArray>;

} // namespace tessarine
