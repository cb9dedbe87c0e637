// Painting of every state: the menu pages, play with its HUD and particles, and the pictures
// between levels.
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include <algorithm>

namespace tessarine {

using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;

namespace {

gamelib::ImageFont* font(int32_t index)
{
    if (!gamelib::imageFonts || index >= gamelib::imageFonts->length)
        return nullptr;
    gamelib::ImageFontPtr f = (*gamelib::imageFonts)[index];
    return f.operator->() ? &*f : nullptr;
}

// Debris colour of a brick type; false for types whose debris is not drawn.
bool debrisColour(int32_t type, int32_t& r, int32_t& g, int32_t& b)
{
    switch (type) {
    case Brick::TYPE_TWO_HIT:
    case Brick::TYPE_THREE_HIT:
        r = 255, g = 58, b = 178;
        return true;
    case Brick::TYPE_DETONATOR:
        r = 73, g = 189, b = 255;
        return true;
    case Brick::TYPE_PLAIN:
        r = 235, g = 74, b = 6;
        return true;
    case Brick::TYPE_PLAIN_B:
        r = 68, g = 255, b = 15;
        return true;
    case Brick::TYPE_BOMB:
        r = 255, g = 88, b = 230;
        return true;
    case Brick::TYPE_FIVE_HIT:
        r = 255, g = 255, b = 255;
        return true;
    default:
        return false;
    }
}

void drawText(int32_t index, const DStringPtr& text, int32_t x, int32_t y, int32_t anchor)
{
    if (gamelib::ImageFont* f = font(index))
        f->drawString(gamelib::screenGraphics, text, x, y, anchor);
}

int32_t textWidth(int32_t index, const DStringPtr& text)
{
    gamelib::ImageFont* f = font(index);
    return f ? f->stringWidth(text) : 0;
}

} // namespace

void Tessarine::paintParticles()
{
    if (!particles)
        return;
    DGraphics& g = *gamelib::screenGraphics;
    for (int32_t i = 0; i < particles->length; ++i) {
        qev::lang::DintArray& p = *(*particles)[i];
        const int32_t kind = p[0];
        if (kind == 0)
            continue;
        const int32_t px = p[1] >> 16;
        const int32_t py = p[2] >> 16;
        const int32_t age = p[5];
        if (kind == 1 || kind == 2) {
            const int32_t j = std::clamp((12750 - 255 * age) / 50, 0, 255);
            g.setColor(j, j, kind == 1 ? 0 : j);
            g.drawLine(px, py, px, py);
        } else if (kind == 3) {
            int32_t r = 0, gr = 0, b = 0;
            if (!debrisColour(p[6], r, gr, b))
                continue;
            const int32_t keep = std::max(0, 50 - age);
            g.setColor(r * keep / 50, gr * keep / 50, b * keep / 50);
            g.fillRect(px, py, 1, 1);
        }
    }
}

void Tessarine::paintHud()
{
    BrickList& list = *brickList;
    int32_t iconW = 0;
    if (lifeIcon) {
        // Level with the text's foot; an icon taller than the text stays below the top wall.
        lifeIcon->draw(gridLeft + 1, std::max(list.gridTop, list.gridTop - lifeIcon->h + 12));
        iconW = lifeIcon->w;
    }
    const DStringPtr times(u"x");
    const int32_t tx = gridLeft + iconW + 2;
    drawText(gamelib::FONT_HUD0, times, tx, list.gridTop, DGraphics::TOP | DGraphics::LEFT);
    drawText(gamelib::FONT_NUM0, DStringPtr(u"") + lives, tx + textWidth(gamelib::FONT_HUD0, times),
             list.gridTop, DGraphics::TOP | DGraphics::LEFT);
    const int32_t pauseW = gamelib::pauseImage ? gamelib::pauseImage->getWidth() : 0;
    const int32_t m = std::max(gridLeft, pauseW + 2);
    // Inside the right wall by a pixel, as the icon is inside the left one; the grid is centred
    // with the odd pixel on the right, where the margin alone would reach into the wall.
    const int32_t right = std::min(screenWidth - m, gridLeft + list.gridWidth - 1);
    drawText(gamelib::FONT_NUM0, DStringPtr(u"") + list.score, right, list.gridTop,
             DGraphics::TOP | DGraphics::RIGHT);
}

void Tessarine::paintPlay()
{
    DGraphics& g = *gamelib::screenGraphics;
    BrickList& list = *brickList;
    g.setClip(0, 0, screenWidth, screenHeight);
    g.fillRect(0, 0, screenWidth, screenHeight);
    g.drawImageOpaque(list.bricksLayer, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    list.animateBricks();
    paddle->paint();
    int32_t carriers = 0;
    for (int32_t i = 0; i < enemies->length; ++i) {
        Enemy& e = *(*enemies)[i];
        e.paint();
        if (e.active && e.carriedBall)
            ++carriers;
    }
    int32_t visibleBalls = 0;
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i) {
        all[i]->paint();
        if (all[i]->visible)
            ++visibleBalls;
    }
    if (carriers > 0 && visibleBalls == carriers) {
        // Every ball on screen is carried: a ball still in play goes back to the paddle, keeping
        // its own size.
        bool returned = false;
        for (int32_t i = 0; i < all.length && !returned; ++i) {
            Ball& b = *all[i];
            if (b.active && b.released) {
                b.released = 0;
                b.visible = 1;
                b.active = 1;
                b.setPosition(paddle->x + b.radius, paddle->y - 1);
                returned = true;
            }
        }
        // With every ball carried off nothing is left to play with, and no life is lost for
        // it either: the paddle gets a new ball, or the round could never end.
        if (!returned)
            giveCarriedOffBallBack();
    }
    paintHud();
    paintParticles();
    if (gamelib::pauseImage)
        g.drawImageOpaque(gamelib::pauseImage, screenWidth, 0, DGraphics::TOP | DGraphics::RIGHT);
}

void Tessarine::giveCarriedOffBallBack()
{
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i) {
        Ball& b = *all[i];
        bool carried = false;
        for (int32_t j = 0; j < enemies->length; ++j)
            carried = carried || (*enemies)[j]->carriedBall.get() == &b;
        if (b.active || carried)
            continue;
        b.resetOnPlatform(paddle->x + b.radius, paddle->y - 1);
        paddle->ballsInPlay = std::max(paddle->ballsInPlay, 1);
        return;
    }
}

