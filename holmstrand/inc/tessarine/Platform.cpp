#include "tessarine/Platform.h"

#include "tessarine/BrickList.h"
#include "tessarine/Enemy.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/ScreenCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace tessarine {

using gamelib::AnimationPtr;
using gamelib::GameImagePtr;
using gamelib::screenHeight;
using gamelib::screenWidth;

namespace {

GameImagePtr firstFrame(const AnimationPtr& a)
{
    if (!a || !a->frames || a->frames->length == 0)
        return nullptr;
    return (*a->frames)[0];
}

bool drawable(const AnimationPtr& a)
{
    return a && a->frames && a->frames->length > 0 && currentFrame(*a);
}

} // namespace

Platform::Platform() : x((screenWidth - 30) / 2), y(screenHeight - 17)
{
    bonuses = new BonusArray(kBonuses);
    for (int32_t i = 0; i < kBonuses; ++i)
        (*bonuses)[i] = new Bonus();
    bullet1 = new Ball(Ball::KIND_BULLET);
    bullet1->speed = 5;
    bullet2 = new Ball(Ball::KIND_BULLET);
    bullet2->speed = 5;
    bomb = new Ball(Ball::KIND_BOMB);
    bomb->speed = 3;
    bomb->dy = 16;
    bomb->dx = 0;
}

void Platform::loadAnimations()
{
    smallAnimation = requiredAnimation(u"small");
    desmallAnimation = requiredAnimation(u"desmall");
    biggerAnimation = requiredAnimation(u"bigger");
    debiggerAnimation = requiredAnimation(u"debigger");
    armedAnimation = requiredAnimation(u"armed");
    dearmedAnimation = requiredAnimation(u"dearmed");
    turboAnimation = requiredAnimation(u"turbo");
    deturboAnimation = requiredAnimation(u"deturbo");
    morphAnimation = desmallAnimation;
    flamesAnimation = requiredAnimation(u"flames");
    flames2Animation = requiredAnimation(u"flames2");
    gunFlashLeft = requiredAnimation(u"gilzLeft1");
    gunFlashRight = requiredAnimation(u"gilzRight1");
    glueAnimation = requiredAnimation(u"Clue");
    glueAnimation->playing = 1;
    exitAnimation = requiredAnimation(u"exit");
    exitAnimation->playing = 0;
    smallImage = firstFrame(desmallAnimation);
    normalImage = firstFrame(biggerAnimation);
    bigImage = firstFrame(debiggerAnimation);
    gunsImage = firstFrame(dearmedAnimation);
    engineImage = firstFrame(turboAnimation);
    turboEngineImage = firstFrame(deturboAnimation);
    paddleImage = normalImage;
    currentEngine = engineImage;
    // A paddle drawn larger (the large sets) keeps its engine and flames on the screen: the
    // margin below it grows with it.
    bottomMargin = std::max(bottomMargin, scaled(kDesignBottomMargin));
}

int32_t Platform::scaled(int32_t designPixels) const
{
    const int32_t w = normalImage && normalImage->w > 0 ? normalImage->w : kDesignWidth;
    return designPixels * w / kDesignWidth;
}

int32_t Platform::imageWidth() const
{
    return paddleImage ? paddleImage->w : width;
}

int32_t Platform::imageHeight() const
{
    return paddleImage ? paddleImage->h : height;
}

void Platform::startGunFlash()
{
    if (bullet1InFlight || bullet2InFlight || flashing)
        return;
    flashing = 1;
    flashLeftX = x - width / 2 - scaled(6);
    flashLeftY = y;
    flashRightX = x + width / 2 - scaled(6);
    flashRightY = y;
    gunFlashLeft->reset();
    gunFlashRight->reset();
}

void Platform::fireGuns()
{
    if (bullet1InFlight || bullet2InFlight || !gunsOn)
        return;
    playSoundOnce(SOUND_SHOOT);
    const int32_t w = imageWidth();
    bullet1InFlight = bullet1;
    launchBullet(*bullet1, 4 - w / 2);
    bullet2InFlight = bullet2;
    launchBullet(*bullet2, w / 2 - 4);
}

