// Pictures, the formation, the per-level set-up and what moves behind the play: the formation's
// sway, the star field and the drifting planet, and the scheduler that sends ships on dives.
#include "corvantine/Corvantine.h"
#include "gamelib/ScreenPicture.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"
#include "lang/DInteger.h"

#include "lang/DExceptionBase.h"

#include <algorithm>

namespace corvantine {

using gamelib::Animation;
using gamelib::AnimationPtr;
using gamelib::GameImage;
using gamelib::GameImageArray;
using gamelib::GameImageArrayPtr;
using gamelib::GameImagePtr;
using qev::lang::DString;
using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;

namespace {

DStringPtr number(int32_t n)
{
    return qev::lang::DInteger::toString(n);
}

// Direction sprite i points i x 22.5 degrees clockwise from straight down.
const char16_t* const kDirectionPieces[kDirections] = {
    u"_1.png_lv", u"_2.png_lv", u"_3.png_lv", u"_4.png_lv", u"_1.png_up", u"_2.png_up",
    u"_3.png_up", u"_4.png_up", u"_1.png",    u"_2.png",    u"_3.png",    u"_4.png",
    u"_1.png_dn", u"_2.png_dn", u"_3.png_dn", u"_4.png_dn"};

// Flapping, then one clockwise turn.
const char16_t* const kFormationFrames[16] = {
    u"_1.png",    u"_5.png",    u"_1.png",    u"_5.png",   u"_1.png",    u"_5.png",
    u"_1.png",    u"_5.png",    u"_1.png",    u"_3.png",   u"_1.png_dn", u"_3.png_dn",
    u"_1.png_lv", u"_3.png_lv", u"_1.png_up", u"_3.png_up"};

constexpr int32_t kFormationDelay = 5;

AnimationPtr listedAnimation(const qev::util::DHashtablePtr& list, const char16_t* name,
                             int32_t delay)
{
    AnimationPtr animation =
        gamelib::requireListedAnimation(list, DStringPtr(name), u"/corv/anim.txt");
    animation->ticksPerFrame = delay;
    return animation;
}

AnimationPtr kindAnimation(int32_t kind)
{
    return AnimationPtr(static_cast<Animation*>((*kindAnimations)[kind].get()));
}

GameImageArrayPtr spritesOf(int32_t kind)
{
    return GameImageArrayPtr((*kindSprites)[kind].get());
}

int32_t starCount()
{
    return kStarLayers * kStarsPerLayer;
}

} // namespace

void Corvantine::loadPictures()
{
    shipImage = gamelib::requirePiece(u"ship.png");
    bulletImage = gamelib::requirePiece(u"bullet.png");
    lifeImage = gamelib::requirePiece(u"life.png");
    levelImage = gamelib::requirePiece(u"level.png");
    planetImages = new GameImageArray(kPlanets);
    for (int32_t i = 0; i < kPlanets; ++i)
        (*planetImages)[i] = gamelib::requirePiece(u"planet_" + number(i + 1) + u".png");

    kindSprites = new gamelib::GameImageArray2d(kKinds);
    kindAnimations = new qev::lang::DObjectArray(kKinds);
    for (int32_t k = 0; k < kKinds; ++k) {
        const DStringPtr prefix = u"fly" + number(k + 1);
        GameImageArrayPtr sprites = new GameImageArray(kDirections);
        for (int32_t i = 0; i < kDirections; ++i)
            (*sprites)[i] = gamelib::requirePiece(prefix + DStringPtr(kDirectionPieces[i]));
        (*kindSprites)[k] = sprites;
        DStringArrayPtr names = new DStringArray(16);
        for (int32_t i = 0; i < 16; ++i)
            (*names)[i] = prefix + DStringPtr(kFormationFrames[i]);
        AnimationPtr flapping = gamelib::requireAnimation(names, prefix, u"the formation");
        flapping->ticksPerFrame = kFormationDelay;
        (*kindAnimations)[k] = flapping;
    }

    qev::util::DHashtablePtr list =
        gamelib::loadTextTable(gamelib::GameLib::getResourceAsStream(u"/corv/anim.txt"), false);
    exhaustAnimation = listedAnimation(list, u"mainship", 2);
    shipExplosion = listedAnimation(list, u"explosion_ship", 4);
    bulletAnimation = listedAnimation(list, u"bullet", 2);
    bulletAnimation->reset();
    alienExplosion = listedAnimation(list, u"explosion_enemy", 2);

    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    GameImagePtr alienFrame = (*kindAnimation(0)->frames)[0];
    alienWidth = alienFrame->w;
    alienHeight = alienFrame->h;
    alienHalfWidth = alienWidth / 2;
    alienHalfHeight = alienHeight / 2;
    GameImagePtr blast = (*alienExplosion->frames)[0];
    explosionHalfWidth = blast->w / 2;
    explosionHalfHeight = blast->h / 2;
    shipWidth = shipImage->w;
    shipHeight = shipImage->h;
    shipHalfWidth = shipWidth / 2;
    GameImagePtr flame = (*exhaustAnimation->frames)[0];
    shipTop = height - flame->h - shipHeight;
    shipX = width / 2;
}

void Corvantine::buildFormation()
{
    formation = new AlienShipArray2d(kRows);
    for (int32_t r = kRows - 1; r >= 0; --r) {
        const int32_t count = (*gamelib::rowShips)[r];
        AlienShipArrayPtr row = new AlienShipArray(count);
        for (int32_t c = count / 2; c < count; ++c)
            (*row)[c] = new AlienShip();
        for (int32_t c = count / 2 - 1; c >= 0; --c)
            (*row)[c] = new AlienShip();
        for (int32_t c = 0; c < count; ++c) {
            AlienShipPtr ship = (*row)[c];
            ship->setImages(spritesOf(r));
            ship->setAnimations(kindAnimation(r), alienExplosion);
            ship->points = (*gamelib::rowValues)[r];
            ship->row = r;
            ship->column = c;
        }
        (*formation)[r] = row;
    }
    fleet = new AlienShipArray(kShips);
    int32_t n = 0;
    for (int32_t r = 0; r < kRows; ++r) {
        AlienShipArrayPtr row = (*formation)[r];
        for (int32_t c = 0; c < row->length; ++c)
            (*fleet)[n++] = (*row)[c];
    }
    candidates = new AlienShipArray(kCandidates);
    alienShotX = new qev::lang::DintArray(kAlienShots);
    alienShotY = new qev::lang::DintArray(kAlienShots);
    for (int32_t i = 0; i < kAlienShots; ++i)
        (*alienShotX)[i] = kFree;
}

void Corvantine::makeBackgroundTables()
{
    starX = new qev::lang::DintArray(starCount());
    starY = new qev::lang::DintArray(starCount());
}

void Corvantine::nextLevel()
{
    playEffect(SOUND_LEVEL_BEGIN);
    if (level == 1) {
        lives = 4;
        score = 0;
        bonusGiven = false;
    }
    if (level > levelCap) {
        gamelib::stopAllSounds();
        endGame();
        return;
    }
    diveLimit = level / 2 + 1;
    launchInterval = 300 - 8 * level;
    shotsPerDive = level / 4 + 2;
    launchTimer = 0;
    exploding = false;
    explosionFinished = false;
    stateTimer = 2000;
    gameState = STATE_INTRO;

    exhaustAnimation->reset();
    for (int32_t i = 0; i < kAlienShots; ++i)
        (*alienShotX)[i] = kFree;
    shotX = kFree;
    for (int32_t i = 0; i < fleet->length; ++i)
        (*fleet)[i]->state = AlienShip::IN_FORMATION;
    liveShips = kShips;
    for (int32_t r = 0; r < kRows; ++r)
        (*gamelib::rowShipsLeft)[r] = (*gamelib::rowShips)[r];

    placeFormation();

    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    // Black where a picture smaller than the screen leaves room, like the space around it.
    backgroundPicture = gamelib::blankScreenPicture();
    gamelib::ScreenCanvas::clearKeys();
    gamelib::GameLib::drawPicture((level - 1) % 5 + 20, backgroundPicture->getGraphics());
    if (backgroundPicture)
        backgroundPicture = gamelib::GameMenu::createShadeImage(
            backgroundPicture, gamelib::GameMenu::kShadePlayField, 0,
            backgroundPicture->getWidth() - 1);

    for (int32_t i = starCount() - 1; i >= 0; --i) {
        (*starX)[i] = randomBelow(width) << 16;
        (*starY)[i] = randomBelow(height) << 16;
    }
    planetIndex = 0;
    planetX = randomBelow(width) << 16;
    planetPause = 0;
    planetY = -((*planetImages)[0]->h << 16);
}

void Corvantine::placeFormation()
{
    const int32_t width = gamelib::screenWidth;
    const int32_t wa = alienWidth;
    const int32_t g = kColumnGap;
    int32_t m = 5 * (kRowGap + alienHeight) + 4;
    leftMargin = width;
    for (int32_t r = kRows - 1; r >= 0; --r) {
        AlienShipArrayPtr row = (*formation)[r];
        const int32_t count = row->length;
        const int32_t kind = kindOfRow(level, r);
        for (int32_t c = 0; c < count; ++c) {
            AlienShipPtr ship = (*row)[c];
            ship->setImages(spritesOf(kind));
            ship->setAnimations(kindAnimation(kind), alienExplosion);
        }
        int32_t x = r > 0 ? (width + wa + g) / 2 : (width - 2 * wa) / 2;
        for (int32_t c = count / 2; c < count; ++c) {
            AlienShipPtr ship = (*row)[c];
            ship->x = ship->homeX = x;
            ship->y = ship->homeY = m;
            ship->side = 1;
            x += r > 0 ? wa + g : 2 * wa;
        }
        // Row 0's two ships stand the other way round: column 0 right of column 1.
        x = r > 0 ? width / 2 - g / 2 - wa / 2 : (4 * (g + wa)) / 4 + width / 2;
        for (int32_t c = count / 2 - 1; c >= 0; --c) {
            AlienShipPtr ship = (*row)[c];
            ship->x = ship->homeX = x;
            ship->y = ship->homeY = m;
            ship->side = 0;
            leftMargin = std::min(leftMargin, x - wa);
            x -= r > 0 ? wa + g : (4 * (wa + g)) / 2;
        }
        // Rows are spaced by the alien width.
        m = m - wa - kRowGap;
    }
}

void Corvantine::swayStep()
{
    const int32_t before = swayOffset;
    if (!swayRight) {
        --swayOffset;
        if (leftMargin < 1 - before)
            swayRight = 1;
    } else {
        ++swayOffset;
        if (leftMargin < before + 1)
            swayRight = 0;
    }
}

void Corvantine::backgroundStep()
{
    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    for (int32_t layer = 0; layer < kStarLayers; ++layer) {
        const int32_t speed = (*gamelib::starLayerSpeeds)[layer];
        for (int32_t i = layer * kStarsPerLayer; i < (layer + 1) * kStarsPerLayer; ++i) {
            (*starY)[i] += speed;
            if (((*starY)[i] >> 16) > height) {
                (*starX)[i] = randomBelow(width) << 16;
                (*starY)[i] = 0;
            }
        }
    }
    if (planetPause > 0) {
        planetPause -= kPlayTimer;
        return;
    }
    if ((planetY >> 16) > height) {
        planetPause = kPlanetPause;
        planetIndex = randomBelow(kPlanets);
        GameImagePtr planet = (*planetImages)[planetIndex];
        planetX = (randomBelow(width) - planet->w / 2) << 16;
        planetY = -(planet->h << 16);
    }
    planetY += kPlanetSpeed;
}

void Corvantine::scheduleDives()
{
    int32_t away = 0;
    for (int32_t i = 0; i < fleet->length; ++i) {
        const int32_t s = (*fleet)[i]->state;
        if (s == AlienShip::LEAVING || s == AlienShip::DIVING ||
            (s == AlienShip::RETURNING && liveShips > kCrowdLimit))
            ++away;
    }
    launchTimer -= kPlayTimer;
    if (away < diveLimit && launchTimer <= 0) {
        const bool crowd = liveShips <= kCrowdLimit;
        if (crowd)
            diveLimit = kCrowdLimit;
        const qev::lang::DintArrayPtr left = gamelib::rowShipsLeft;
        const qev::lang::DintArrayPtr full = gamelib::rowShips;
        bool eligible[kRows];
        eligible[0] = crowd || (*left)[1] + (*left)[2] + (*left)[3] + (*left)[4] == 0;
        eligible[1] = crowd || (*left)[2] + (*left)[3] + (*left)[4] == 0;
        eligible[2] = (*left)[3] < (*full)[3] || (*left)[4] < (*full)[4];
        eligible[3] = eligible[4] = true;
        int32_t a = 0;
        for (int32_t r = 0; r < kRows; ++r) {
            if (!eligible[r])
                continue;
            AlienShipArrayPtr row = (*formation)[r];
            for (int32_t c = 0; c < row->length; ++c) {
                if ((*row)[c]->state < AlienShip::EXPLODING) {
                    (*candidates)[a++] = (*row)[c];
                    break;
                }
            }
            for (int32_t c = row->length - 1; c >= 0; --c) {
                if ((*row)[c]->state < AlienShip::EXPLODING) {
                    (*candidates)[a++] = (*row)[c];
                    break;
                }
            }
        }
        if (a > 0) {
            // A non-negative remainder: a negative random number must not pick below 0.
            const int32_t pick = std::min(a - 1, ((nextRandom() & 15) + 1) * (a - 1) / 16);
            AlienShipPtr ship = (*candidates)[pick];
            if (ship->state == AlienShip::IN_FORMATION ||
                (ship->state == AlienShip::RETURNING && crowd))
                ship->launch();
        }
        const int32_t k = (nextRandom() >> 24) + 1;
        launchTimer = launchInterval + (k * launchInterval) / 256;
    }
    for (int32_t i = 0; i < fleet->length; ++i)
        (*fleet)[i]->update();
}

} // namespace corvantine
