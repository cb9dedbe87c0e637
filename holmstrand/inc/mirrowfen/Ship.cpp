#include "mirrowfen/Ship.h"

#include "mirrowfen/MirrowfenGlobals.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"
#include "microedition/lcdui/DGraphics.h"

using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;

namespace mirrowfen {

namespace {

const char16_t* const kQuadrants[4] = {u"", u"_up", u"_lv", u"_dn"};

int32_t quadrantOf(const DStringPtr& q)
{
    for (int32_t i = 1; i < 4; ++i)
        if (q && q->equals(kQuadrants[i]))
            return i;
    return q && q->length() == 0 ? 0 : -1;
}

int32_t table(int32_t i)
{
    return (*gamelib::directionTable)[i];
}

int32_t textNumber(const DStringPtr& key)
{
    return gamelib::requireTextNumber(key);
}

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

// One star coordinate moved by `delta` and wrapped into [0, limit) by one step.
int32_t moveStar(int32_t v, int32_t delta, int32_t limit)
{
    v = static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(delta));
    if (v < 0)
        v += limit;
    else if (v >= limit)
        v -= limit;
    return v;
}

} // namespace

int32_t Ship::quadrantIndex() const
{
    return quadrantOf(quadrant);
}

int32_t Ship::imageIndex() const
{
    static constexpr int32_t kOffset[4] = {-1, 7, 3, 11};
    const int32_t q = quadrantIndex();
    return q < 0 ? -1 : step + kOffset[q];
}

int32_t Ship::dirX(int32_t s, DStringPtr q)
{
    switch (quadrantOf(q)) {
    case 0:
        return table(s - 1);
    case 1:
        return -table(s + 3);
    case 2:
        return -table(s - 1);
    case 3:
        return table(s + 3);
    default:
        return 0;
    }
}

int32_t Ship::dirY(int32_t s, DStringPtr q)
{
    switch (quadrantOf(q)) {
    case 0:
        return -table(s + 3);
    case 1:
        return -table(s - 1);
    case 2:
        return table(s + 3);
    case 3:
        return table(s - 1);
    default:
        return 0;
    }
}

void Ship::reset()
{
    lives = textNumber(u"Lives");
    step = 4;
    thrustLevel = 0;
    x = gamelib::screenWidth / 2;
    y = gamelib::screenHeight / 2;
    quadrant = u"";
    thrustMax = 21;
    // A missing piece leaves the size 0; painting then shows the missing-piece text.
    gamelib::GameImagePtr piece = gamelib::GameImage::fromAtlas(u"spaceship4");
    width = piece ? piece->w : 0;
    height = piece ? piece->h : 0;
    pendingTurns = 0;
    int32_t n = wrappingAbs(random32()) % 16;
    if (n % 2 == 0)
        n += 1;
    for (int32_t i = 0; i < n; ++i)
        rotateCounterClockwise();
    vx = vy = 0;
    for (int32_t i = 0; i < 3; ++i)
        thrust();
    invulnerable = 0;
}

void Ship::loadImages()
{
    images = new gamelib::GameImageArray(16);
    for (int32_t s = 1; s <= 4; ++s) {
        const DStringPtr base = DStringPtr(u"spaceship") + s;
        (*images)[s - 1] = gamelib::requirePiece(base);
        (*images)[s + 3] = gamelib::requirePiece(base + u"_lv");
        (*images)[s + 7] = gamelib::requirePiece(base + u"_up");
        (*images)[s + 11] = gamelib::requirePiece(base + u"_dn");
    }
}

qev::lang::DintArrayPtr Ship::directionFromConfig()
{
    qev::lang::DintArrayPtr v = new qev::lang::DintArray(2);
    const int32_t s = step;
    auto dxOf = [](int32_t k) { return textNumber(DStringPtr(u"dx") + k + u"k"); };
    auto dyOf = [](int32_t k) { return textNumber(DStringPtr(u"dy") + k + u"k"); };
    switch (quadrantIndex()) {
    case 0:
        (*v)[0] = dxOf(s);
        (*v)[1] = dyOf(s);
        break;
    case 2:
        (*v)[0] = -dxOf(s);
        (*v)[1] = -dyOf(s);
        break;
    case 1:
        if (s == 4) {
            (*v)[0] = -4;
        } else {
            (*v)[0] = -dxOf(4 - s);
            (*v)[1] = dyOf(4 - s);
        }
        break;
    case 3:
        if (s == 4) {
            (*v)[0] = 4;
        } else {
            (*v)[0] = dxOf(4 - s);
            (*v)[1] = -dyOf(4 - s);
        }
        break;
    default:
        break;
    }
    return v;
}