void Platform::launchBullet(Ball& bullet, int32_t offset)
{
    bullet.dx = 0;
    bullet.setPosition(x + offset, screenHeight - 2 * bullet.radius - bottomMargin);
    bullet.setActive(true);
}

bool Platform::bulletImpact(Ball& bullet)
{
    BrickList& list = *brickList;
    const int32_t c = list.columnAt(bullet.x);
    const int32_t r = list.rowAt(bullet.y);
    Brick* b = list.brickAt(r, c);
    if (b && b->stands()) {
        b->hit(&bullet);
        list.repaintNeighbours(r, c);
        return true;
    }
    if (!runningGame)
        return false;
    EnemyArray& enemies = *runningGame->enemies;
    for (int32_t i = 0; i < enemies.length; ++i) {
        Enemy& e = *enemies[i];
        if (!e.active)
            continue;
        const int64_t ddx = bullet.x - e.x;
        const int64_t ddy = bullet.y - e.y;
        if (static_cast<int64_t>(bullet.radius + e.height) * (e.width + bullet.radius) >=
            ddy * ddy + ddx * ddx) {
            runningGame->spawnParticles(10, 2, bullet.x, bullet.y, 0);
            e.destroy();
            list.score += 1;
            playSoundOnce(SOUND_HIT_BRICK);
            return true;
        }
    }
    return false;
}

void Platform::updateBullets()
{
    bullet1InFlight = moveBullet(*bullet1, bullet1InFlight);
    bullet2InFlight = moveBullet(*bullet2, bullet2InFlight);
}

BallPtr Platform::moveBullet(Ball& bullet, BallPtr inFlight)
{
    if (!inFlight)
        return inFlight;
    bullet.moveAndCheckTop();
    if (!bullet.active) {
        bullet.lost = 0;
        return nullptr;
    }
    if (bulletImpact(bullet)) {
        bullet.visible = 0;
        bullet.released = 0;
        return nullptr;
    }
    return inFlight;
}

void Platform::spawnBonus(int32_t kind, int32_t px, int32_t py)
{
    for (int32_t i = 0; i < kBonuses; ++i) {
        Bonus& b = *(*bonuses)[i];
        if (b.kind == Bonus::NONE) {
            b.spawn(kind, px, py);
            return;
        }
    }
}

int32_t Platform::collectBonuses(int32_t lives, int32_t /*ballCount*/)
{
    for (int32_t i = 0; i < kBonuses; ++i) {
        const int32_t caught =
            (*bonuses)[i]->fall(x - imageWidth() / 2, y, imageWidth(), imageHeight());
        if (caught && !morphing)
            lives = applyBonus(caught, lives);
    }
    return lives;
}

int32_t Platform::applyBonus(int32_t kind, int32_t lives)
{
    BallArray& all = *balls;
    switch (kind) {
    case Bonus::GUNS:
        morph(MORPH_GUNS);
        gunsOn = 1;
        break;
    case Bonus::GLUE:
        if (!glueFinished()) {
            glueAnimation->reset();
            sticky = 1;
        }
        break;
    case Bonus::SMALLER_PADDLE:
        if (paddleSize == 1)
            morph(MORPH_SMALL);
        else if (paddleSize == 2)
            morph(MORPH_UNBIG);
        break;
    case Bonus::BIGGER_PADDLE:
        if (paddleSize == 0)
            morph(MORPH_UNSMALL);
        else if (paddleSize == 1)
            morph(MORPH_BIG);
        break;
    case Bonus::FASTER:
        for (int32_t i = 0; i < all.length && all[i]->active; ++i)
            all[i]->speed += 1;
        break;
    case Bonus::FIRE:
        for (int32_t i = 0; i < all.length; ++i)
            all[i]->ignite();
        break;
    case Bonus::EXTRA_LIFE:
        lives += 1;
        break;
    case Bonus::BIGGER_BALLS:
        for (int32_t i = 0; i < all.length; ++i)
            all[i]->grow();
        break;
    case Bonus::SMALLER_BALLS:
        for (int32_t i = 0; i < all.length; ++i)
            all[i]->shrink();
        break;
    case Bonus::SLOWER:
        for (int32_t i = 0; i < all.length && all[i]->active && all[i]->speed >= 3; ++i)
            all[i]->speed -= 1;
        break;
    case Bonus::MORE_BALLS:
        addBalls();
        break;
    case Bonus::TURBO:
        morph(MORPH_TURBO);
        break;
    default:
        break;
    }
    return lives;
}

