// Level set-up: the background, the ship, rocks measured in small-rock units, and saucers whose
// number and kinds grow with the level.
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/ScreenPicture.h"

#include "microedition/lcdui/DGraphics.h"

using qev::lang::DStringPtr;

namespace mirrowfen {

namespace {

// Saucers of kind 1, 2 and 3 at a level.
int32_t saucerCount(int32_t kind, int32_t level)
{
    switch (kind) {
    case 1:
        return level % 3 == 0 ? 3 : level % 3;
    case 2:
        return level > 3 ? (level - 4) / 6 + 1 : 0;
    default:
        return level > 6 ? (level - 7) / 9 + 1 : 0;
    }
}

} // namespace

qev::microedition::lcdui::DImagePtr Mirrowfen::levelPicture(int32_t picture)
{
    using namespace gamelib;
    // A set's picture may be smaller than the screen (176 x 220 shows the 176 x 208 pictures):
    // what it leaves uncovered is empty space, not the new image's white.
    qev::microedition::lcdui::DImagePtr image = blankScreenPicture();
    GameLib::drawPicture(picture, image->getGraphics());
    return image;
}

void Mirrowfen::startLevel(int32_t level, int32_t startScore)
{
    using namespace gamelib;
    ScreenCanvas::clearKeys();
    qev::microedition::lcdui::DImagePtr picture = levelPicture((currentLevel - 1) % 5 + 15);
    backgroundImage =
        GameMenu::createShadeImage(picture, GameMenu::kShadePlayField, 0, screenWidth - 1);
    ship->reset();
    stepsSinceShot = 0;
    score = startScore;
    shotCount = 0;

    const int32_t units = wrappingAbs(random32() % 7);
    rocks = new FlyingOArray(units);
    for (int32_t used = 0, i = 0; used < units; ++i) {
        const int32_t left = units - used;
        int32_t size = 3;
        if (left >= 4)
            size = 2 + random32() % 2;
        else if (left >= 2)
            size = 1 + wrappingAbs(random32() % 2);
        used += size == 1 ? 4 : size == 2 ? 2 : 1;
        const int32_t variant = size == 3 ? 2 + random32() % 2 : 1 + wrappingAbs(random32() % 2);
        FlyingOPtr rock = new FlyingO(FlyingO::kRandom, 0, FlyingO::kRandom, 0, 1, size, variant,
                                      DStringPtr(), -1);
        if (i <= 4 && rock->dy >= 1)
            rock->dy = -rock->dy;
        (*rocks)[i] = rock;
    }

    const int32_t counts[3] = {saucerCount(1, level), saucerCount(2, level), saucerCount(3, level)};
    ufos = new FlyingOArray(counts[0] + counts[1] + counts[2]);
    rockets = new FlyingOArray(counts[2]);
    int32_t slot = 0;
    for (int32_t t = 1; t <= 3; ++t) {
        for (int32_t l = 0; l < counts[t - 1]; ++l) {
            FlyingOPtr ufo = new FlyingO(FlyingO::kRandom, 0, FlyingO::kRandom, 0, 1, 150, 150,
                                         DStringPtr(u"ufo") + t, 0);
            if (l <= 1 && ufo->dy > 0)
                ufo->dy = -ufo->dy;
            (*ufos)[slot++] = ufo;
        }
    }

    effectsInUse = 0;
    shotCount = 0;
    countdown = 0;
    for (int32_t row = 0; row < particles->length; ++row)
        (*particle(row))[P_FRAME] = -1;
    for (int32_t s = 0; s < kEffectSlots; ++s) {
        (*effect(s))[EFFECT_PHASE] = -1;
        (*effect(s))[EFFECT_LIVE] = 0;
    }
    for (int32_t i = 0; i < shots->length; ++i)
        (*shots)[i] = nullptr;
    for (int32_t i = 0; i < rockets->length; ++i)
        (*rockets)[i] = nullptr;
}

} // namespace mirrowfen