void Ship::loseLife()
{
    if (noDamage || invulnerable)
        return;
    if (lives > 0) {
        lives -= 1;
        pendingTurns = random32() % 20;
        hitTime = blinkTime = now();
        invulnerable = 1;
        blinkVisible = 1;
    } else {
        lives = 0;
    }
}

void Ship::rotateCounterClockwise()
{
    thrustLevel = 0;
    step += 1;
    if (step > 4) {
        step = 1;
        quadrant = kQuadrants[(wrappingAbs(quadrantIndex()) + 1) % 4];
    }
    thrust();
}

void Ship::rotateClockwise()
{
    thrustLevel = 0;
    step -= 1;
    if (step < 1) {
        step = 4;
        quadrant = kQuadrants[(wrappingAbs(quadrantIndex()) + 3) % 4];
    }
    thrust();
}

void Ship::thrust()
{
    const int32_t level = thrustLevel + 1;
    if (level > thrustMax) {
        thrustLevel = thrustMax;
        return;
    }
    thrustLevel = level;
    const int32_t t = (*gamelib::thrustTable)[level];
    const int32_t px = dirX(step, quadrant) * t / 1000;
    const int32_t py = dirY(step, quadrant) * t / 1000;
    const int32_t nx = vx + px;
    const int32_t ny = vy + py;
    if (nx * nx + ny * ny < kSpeedLimitSquared) {
        vx = nx;
        vy = ny;
    }
}

void Ship::update()
{
    if (now() - hitTime > kInvulnerableMillis)
        invulnerable = 0;
    if (pendingTurns > 0) {
        rotateCounterClockwise();
        pendingTurns -= 1;
    } else if (pendingTurns < 0) {
        rotateClockwise();
        pendingTurns += 1;
    }
    const int32_t w = gamelib::screenWidth;
    const int32_t h = gamelib::screenHeight;
    if (starField) {
        for (int32_t j = 0; j < 3; ++j) {
            const int32_t scale = 8192 << (2 * j);
            for (int32_t i = j * 50; i < j * 50 + 50 && i < starField->length; ++i) {
                qev::lang::DintArrayPtr star = (*starField)[i];
                (*star)[0] = moveStar((*star)[0], -vx * scale, w << 16);
                (*star)[1] = moveStar((*star)[1], -vy * scale, h << 16);
            }
        }
    }
    x += vx;
    y += vy;
    if (boundsOn) {
        if (x > w) {
            x = w;
            vx = -vx;
        } else if (x < 0) {
            x = 0;
            vx = -vx;
        }
        if (y >= h) {
            y = h;
            vy = -vy;
        } else if (y < 0) {
            y = 0;
            vy = -vy;
        }
    } else {
        if (x > w + width / 4 + 1)
            x -= w + 1;
        else if (x < -(width / 4) - 1)
            x += w + 1;
        if (y > h + height / 4 + 1)
            y -= h + 1;
        else if (y < -(height / 4) - 1)
            y += h + 1;
    }
}

void Ship::paint()
{
    if (lives <= 0)
        return;
    const int32_t index = imageIndex();
    gamelib::GameImagePtr piece =
        images && index >= 0 && index < images->length ? (*images)[index] : gamelib::GameImagePtr();
    if (!piece) {
        qev::microedition::lcdui::DGraphicsPtr g = gamelib::screenGraphics;
        g->setColor(255, 0, 0);
        g->drawString(DStringPtr(u"spaceship") + step + quadrant + u" - not found", x, y + 15,
                      DGraphics::HCENTER | DGraphics::BASELINE);
        return;
    }
    const int32_t left = x - width / 2;
    const int32_t top = y - height / 2;
    bool visible = true;
    if (invulnerable) {
        if (now() - blinkTime > kBlinkMillis) {
            blinkTime = now();
            blinkVisible = !blinkVisible;
        }
        visible = blinkVisible != 0;
    }
    if (!visible)
        return;
    gamelib::drawGameImage(left, top, piece);
    if (!boundsOn) {
        const int32_t sw = gamelib::screenWidth;
        const int32_t sh = gamelib::screenHeight;
        int32_t cx = left;
        int32_t cy = top;
        if (left < 0)
            cx = left + sw;
        else if (left + width > sw)
            cx = left - sw;
        if (top < 0)
            cy = top + sh;
        else if (top + height > sh)
            cy = top - sh;
        if (cx != left || cy != top)
            gamelib::drawGameImage(cx, cy, piece);
    }
}

} // namespace mirrowfen