void Platform::addBalls()
{
    BallArray& all = *balls;
    const int64_t r = nextRandom();
    const int32_t times = static_cast<int32_t>(std::llabs(r) % 2) + 1;
    for (int32_t t = 0; t < times; ++t) {
        if (runningGame)
            runningGame->compactBalls();
        const int32_t sources = ballsInPlay;
        for (int32_t i = 0; i < sources && i < all.length; ++i) {
            Ball& source = *all[i];
            if (!source.active)
                continue;
            int32_t j = ballsInPlay;
            while (j < all.length && all[j]->visible)
                ++j;
            if (j < 0 || j >= all.length)
                continue;
            Ball& added = *all[j];
            added.setPosition(source.x + 1, source.y);
            added.released = source.released;
            added.radius = source.radius;
            const int32_t r1 = nextRandom() % 6;
            const int32_t r2 = nextRandom() % 6;
            added.dx = source.dx + (r1 == 0 ? 1 : r1);
            added.dy = source.dy + (r2 == 0 ? -1 : r2);
            added.speed = source.speed;
            added.active = 1;
            added.visible = 1;
            added.lost = 0;
            ballsInPlay += 1;
        }
    }
}

void Platform::morph(int32_t n)
{
    morphing = 1;
    morphNumber = n;
    switch (n) {
    case MORPH_NONE:
        paddleImage = normalImage;
        currentEngine = engineImage;
        morphing = 0;
        step = 3;
        paddleSize = 1;
        break;
    case MORPH_SMALL:
        paddleImage = smallImage;
        morphAnimation = smallAnimation;
        if (paddleSize > 0)
            --paddleSize;
        break;
    case MORPH_UNSMALL:
        paddleImage = normalImage;
        morphAnimation = desmallAnimation;
        if (paddleSize < 1)
            ++paddleSize;
        break;
    case MORPH_BIG:
        paddleImage = bigImage;
        morphAnimation = biggerAnimation;
        if (paddleSize < 2)
            ++paddleSize;
        break;
    case MORPH_UNBIG:
        paddleImage = normalImage;
        morphAnimation = debiggerAnimation;
        if (paddleSize >= 2)
            --paddleSize;
        break;
    case MORPH_GUNS:
        morphAnimation = armedAnimation;
        break;
    case MORPH_TURBO:
        morphAnimation = turboAnimation;
        turbo = 1;
        flamesAnimation->reset();
        flames2Animation->reset();
        currentEngine = turboEngineImage;
        step = 5;
        break;
    default:
        break;
    }
    if (morphAnimation)
        morphAnimation->reset();
}

void Platform::move(int32_t direction)
{
    if (direction == 1) {
        if (x + width / 2 < gridLeft + brickList->gridWidth)
            x += step;
        movingRight = 1;
    } else {
        if (gridLeft < x - width / 2)
            x -= step;
        movingLeft = 1;
    }
    if (turbo && runningGame) {
        const int32_t ph = imageHeight();
        if (direction == 1)
            runningGame->spawnParticles(1, 1, x - scaled(20), y + ph + 3, 0);
        else
            runningGame->spawnParticles(1, 1, x + scaled(20), y + ph + 1, 0);
    }
}