void Tessarine::paintMessage(DStringPtr first, DStringPtr second)
{
    gamelib::ImageFont* f = font(gamelib::FONT_HUD1);
    const int32_t h = f ? f->getHeight() : 0;
    const int32_t anchor = DGraphics::TOP | DGraphics::HCENTER;
    drawText(gamelib::FONT_HUD1, first, screenWidth / 2, screenHeight / 2 - 2 * h - 3, anchor);
    drawText(gamelib::FONT_HUD1, second, screenWidth / 2, screenHeight / 2 - h, anchor);
}

void Tessarine::paint()
{
    DGraphics& g = *gamelib::screenGraphics;
    switch (gameState) {
    case STATE_LOADING:
        g.setClip(0, 0, screenWidth, screenHeight);
        g.setColor(0x721112);
        g.fillRect(0, 0, screenWidth, screenHeight);
        if (splash)
            g.drawImage(splash, screenWidth / 2, screenHeight / 2,
                        DGraphics::HCENTER | DGraphics::VCENTER);
        break;
    case STATE_MENU:
    case STATE_HELP:
    case STATE_LEVEL_CHOICE:
        gameMenu->paint();
        break;
    case STATE_HIGHSCORES:
        highscoreMenu->paint();
        break;
    case STATE_KEY_CONFIG:
        if (keyDialog)
            keyDialog->paint(gamelib::screenGraphics);
        break;
    case STATE_GALLERY:
        if (gallery)
            gallery->paint();
        break;
    case STATE_PLAYING:
        paintPlay();
        break;
    case STATE_ALL_DONE:
    case STATE_GET_READY: {
        g.setClip(0, 0, screenWidth, screenHeight);
        g.setColor(0);
        g.fillRect(0, 0, screenWidth, screenHeight);
        if (brickList->picture)
            g.drawImage(brickList->picture, screenWidth / 2, 0,
                        DGraphics::TOP | DGraphics::HCENTER);
        const DStringPtr scoreLine = (scoreLabel ? scoreLabel : DStringPtr(u"")) + score();
        if (gameState == STATE_ALL_DONE)
            paintMessage(gamelib::getText(DStringPtr(u"gamecomplete")), scoreLine);
        else if (lives > 0)
            paintMessage(gamelib::getText(DStringPtr(u"level")) + u" " + level, scoreLine);
        else
            paintMessage(gamelib::getText(DStringPtr(u"gameover")), scoreLine);
        break;
    }
    case STATE_LEVEL_CLEARED:
        g.setClip(0, 0, screenWidth, screenHeight);
        if (brickList->picture)
            g.drawImage(brickList->picture, 0, 0, DGraphics::TOP | DGraphics::LEFT);
        drawText(gamelib::FONT_HUD1, gamelib::getText(DStringPtr(u"pak")), screenWidth / 2,
                 screenHeight - 2, DGraphics::BOTTOM | DGraphics::HCENTER);
        break;
    default:
        break;
    }
}

} // namespace tessarine
