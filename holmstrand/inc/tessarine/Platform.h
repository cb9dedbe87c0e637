// The player's paddle: three widths, glue, guns with two bullets, turbo with exhaust flames,
// the morph animations between these looks, the three falling bonuses and the enemy bomb.
#pragma once

#include "tessarine/Ball.h"
#include "tessarine/Bonus.h"

#include "gamelib/Animation.h"

#include <cstdint>

namespace tessarine {

class Platform : public qev::lang::DObject
{
  public:
    enum Morph : int32_t {
        MORPH_NONE = 0,
        MORPH_SMALL = 1,
        MORPH_UNSMALL = 2,
        MORPH_BIG = 3,
        MORPH_UNBIG = 4,
        MORPH_GUNS = 5,
        MORPH_TURBO = 7
    };
    static constexpr int32_t kBonuses = 3;

    Platform();
    const char* getClassName() override { return "Platform"; }

    virtual void loadAnimations();
    virtual void startGunFlash();
    virtual void fireGuns();
    virtual void launchBullet(Ball& bullet, int32_t offset);
    virtual bool bulletImpact(Ball& bullet);
    virtual void updateBullets();
    virtual BallPtr moveBullet(Ball& bullet, BallPtr inFlight);
    virtual void spawnBonus(int32_t kind, int32_t px, int32_t py);
    // Moves the bonuses and applies the caught ones; returns the lives.
    virtual int32_t collectBonuses(int32_t lives, int32_t ballCount);
    virtual void paint();
    virtual void morph(int32_t n);
    // 1 right, 0 left.
    virtual void move(int32_t direction);
    virtual void reset();

    // Paddle rectangle of the current image.
    int32_t imageWidth() const;
    // A distance drawn for the 30-pixel paddle, at the size of this graphics set's paddle
    // (the flames, flashes and exhaust stand at such distances from the paddle's centre).
    int32_t scaled(int32_t designPixels) const;
    int32_t imageHeight() const;
    // The bonus table for one caught kind.
    int32_t applyBonus(int32_t kind, int32_t lives);
    void addBalls();
    bool glueFinished() const { return glueAnimation && !glueAnimation->playing; }

    // Width of the normal paddle in the 240 x 320 graphics, which the fixed offsets suit.
    static constexpr int32_t kDesignWidth = 30;
    static constexpr int32_t kDesignBottomMargin = 12;

    int32_t width = 30;
    int32_t height = 5;
    int32_t bottomMargin = 12;
    int32_t x;
    int32_t y;
    int32_t step = 3;
    int32_t morphNumber = MORPH_NONE;
    int32_t paddleSize = 1;
    uint8_t turbo = 0;
    BallArrayPtr balls;
    int32_t ballsInPlay = 1;
    uint8_t gunsOn = 0;
    uint8_t sticky = 0;
    uint8_t morphing = 0;
    uint8_t movingRight = 0;
    uint8_t movingLeft = 0;
    uint8_t flashing = 0;

    gamelib::AnimationPtr smallAnimation;
    gamelib::AnimationPtr desmallAnimation;
    gamelib::AnimationPtr biggerAnimation;
    gamelib::AnimationPtr debiggerAnimation;
    gamelib::AnimationPtr armedAnimation;
    gamelib::AnimationPtr dearmedAnimation;
    gamelib::AnimationPtr turboAnimation;
    gamelib::AnimationPtr deturboAnimation;
    gamelib::AnimationPtr morphAnimation;
    gamelib::AnimationPtr flamesAnimation;
    gamelib::AnimationPtr flames2Animation;
    gamelib::AnimationPtr gunFlashLeft;
    gamelib::AnimationPtr gunFlashRight;
    gamelib::AnimationPtr glueAnimation;
    gamelib::AnimationPtr exitAnimation;

    gamelib::GameImagePtr smallImage;
    gamelib::GameImagePtr normalImage;
    gamelib::GameImagePtr bigImage;
    gamelib::GameImagePtr gunsImage;
    gamelib::GameImagePtr engineImage;
    gamelib::GameImagePtr turboEngineImage;
    gamelib::GameImagePtr paddleImage;
    gamelib::GameImagePtr currentEngine;

    BonusArrayPtr bonuses;
    BallPtr bullet1;
    BallPtr bullet2;
    BallPtr bomb;
    BallPtr bullet1InFlight;
    BallPtr bullet2InFlight;
    int32_t flashLeftX = 0;
    int32_t flashLeftY = 0;
    int32_t flashRightX = 0;
    int32_t flashRightY = 0;
};

using PlatformPtr = qev::lang::DPtr<Platform>;

} // namespace tessarine
