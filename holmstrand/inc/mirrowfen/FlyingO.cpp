#include "mirrowfen/FlyingO.h"

#include "mirrowfen/MirrowfenGlobals.h"
#include "mirrowfen/Ship.h"

#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include "lang/DInteger.h"

using qev::lang::DStringPtr;

namespace mirrowfen {

namespace {

// Moves a random place out of the middle band, by y first, else by x.
void avoidMiddle(int32_t& x, int32_t& y)
{
    const int32_t w = gamelib::screenWidth;
    const int32_t h = gamelib::screenHeight;
    if (h / 3 < y && y < h / 2)
        y = 10;
    else if (h / 2 < y && y < (2 * h) / 3)
        y = h - 10;
    else if (w / 3 < x && x < w / 2)
        x = 10;
    else if (w / 2 < x && x < (2 * w) / 3)
        x = w - 10;
}

// Wraps one coordinate: `extent` is how far it may leave beyond the side, `jump` how far it goes.
int32_t wrapAxis(int32_t v, int32_t size, int32_t extent, int32_t jump)
{
    if (v > size + extent + 1)
        return v - jump;
    if (v < -extent - 1)
        return v + jump;
    return v;
}

bool endsWith(const DStringPtr& name, const char16_t* suffix)
{
    return name->endsWith(DStringPtr(suffix));
}

} // namespace

int32_t FlyingO::randomSpeed(int32_t zeroValue)
{
    const int32_t v = (currentLevel + (random32() % 8) * 10) / 20;
    return v == 0 ? zeroValue : v;
}

FlyingO::FlyingO(int32_t x0, int32_t y0, int32_t dx0, int32_t dy0, int32_t speed, int32_t sizeClass,
                 int32_t variant, DStringPtr name, int32_t delay)
    : hits(1), imageName(name)
{
    collisionValue = sizeClass == 1 ? 350 : sizeClass == 2 ? 250 : 200;
    const int32_t sum = sizeClass + variant;
    if (sum == 100) {
        kind = KIND_SHOT;
    } else if (sum == 300) {
        const int32_t type = qev::lang::DInteger::parseInt(name->substring(3));
        if (type == 3) {
            kind = KIND_BIG_UFO;
            collisionValue = 430;
            hits = 4;
        } else if (type == 2) {
            kind = KIND_UFO;
            collisionValue = 250;
        } else {
            kind = KIND_SMALL_UFO;
            collisionValue = 200;
        }
    } else {
        imageName = DStringPtr(u"a") + sizeClass + variant + u"0";
        kind = sum % 3 != 0 ? KIND_TURN_ROCK : KIND_SPIN_ROCK;
    }
    if (x0 == kRandom) {
        x = wrappingAbs(random32()) % gamelib::screenWidth;
        y = wrappingAbs(random32()) % gamelib::screenHeight;
        avoidMiddle(x, y);
    } else {
        x = x0;
        y = y0;
    }
    if (dx0 == kRandom) {
        dx = randomSpeed(2);
        dy = randomSpeed(3);
        speedFactor = 1;
    } else {
        if (kind == KIND_BIG_UFO) {
            dx0 >>= 1;
            dy0 >>= 1;
        }
        dx = dx0;
        dy = dy0;
        speedFactor = speed;
    }
    frame = wrappingAbs(random32() % 4);
    frameDelay = delay < 0 ? wrappingAbs(random32() % 5) : delay;
    steerCounter = 5;
}

void FlyingO::move()
{
    x += speedFactor * dx;
    y += speedFactor * dy;
    if (kind == KIND_SHOT)
        return;
    const int32_t w = gamelib::screenWidth;
    const int32_t h = gamelib::screenHeight;
    if (boundsOn) {
        if (x > w) {
            x = w;
            dx = -dx;
        } else if (x < 0) {
            x = 0;
            dx = -dx;
        }
        if (y >= h) {
            y = h - 1;
            dy = -dy;
        } else if (y < 0) {
            y = 1;
            dy = -dy;
        }
    } else if (kind == KIND_BIG_UFO) {
        x = wrapAxis(x, w, width / 4, w + width + 1);
        y = wrapAxis(y, h, height / 4, h + height + 1);
    } else {
        x = wrapAxis(x, w, width / 4, w + 1);
        y = wrapAxis(y, h, height / 4, h + 1);
    }
    frameTick = static_cast<int8_t>(frameTick + 1);
    if (frameTick > frameDelay) {
        frameTick = 0;
        frame += 1;
    }
    steerCounter += 1;
    switch (kind) {
    case KIND_SMALL_UFO:
    case KIND_UFO:
    case KIND_SPIN_ROCK:
        if (frame >= 15)
            frame = 0;
        break;
    case KIND_BIG_UFO:
        if (frame >= 10)
            frame = 0;
        break;
    case KIND_TURN_ROCK: {
        const int32_t turn = frame / 4;
        const int32_t n = imageName->length();
        if (turn == 1 && !endsWith(imageName, u"_up"))
            imageName = imageName + u"_up";
        else if (turn == 2 && !endsWith(imageName, u"_lv"))
            imageName = imageName->substring(0, n - 3) + u"_lv";
        else if (turn == 3 && !endsWith(imageName, u"_dn"))
            imageName = imageName->substring(0, n - 3) + u"_dn";
        else if (turn >= 4) {
            frame = 0;
            imageName = imageName->substring(0, n - 3);
        }
        break;
    }
    default:
        break;
    }
}

bool FlyingO::draw(gamelib::GameImagePtr image, int32_t w, int32_t h)
{
    width = w;
    height = h;
    if (!image)
        return false;
    const int32_t sw = gamelib::screenWidth;
    const int32_t sh = gamelib::screenHeight;
    const int32_t left = x - w / 2;
    const int32_t top = y - h / 2;
    if (left >= sw || left + w <= 0 || top >= sh || top + h <= 0)
        return false;
    gamelib::drawGameImage(left, top, image);
    const bool wraps = kind == KIND_SMALL_UFO || kind == KIND_UFO || kind == KIND_SPIN_ROCK ||
                       kind == KIND_TURN_ROCK;
    if (!boundsOn && wraps) {
        int32_t cx = left;
        int32_t cy = top;
        if (left < 0)
            cx = left + sw;
        else if (left + w > sw)
            cx = left - sw;
        if (top < 0)
            cy = top + sh;
        else if (top + h > sh)
            cy = top - sh;
        if (cx != left || cy != top)
            gamelib::drawGameImage(cx, cy, image);
    }
    return true;
}

void FlyingO::aimFrom(qev::lang::DintArrayPtr info)
{
    const int32_t ix = (*info)[0];
    const int32_t iy = (*info)[1];
    if (static_cast<int64_t>(ix) * iy < 0) {
        dx = random32() % 2 - (*info)[3];
        dy = random32() % 2 - (*info)[4];
    } else {
        dx = (*info)[3] + random32() % 2;
        dy = (*info)[4] + random32() % 2;
    }
    if ((kind == KIND_UFO || kind == KIND_BIG_UFO) && random32() % 2 >= 0 && ship) {
        if (ship->x < x && dx < 0)
            dx = -dx;
        if (ship->y < y && dy > 0)
            dy = -dy;
    }
    if (kind == KIND_BIG_UFO) {
        dx >>= 1;
        dy >>= 1;
    }
}

} // namespace mirrowfen