void Platform::reset()
{
    gunsOn = 0;
    sticky = 0;
    if (glueAnimation)
        glueAnimation->playing = 1;
    turbo = 0;
    bullet1->setActive(false);
    bullet2->setActive(false);
    bomb->setActive(false);
    bullet1InFlight = nullptr;
    bullet2InFlight = nullptr;
    for (int32_t i = 0; i < kBonuses; ++i)
        (*bonuses)[i]->kind = Bonus::NONE;
    x = screenWidth / 2;
    y = screenHeight - bottomMargin - height;
    morph(MORPH_NONE);
    width = imageWidth();
    if (balls && balls->length > 0) {
        Ball& first = *(*balls)[0];
        first.setKind(0);
        first.resetOnPlatform(x + first.radius, y - 1);
    }
    ballsInPlay = 1;
}

void Platform::paint()
{
    using gamelib::GameImage;
    if (sticky && drawable(glueAnimation)) {
        GameImagePtr f = currentFrame(*glueAnimation);
        if (glueAnimation->playing) {
            paintOnce(*glueAnimation, x - imageWidth() / 2, y - f->h / 2);
        } else {
            GameImagePtr last = (*glueAnimation->frames)[glueAnimation->frames->length - 1];
            if (last)
                last->draw(x - width / 2 - 1, y - last->h / 2);
        }
    }
    const bool sizeMorph = morphing && morphNumber >= MORPH_NONE && morphNumber <= MORPH_UNBIG;
    if (!sizeMorph) {
        if (paddleImage) {
            paddleImage->draw(x - width / 2, y);
            width = paddleImage->w;
        }
        if (morphing && drawable(morphAnimation)) {
            GameImagePtr f = currentFrame(*morphAnimation);
            paintOnce(*morphAnimation, x - f->w / 2, y + imageHeight());
            if (!morphAnimation->playing)
                morphing = 0;
        } else if (morphing) {
            morphing = 0;
        }
    } else if (drawable(morphAnimation)) {
        GameImagePtr f = currentFrame(*morphAnimation);
        paintOnce(*morphAnimation, x - f->w / 2, y);
        width = f->w;
        if (!morphAnimation->playing)
            morphing = 0;
    } else {
        morphing = 0;
    }
    if (currentEngine)
        currentEngine->draw(x - currentEngine->w / 2, y + imageHeight());
    if (gunsOn && !morphing && gunsImage)
        gunsImage->draw(x - gunsImage->w / 2, y);
    if (turbo) {
        if (movingRight && drawable(flamesAnimation)) {
            flamesAnimation->paint(x - scaled(24), y + imageHeight() + 1);
            movingRight = 0;
        }
        if (movingLeft && drawable(flames2Animation)) {
            flames2Animation->paint(x + scaled(14), y + imageHeight() + 1);
            movingLeft = 0;
        }
    }
    if (bullet1InFlight)
        bullet1->paint();
    if (bullet2InFlight)
        bullet2->paint();
    if (flashing) {
        if (!gunFlashLeft->playing || !drawable(gunFlashLeft)) {
            flashing = 0;
        } else {
            paintOnce(*gunFlashLeft, flashLeftX, flashLeftY);
            if (drawable(gunFlashRight))
                paintOnce(*gunFlashRight, flashRightX, flashRightY);
        }
    }
    if (bomb->active) {
        bomb->paint();
        if (bomb->moveProjectile(y, x - width / 2, x + width / 2) == 1) {
            ballsInPlay = 1;
            if (runningGame)
                runningGame->loseLife();
        }
    }
    if (exitAnimation->playing && drawable(exitAnimation)) {
        GameImagePtr f = currentFrame(*exitAnimation);
        paintOnce(*exitAnimation, (screenWidth - f->w) / 2, 0);
    }
    for (int32_t i = 0; i < kBonuses; ++i)
        (*bonuses)[i]->paint();
}

} // namespace tessarine
