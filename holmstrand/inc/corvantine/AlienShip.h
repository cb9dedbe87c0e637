// One ship of the formation: it sways with the formation, leaves it on an arc, dives at the
// player while steering towards it and firing, and comes back from the top to its place.
// Positions and speeds while moving freely are 16.16 fixed point; one update is one 25 ms step.
#pragma once

#include "gamelib/Animation.h"
#include "gamelib/GameImage.h"

#include "lang/DTypedArray.h"

#include <cstdint>

namespace corvantine {

class AlienShip : public qev::lang::DObject
{
  public:
    enum State : int32_t {
        IN_FORMATION = 0,
        LEAVING = 1,
        DIVING = 2,
        RETURNING = 3,
        EXPLODING = 4,
        DESTROYED = 5
    };
    enum DiveMode : int32_t { STRAIGHT = 0, SWOOP = 1, FALLING = 2 };

    AlienShip() = default;
    const char* getClassName() override { return "AlienShip"; }

    // The 16 direction sprites of its kind (shared by every ship of the kind).
    void setImages(gamelib::GameImageArrayPtr images);
    // Own animations over the templates' frames; the flapping starts at a random frame.
    void setAnimations(gamelib::AnimationPtr formationTemplate,
                       gamelib::AnimationPtr explosionTemplate);
    void launch();
    void update();
    // Box against box, touching counts; a hit starts the explosion.
    bool hitTest(int32_t x0, int32_t y0, int32_t w, int32_t h);
    void paint();

    // The direction sprite of a steering ship from the slope s = (h << 16) / d between the ship
    // and the player (h: player top - y, d: player x - x); always 0..15.
    static int32_t spriteForSlope(int64_t s, int32_t h);

    gamelib::GameImageArrayPtr images;
    gamelib::AnimationPtr formationAnimation;
    gamelib::AnimationPtr explosion;
    int32_t diveMode = STRAIGHT;
    int32_t x = 0;
    int32_t y = 0;
    int32_t fx = 0;
    int32_t fy = 0;
    int32_t sprite = 0;
    int32_t angle = 0;
    int32_t homeX = 0;
    int32_t homeY = 0;
    int32_t side = 0;
    int32_t targetX = 0;
    int32_t targetY = 0;
    int32_t vx = 0;
    int32_t vy = 0;
    int32_t state = IN_FORMATION;
    int32_t points = 0;
    int32_t row = 0;
    int32_t column = 0;
    int32_t shotsLeft = 0;

  private:
    void leaveStep();
    void startDive();
    void diveStep();
    void fire();
};

using AlienShipPtr = qev::lang::DPtr<AlienShip>;

class AlienShipArray : public qev::lang::DTypedArray<AlienShip>
{
  public:
    using qev::lang::DTypedArray<AlienShip>::DTypedArray;
};
using AlienShipArrayPtr = qev::lang::DPtr<AlienShipArray>;

class AlienShipArray2d : public qev::lang::DArray2dOf<AlienShipArray>
{
  public:
    using qev::lang::DArray2dOf<AlienShipArray>::DArray2dOf;
    const char* getClassName() override { return "AlienShipArray2d"; }
};
using AlienShipArray2dPtr = qev::lang::DPtr<AlienShipArray2d>;

} // namespace corvantine
