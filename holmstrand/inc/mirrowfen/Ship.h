// The player's ship: 16 headings of 22.5 degrees, thrust along the nose from a growing thrust
// table, integer drift, bounce or wrap at the edges, parallax stars, and three seconds of blinking
// invulnerability with a random spin after each lost life.
#pragma once

#include "gamelib/GameImage.h"

#include "lang/DString.h"
#include "lang/DintArray.h"

#include <cstdint>

namespace mirrowfen {

class Ship : public qev::lang::DObject
{
  public:
    static constexpr int64_t kInvulnerableMillis = 3000;
    static constexpr int64_t kBlinkMillis = 100;
    // A push is taken only while the squared speed stays below this.
    static constexpr int32_t kSpeedLimitSquared = 67;

    Ship() = default;
    const char* getClassName() override { return "Ship"; }

    // New level: lives from the text "Lives", centred, an odd number of turns from straight up,
    // three pushes, not invulnerable.
    virtual void reset();
    // The 16 pieces by heading; IOException naming the first the atlas lacks.
    virtual void loadImages();
    // Velocity {dx, dy} of a new shot, from the texts "dx"k"k" and "dy"k"k".
    virtual qev::lang::DintArrayPtr directionFromConfig();
    virtual void loseLife();
    virtual void rotateCounterClockwise();
    virtual void rotateClockwise();
    // One game step.
    virtual void update();
    virtual void thrust();
    virtual void paint();
    // The nose direction x 1000 for a step and quadrant (y grows downwards).
    virtual int32_t dirX(int32_t s, qev::lang::DStringPtr q);
    virtual int32_t dirY(int32_t s, qev::lang::DStringPtr q);

    // 0 (none), 1 "_up", 2 "_lv", 3 "_dn".
    int32_t quadrantIndex() const;
    // Index into `images` of the current heading.
    int32_t imageIndex() const;

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t step = 4;
    qev::lang::DStringPtr quadrant;
    int32_t thrustLevel = 0;
    int32_t thrustMax = 21;
    int32_t lives = 0;
    int32_t vx = 0;
    int32_t vy = 0;
    uint8_t invulnerable = 0;
    uint8_t blinkVisible = 0;
    int64_t hitTime = 0;
    int64_t blinkTime = 0;
    int32_t pendingTurns = 0;
    gamelib::GameImageArrayPtr images;
};

using ShipPtr = qev::lang::DPtr<Ship>;

} // namespace mirrowfen
