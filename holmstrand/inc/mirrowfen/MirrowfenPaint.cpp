// Drawing of the game: the menu, gallery or play field with background, parallax stars,
// objects, saucer overlays, the ship, effect particles, the HUD panels and messages.
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "microedition/lcdui/DGraphics.h"

using gamelib::GameImage;
using gamelib::GameImagePtr;
using qev::lang::DintArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;

namespace mirrowfen {

namespace {

constexpr int32_t kTextAnchor = DGraphics::HCENTER | DGraphics::BASELINE;
constexpr int32_t kNumberAnchor = DGraphics::RIGHT | DGraphics::TOP;

bool meetsScreen(int32_t left, int32_t top, int32_t w, int32_t h)
{
    return left < gamelib::screenWidth && left + w > 0 && top < gamelib::screenHeight &&
           top + h > 0;
}

// A piece centred on (x, y), when it shows.
void drawCentred(const GameImagePtr& piece, int32_t x, int32_t y)
{
    if (!piece)
        return;
    const int32_t left = x - piece->w / 2;
    const int32_t top = y - piece->h / 2;
    if (meetsScreen(left, top, piece->w, piece->h))
        gamelib::drawGameImage(left, top, piece);
}

// The big saucer's size in the 240 x 320 set, where its scorch marks have their places.
constexpr int32_t kUfo3DesignWidth = 44;
constexpr int32_t kUfo3DesignHeight = 34;

// An offset given on a piece of the design size, moved to a piece of the given size (rounded).
int32_t scaledOffset(int32_t offset, int32_t size, int32_t designSize)
{
    if (size == designSize || size <= 0)
        return offset;
    return (offset * size * 2 + designSize) / (designSize * 2);
}

void drawFont(int32_t font, const DStringPtr& text, int32_t x, int32_t y, int32_t anchor)
{
    if (!gamelib::imageFonts || !text)
        return;
    gamelib::ImageFontPtr f = (*gamelib::imageFonts)[font];
    if (f)
        f->drawStringOnScreen(text, x, y, anchor);
}

} // namespace

void Mirrowfen::paint()
{
    using namespace gamelib;
    switch (gameState) {
    case STATE_MENU:
        menu->paint();
        return;
    case STATE_GALLERY:
        gallery->paint();
        return;
    case STATE_KEYS:
        if (keyConfig)
            keyConfig->paint(screenGraphics);
        return;
    default:
        break;
    }
    DGraphics& g = *screenGraphics;
    if (backgroundImage)
        g.drawImage(backgroundImage, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    if (starField) {
        for (int32_t layer = 0; layer < 3; ++layer) {
            g.setColor(gamelib::starColours[layer]);
            for (int32_t i = layer * 50; i < layer * 50 + 50 && i < starField->length; ++i) {
                DintArrayPtr star = (*starField)[i];
                const int32_t sx = (*star)[0] >> 16;
                const int32_t sy = (*star)[1] >> 16;
                g.drawLine(sx, sy, sx, sy);
            }
        }
    }
    if (gameState == STATE_GAME_OVER) {
        paintHud(gameOverText, 0);
        return;
    }
    if (gameState == STATE_LEVEL_CLEARED) {
        if (backgroundImage)
            g.drawImage(backgroundImage, 0, 0, DGraphics::TOP | DGraphics::LEFT);
        if (countdown >= 1)
            drawText(youWinText, screenWidth / 2, screenHeight / 2, kTextAnchor);
        else
            drawFont(FONT_HUD1, getText(u"pak"), screenWidth / 2, screenHeight - 2,
                     DGraphics::HCENTER | DGraphics::BOTTOM);
        return;
    }
    paintObjects(shots, shotCount);
    paintObjects(rockets, rockets ? rockets->length : 0);
    paintObjects(rocks, rocks ? rocks->length : 0);
    paintUfos();
    DStringPtr caption;
    if (gameState == STATE_INTRO)
        caption = DStringPtr(u"**") + levelText + u" " + currentLevel + u"**";
    paintHud(caption, 0);
    if (pauseImage)
        g.drawImage(pauseImage, screenWidth, screenHeight, DGraphics::RIGHT | DGraphics::BOTTOM);
}

void Mirrowfen::paintObjects(FlyingOArrayPtr array, int32_t n)
{
    if (!array)
        return;
    for (int32_t i = 0; i < n && i < array->length; ++i) {
        FlyingOPtr o = (*array)[i];
        if (!o || !o->imageName)
            continue;
        GameImagePtr piece = GameImage::fromAtlas(o->imageName);
        if (piece)
            o->draw(piece, piece->w, piece->h);
    }
}

void Mirrowfen::paintUfos()
{
    if (!ufos)
        return;
    for (int32_t i = 0; i < ufos->length; ++i) {
        FlyingOPtr ufo = (*ufos)[i];
        if (!ufo || !ufo->imageName)
            continue;
        const bool big = ufo->kind == FlyingO::KIND_BIG_UFO;
        GameImagePtr piece =
            GameImage::fromAtlas(big ? ufo->imageName : ufo->imageName + ufo->frame);
        if (!piece || !ufo->draw(piece, piece->w, piece->h) || !big)
            continue;
        GameImagePtr blink = GameImage::fromAtlas(DStringPtr(u"ufo3_blink") + ufo->frame % 2);
        if (!blink)
            continue;
        ufo->draw(blink, blink->w, blink->h);
        const int32_t left = ufo->x - blink->w / 2;
        const int32_t top = ufo->y - blink->h / 2;
        // The marks' places are those on the saucer drawn at its design size; a graphics set
        // that draws it larger or smaller moves them with it, so they stay on the hull.
        auto mark = [&](const char16_t* name, int32_t dx, int32_t dy) {
            GameImagePtr m = GameImage::fromAtlas(name);
            if (m)
                gamelib::drawGameImage(left + scaledOffset(dx, blink->w, kUfo3DesignWidth),
                                       top + scaledOffset(dy, blink->h, kUfo3DesignHeight), m);
        };
        if (ufo->hits < 4)
            mark(u"ufo3_damaged3", 17, 27);
        if (ufo->hits < 3)
            mark(u"ufo3_damaged2", 24, 4);
        if (ufo->hits < 2)
            mark(u"ufo3_damaged1", 2, 15);
    }
}

void Mirrowfen::paintHud(DStringPtr text, int32_t)
{
    using namespace gamelib;
    if (ship)
        ship->paint();
    for (int32_t slot = 0; slot < effectsInUse; ++slot)
        if ((*effect(slot))[EFFECT_PHASE] >= 0)
            paintExplosion(slot, 1);
    if (text)
        drawText(text, screenWidth / 2, screenHeight / 2, kTextAnchor);
    // A missing panel is left out; the numbers still show.
    if (lifePanel)
        drawGameImage(0, 0, lifePanel);
    if (scorePanel)
        drawGameImage(screenWidth - scorePanel->w, 0, scorePanel);
    drawFont(FONT_NUM1, DStringPtr(u"") + score, screenWidth - 4, 3, kNumberAnchor);
    drawFont(FONT_NUM1, DStringPtr(u"") + (ship ? ship->lives : 0), 40, 3, kNumberAnchor);
}

void Mirrowfen::drawText(DStringPtr text, int32_t x, int32_t y, int32_t anchor)
{
    drawFont(gamelib::FONT_HUD1, text, x, y, anchor);
}

void Mirrowfen::paintExplosion(int32_t slot, int32_t on)
{
    if (on == 0 || effectsInUse == 0)
        return;
    const int32_t base = kRowsPerEffect * slot;
    const int32_t sw = gamelib::screenWidth;
    const int32_t sh = gamelib::screenHeight;
    DintArrayPtr flash = particle(base);
    const int32_t flashFrame = (*flash)[P_FRAME];
    if (flashFrame >= 0 && flashFrame / 3 < 7 && waveImages) {
        const int32_t set = flashFrame % 3 - 1;
        const int32_t f = flashFrame / 3;
        gamelib::GameImageArrayPtr images =
            set >= 0 && set < 3 ? (*waveImages)[set] : gamelib::GameImageArrayPtr();
        GameImagePtr piece = images ? (*images)[f] : GameImagePtr();
        if (piece) {
            const int32_t x = (*flash)[P_X];
            const int32_t y = (*flash)[P_Y];
            const int32_t w = piece->w;
            const int32_t h = piece->h;
            auto quarter = [](const GameImagePtr& q, int32_t qx, int32_t qy) {
                if (q)
                    gamelib::drawGameImage(qx, qy, q);
            };
            if (x > 0 && x - w < sw && y + h > 0 && y < sh)
                quarter((*images)[f + 7], x - w, y);
            if (x > 0 && x - w < sw && y > 0 && y - h < sh)
                quarter(piece, x - w, y - h);
            if (x + w > 0 && x < sw && y > 0 && y - h < sh)
                quarter((*images)[f + 14], x, y - h);
            if (x + w > 0 && x < sw && y + h > 0 && y < sh)
                quarter((*images)[f + 21], x, y);
        }
    }
    if (sparkImages) {
        for (int32_t b = 5; b < kRowsPerEffect; ++b) {
            DintArrayPtr p = particle(base + b);
            const int32_t frame = (*p)[P_FRAME];
            if (frame < 0)
                continue;
            const int32_t index = b < 10 ? 0 : frame;
            if (index < sparkImages->length)
                drawCentred((*sparkImages)[index], (*p)[P_X], (*p)[P_Y]);
        }
    }
    if (debrisImages) {
        for (int32_t b = 1; b <= 4; ++b) {
            DintArrayPtr p = particle(base + b);
            const int32_t frame = (*p)[P_FRAME];
            if (frame >= 0 && frame < 13)
                drawCentred((*debrisImages)[frame], (*p)[P_X], (*p)[P_Y]);
        }
    }
}

} // namespace mirrowfen
