// One play step: input, the player's ship and shot, the alien shots, the formation and the
// dives, the hits, and the loss of the ship.
#include "corvantine/Corvantine.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"

#include "microedition/lcdui/DImage.h"

#include <algorithm>

namespace corvantine {

using gamelib::ScreenCanvas;

namespace {

void freeAllShots()
{
    shotX = kFree;
    for (int32_t i = 0; i < kAlienShots; ++i)
        (*alienShotX)[i] = kFree;
}

bool pauseRequested()
{
    if (gamelib::keySoftLeft || gamelib::keySoftRight || gamelib::keyPause)
        return true;
    if (!gamelib::pointerPressed)
        return false;
    const int32_t w = gamelib::pauseImage ? gamelib::pauseImage->getWidth() : 0;
    const int32_t h = gamelib::pauseImage ? gamelib::pauseImage->getHeight() : 0;
    return gamelib::pointerX <= w && gamelib::pointerY <= h;
}

void shipDestroyed(AlienShip& ship)
{
    Corvantine::addScore(ship.points);
    --(*gamelib::rowShipsLeft)[ship.row];
    --liveShips;
}

} // namespace

void Corvantine::addScore(int32_t points)
{
    const int32_t before = score;
    score += points;
    if (!bonusGiven && before < kBonusScore && score >= kBonusScore) {
        bonusGiven = true;
        ++lives;
        playEffect(SOUND_BONUS_SHIP);
    }
}

void Corvantine::loseLife()
{
    exploding = true;
    explosionFinished = false;
    shipExplosion->reset();
    freeAllShots();
    shotPause = kShotPause;
    playEffect(SOUND_SHIP_LOST);
    if (lives > 0) {
        --lives;
    } else {
        gameState = STATE_SHIP_LOST;
        stateTimer = 700;
    }
}

void Corvantine::playStep()
{
    if (gamelib::levelJumpFlag) {
        gamelib::levelJumpFlag = 0;
        // A number past the last level ends the game through the level set-up. 0 and below
        // are refused: their remainder of (level - 1) by 5 is negative, which would show and
        // unlock another game's picture, and from -2 down the level would have no dives.
        const int32_t n = gamelib::levelJumpNumber;
        if (n >= 1) {
            level = n;
            nextLevel();
            return;
        }
    }
    if (pauseRequested()) {
        ScreenCanvas::resetInput();
        if (gamelib::screenCanvas)
            gamelib::screenCanvas->rebuildKeyMap(0);
        setMenuMode(MODE_PAUSED);
        gameState = STATE_MENU;
        gamelib::pauseAllSounds();
        gamelib::playSound(SOUND_MENU, 1);
        // The rest of this step still runs.
    }

    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    bool stylusLeft = false;
    bool stylusRight = false;
    bool stylusFire = false;
    if (gamelib::pointerDragged) {
        gamelib::pointerDragged = 0;
        stylusLeft = gamelib::pointerX - shipX < -kStylusDeadZone;
        stylusRight = gamelib::pointerX - shipX > kStylusDeadZone;
    } else if (gamelib::doubleTap) {
        gamelib::doubleTap = 0;
        gamelib::pointerDragged = 0;
        gamelib::pointerPressed = 0;
        stylusFire = true;
    } else if (gamelib::pointerPressed) {
        stylusLeft = gamelib::pointerX - shipX < -kStylusDeadZone;
        stylusRight = gamelib::pointerX - shipX > kStylusDeadZone;
    }

    if (!exploding) {
        if (gamelib::keyRight || gamelib::keyAction14 || stylusRight) {
            if (shipX < width - shipHalfWidth)
                shipX = std::min(shipX + kShipSpeed, width - shipHalfWidth);
        } else if (gamelib::keyLeft || gamelib::keyAction15 || stylusLeft) {
            if (shipX > shipHalfWidth)
                shipX = std::max(shipX - kShipSpeed, shipHalfWidth);
        }
    }

    // Firing does not look at the exploding flag; loseLife frees the shot again.
    if ((gamelib::keyFire || gamelib::keyUp || stylusFire) && shotX == kFree && shotPause < 1) {
        playEffect(SOUND_PLAYER_FIRES);
        shotX = shipX;
        shotY = shipTop - bulletImage->h;
    }

    backgroundStep();
    if (shotPause > 0)
        shotPause -= kPlayTimer;

    if (!exploding) {
        if (shotX != kFree) {
            shotY -= kPlayerShotSpeed;
            if (shotY < 0) {
                shotX = kFree;
                shotPause = kShotPause;
            }
        }
        for (int32_t i = 0; i < kAlienShots; ++i) {
            if ((*alienShotX)[i] == kFree)
                continue;
            (*alienShotY)[i] += kAlienShotSpeed;
            const int32_t x = (*alienShotX)[i];
            const int32_t y = (*alienShotY)[i];
            if (y >= shipTop && x >= shipX - shipHalfWidth && x <= shipX + shipHalfWidth) {
                (*alienShotX)[i] = kFree;
                loseLife();
            } else if (y > height) {
                (*alienShotX)[i] = kFree;
            }
        }
        swayStep();
        scheduleDives();
        for (int32_t i = 0; i < fleet->length; ++i) {
            AlienShip& ship = *(*fleet)[i];
            if (ship.state >= AlienShip::EXPLODING)
                continue;
            bool shot = false;
            if (shotX != kFree && ship.hitTest(shotX, shotY, bulletImage->w, bulletImage->h)) {
                shotX = kFree;
                shotPause = kShotPause;
                shipDestroyed(ship);
                shot = true;
            }
            // Each collision costs a life, also several in one step, and also from a ship the
            // shot has just hit: that one still rams, but scores and counts only once.
            if (ship.hitTest(shipX - shipHalfWidth, shipTop, shipWidth, shipHeight)) {
                if (!shot)
                    shipDestroyed(ship);
                loseLife();
            }
            if (liveShips <= 0) {
                gameState = STATE_CLEARED;
                stateTimer = 700;
                break;
            }
        }
    } else if (explosionFinished) {
        exploding = false;
        explosionFinished = false;
        shotX = kFree;
        for (int32_t i = 0; i < fleet->length; ++i) {
            AlienShip& ship = *(*fleet)[i];
            if (ship.state == AlienShip::EXPLODING || ship.state == AlienShip::DESTROYED) {
                ship.state = AlienShip::DESTROYED;
                continue;
            }
            ship.state = AlienShip::IN_FORMATION;
            ship.x = ship.homeX + swayOffset;
            ship.y = ship.homeY;
            ship.sprite = 0;
        }
    }
}

} // namespace corvantine
