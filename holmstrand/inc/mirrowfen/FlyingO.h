// Everything that flies on the field but the ship: rocks and their fragments, the three kinds of
// saucer, the big saucer's rockets and the ship's shots.
#pragma once

#include "gamelib/GameImage.h"

#include "lang/DString.h"
#include "lang/DTypedArray.h"
#include "lang/DintArray.h"

#include <cstdint>

namespace mirrowfen {

class FlyingO : public qev::lang::DObject
{
  public:
    enum Kind : int32_t {
        KIND_SHOT = 0,
        KIND_SMALL_UFO = 1,
        KIND_UFO = 2,
        KIND_SPIN_ROCK = 3,
        KIND_BIG_UFO = 4,
        KIND_TURN_ROCK = 5
    };
    // x = kRandom asks for a random place, dx = kRandom for a random velocity; a negative frame
    // delay asks for a random one.
    static constexpr int32_t kRandom = -100;

    FlyingO(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t speedFactor, int32_t sizeClass,
            int32_t variant, qev::lang::DStringPtr name, int32_t frameDelay);
    const char* getClassName() override { return "FlyingO"; }

    // One game step: movement, edges, animation.
    virtual void move();
    // Draws the piece (and the wrapped copy); false when nothing was drawn.
    virtual bool draw(gamelib::GameImagePtr image, int32_t w, int32_t h);
    // Course change from the record {x, y, distance, dx, dy} of the nearest object.
    virtual void aimFrom(qev::lang::DintArrayPtr info);

    // A random velocity component of the current level; zero becomes `zeroValue`.
    static int32_t randomSpeed(int32_t zeroValue);

    int32_t x = 0;
    int32_t y = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t speedFactor = 0;
    int32_t kind = 0;
    int32_t collisionValue = 0;
    int32_t hits = 0;
    int32_t fireTimer = 0;
    int32_t frame = 0;
    int32_t steerCounter = 0;
    int8_t frameTick = 0;
    int32_t frameDelay = 0;
    qev::lang::DStringPtr imageName;
};

using FlyingOPtr = qev::lang::DPtr<FlyingO>;

class FlyingOArray : public qev::lang::DTypedArray<FlyingO>
{
  public:
    using qev::lang::DTypedArray<FlyingO>::DTypedArray;
};
using FlyingOArrayPtr = qev::lang::DPtr<FlyingOArray>;

} // namespace mirrowfen
