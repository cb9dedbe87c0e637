// Drawing of every state. Painting also completes the explosions: the player ship's return
// and an alien's destruction wait for the last painted frame.
#include "corvantine/Corvantine.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"
#include "lang/DInteger.h"

#include "microedition/lcdui/DGraphics.h"

namespace corvantine {

using qev::lang::DString;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;

namespace {

constexpr int32_t kTopCentre = DGraphics::TOP | DGraphics::HCENTER;
constexpr int32_t kBottomCentre = 0x20 | DGraphics::HCENTER;
constexpr int32_t kTopLeft = DGraphics::TOP | DGraphics::LEFT;

gamelib::ImageFontPtr font(int32_t index)
{
    if (!gamelib::imageFonts)
        return gamelib::ImageFontPtr();
    return (*gamelib::imageFonts)[index];
}

void text(int32_t index, const DStringPtr& s, int32_t x, int32_t y, int32_t anchor)
{
    if (gamelib::ImageFontPtr f = font(index))
        f->drawStringOnScreen(s, x, y, anchor);
}

int32_t fontHeight(int32_t index)
{
    gamelib::ImageFontPtr f = font(index);
    return f ? f->getHeight() : 0;
}

DStringPtr labelled(const char16_t* key, int32_t value)
{
    return gamelib::getText(DStringPtr(key)) + u" " + qev::lang::DInteger::toString(value);
}

void fillBlack()
{
    gamelib::screenGraphics->setColor(0);
    gamelib::screenGraphics->fillRect(0, 0, gamelib::screenWidth, gamelib::screenHeight);
}

} // namespace

void Corvantine::paint()
{
    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    switch (gameState) {
    case STATE_MENU:
        gameMenu->paint();
        break;
    case STATE_INTRO: {
        fillBlack();
        paintCentredTexts(labelled(u"level", level), labelled(u"score", score));
        if (lives >= 1) {
            const int32_t step = shipWidth + 3;
            const int32_t x0 = (width - lives * step) / 2;
            for (int32_t i = 0; i < lives; ++i)
                shipImage->draw(x0 + i * step, height / 2 + 3);
        }
        break;
    }
    case STATE_GAME_OVER:
        // Black like the intro; the loaded game-over picture is not shown.
        fillBlack();
        paintCentredTexts(gamelib::getText(u"gameover"), labelled(u"score", score));
        break;
    case STATE_GALLERY:
        if (gallery)
            gallery->paint();
        break;
    case STATE_REWARD:
        if (backgroundPicture)
            gamelib::screenGraphics->drawImageOpaque(backgroundPicture, 0, 0, kTopLeft);
        text(gamelib::FONT_HUD1, gamelib::getText(u"pak"), width / 2, height - 2, kBottomCentre);
        break;
    case STATE_KEYS:
        if (keyDialog)
            keyDialog->paint(gamelib::screenGraphics);
        break;
    default:
        paintPlayField();
        break;
    }
}

void Corvantine::paintCentredTexts(DStringPtr first, DStringPtr second)
{
    const int32_t d = fontHeight(gamelib::FONT_HUD1);
    const int32_t c = gamelib::screenHeight / 2;
    const int32_t x = gamelib::screenWidth / 2;
    text(gamelib::FONT_HUD1, first, x, c - 2 * d - 3, kTopCentre);
    text(gamelib::FONT_HUD1, second, x, c - d, kTopCentre);
}

void Corvantine::paintPlayField()
{
    const int32_t width = gamelib::screenWidth;
    qev::microedition::lcdui::DGraphicsPtr g = gamelib::screenGraphics;
    if (backgroundPicture)
        g->drawImageOpaque(backgroundPicture, 0, 0, kTopLeft);

    for (int32_t layer = 0; layer < kStarLayers; ++layer) {
        g->setColor((*gamelib::starLayerColours)[layer]);
        for (int32_t i = layer * kStarsPerLayer; i < (layer + 1) * kStarsPerLayer; ++i) {
            const int32_t x = (*starX)[i] >> 16;
            const int32_t y = (*starY)[i] >> 16;
            g->drawLine(x, y, x, y);
        }
    }
    if (planetPause < 1)
        (*planetImages)[planetIndex]->draw(planetX >> 16, planetY >> 16);

    if (exploding && !explosionFinished) {
        gamelib::GameImagePtr frame = (*shipExplosion->frames)[shipExplosion->frame];
        shipExplosion->paint(shipX - frame->w / 2, shipTop - frame->h / 2);
        explosionFinished = shipExplosion->wrapped != 0;
    } else {
        shipImage->draw(shipX - shipHalfWidth, shipTop);
        gamelib::GameImagePtr flame = (*exhaustAnimation->frames)[0];
        exhaustAnimation->paint(shipX - flame->w / 2, shipTop + shipHeight);
    }
    if (shotX == kFree && shotPause < 1 && !exploding)
        bulletImage->draw(shipX - bulletImage->w / 2, shipTop - bulletImage->h);
    for (int32_t i = 0; i < kAlienShots; ++i) {
        if ((*alienShotX)[i] != kFree)
            bulletImage->draw((*alienShotX)[i] - bulletImage->w / 2, (*alienShotY)[i]);
    }
    if (shotX != kFree) {
        gamelib::GameImagePtr frame = (*bulletAnimation->frames)[bulletAnimation->frame];
        bulletAnimation->paint(shotX - frame->w / 2, shotY);
    }
    for (int32_t i = 0; i < fleet->length; ++i)
        (*fleet)[i]->paint();

    const int32_t pauseWidth = gamelib::pauseImage ? gamelib::pauseImage->getWidth() : 0;
    text(gamelib::FONT_NUM0, qev::lang::DInteger::toString(score),
         gamelib::pauseImage ? pauseWidth + 2 : 0, 0, kTopLeft);
    for (int32_t i = 0; i < level; ++i)
        levelImage->draw(width - (i + 1) * levelImage->w, 0);
    for (int32_t i = 0; i < lives; ++i)
        lifeImage->draw(width - (i + 1) * lifeImage->w, levelImage->h);
    if (gamelib::pauseImage)
        g->drawImageOpaque(gamelib::pauseImage, 0, 0, kTopLeft);
}

} // namespace corvantine
