#include "tessarine/BrickList.h"

#include "gamelib/ScreenPicture.h"
#include "tessarine/Platform.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include "io/DDataInputStream.h"
#include "lang/DExceptionBase.h"
#include "lang/DcharArray.h"

#include <algorithm>

namespace tessarine {

using gamelib::GameImage;
using gamelib::GameImageArray;
using gamelib::GameImageArrayPtr;
using gamelib::GameImagePtr;
using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::lang::DString;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

GameImagePtr piece(const DStringPtr& name)
{
    return GameImage::fromAtlas(name);
}

GameImageArrayPtr pieces(const char16_t* prefix, int32_t first, int32_t count,
                         const char16_t* suffix)
{
    GameImageArrayPtr out = new GameImageArray(count);
    for (int32_t i = 0; i < count; ++i)
        (*out)[i] = piece(DStringPtr(new DString(prefix)) + (first + i) + suffix);
    return out;
}

// A copy of the picture with the band of columns from..to darkened (negative level) or
// lightened by |level| of 255.
DImagePtr shadeImage(const DImagePtr& source, int32_t level, int32_t from, int32_t to)
{
    const int32_t w = source->getWidth();
    const int32_t h = source->getHeight();
    DImagePtr copy = DImage::createImage(w, h);
    qev::microedition::lcdui::DGraphicsPtr graphics = copy->getGraphics();
    DGraphics& g = *graphics;
    g.drawImageOpaque(source, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    const int32_t n = to - from + 1;
    if (n <= 0)
        return copy;
    const int32_t alpha = std::min(255, level < 0 ? -level : level);
    const int32_t rgb = level > 0 ? 0xFFFFFF : 0;
    qev::lang::DintArrayPtr row = new qev::lang::DintArray(n);
    for (int32_t i = 0; i < n; ++i)
        (*row)[i] = static_cast<int32_t>((static_cast<uint32_t>(alpha) << 24) | rgb);
    for (int32_t yy = 0; yy < h; ++yy)
        g.drawRGB(row, 0, n, from, yy, n, 1, true);
    return copy;
}

} // namespace

BrickList::BrickList(int32_t ballRadius)
{
    columnGap = screenWidth == 208 ? -2 : 0;
    rowGap = 0;
    leftWall = new GameImageArray(4);
    rightWall = new GameImageArray(4);
    for (int32_t i = 0; i < 4; ++i) {
        DStringPtr name = DStringPtr(new DString(u"t")) + (i + 1) + u"_L.png";
        (*leftWall)[i] = piece(name);
        (*rightWall)[i] = piece(name + u"_mr");
    }
    topBorder = piece(DStringPtr(new DString(u"t1_L.png_dn")));
    brickImages = new GameImageArray(10);
    (*brickImages)[0] = piece(DStringPtr(new DString(u"b_flash.png")));
    (*brickImages)[3] = piece(DStringPtr(new DString(u"b3_0.png")));
    for (int32_t t = 4; t <= 7; ++t)
        (*brickImages)[t] = piece(DStringPtr(new DString(u"b")) + t + u".png");
    (*brickImages)[8] = piece(DStringPtr(new DString(u"b8_0.png")));
    (*brickImages)[9] = piece(DStringPtr(new DString(u"b9_0.png")));
    twoHitImages = pieces(u"b1_", 0, 2, u".png");
    threeHitImages = pieces(u"b2_", 0, 3, u".png");
    crackImages = pieces(u"b9_p", 0, 4, u".png");
    brickAnimations = new qev::lang::DTypedArray<gamelib::Animation>(4);
    const char16_t* const keys[4] = {u"b3dis", u"b3app", u"iskra", u"detonation"};
    for (int32_t i = 0; i < 4; ++i)
        (*brickAnimations)[i] = loadAnimation(DStringPtr(new DString(keys[i])));

    GameImagePtr corner = (*leftWall)[3];
    gridTop = corner ? corner->h : 0;
    GameImagePtr flash = (*brickImages)[0];
    const int32_t w = flash ? flash->w : 1;
    const int32_t h = flash ? flash->h : 1;
    cellWidth = w + 1;
    gridWidth = kColumns * (w + columnGap + 1);
    if (screenWidth + 2 < gridWidth + 2 * kBorderMargin) {
        cellWidth = w;
        gridWidth -= kColumns;
    }
    gridLeft = (screenWidth - gridWidth) / 2;
    cellHeight = h + 1;
    gridHeight = kRows * (h + rowGap + 1);
    if (screenHeight + 2 < gridHeight + kBottomMargin + gridTop) {
        cellHeight = h;
        gridHeight -= kRows;
    }
    Platform& pad = *paddle;
    if (screenHeight < pad.bottomMargin + 2 * ballRadius + pad.height + gridHeight + gridTop) {
        gridTop = std::clamp(
            screenHeight - 2 * ballRadius - gridHeight - pad.bottomMargin - pad.height, -2, 7);
        pad.bottomMargin =
            std::min(12, screenHeight - 2 * ballRadius - pad.height - gridHeight - gridTop);
    }
    grid = new BrickArray2d(kRows);
    for (int32_t r = 0; r < kRows; ++r) {
        (*grid)[r] = new BrickArray(kColumns);
        for (int32_t c = 0; c < kColumns; ++c)
            (*grid)[r][c] = new Brick(gridLeft + c * (cellWidth + columnGap),
                                      gridTop + r * (cellHeight + rowGap), c, r);
    }
    gridWidth = kColumns * (cellWidth + columnGap);
    gridHeight = kRows * (cellHeight + rowGap);
    bricksLayer = DImage::createImage(screenWidth, screenHeight);
    bricksGraphics = bricksLayer->getGraphics();
    wallsLayer = DImage::createImage(screenWidth, screenHeight);
    wallsGraphics = wallsLayer->getGraphics();
}

int32_t BrickList::columnAt(int32_t px)
{
    return (px - gridLeft) / (cellWidth + columnGap);
}

int32_t BrickList::rowAt(int32_t py)
{
    return (py - gridTop) / (cellHeight + rowGap);
}

int32_t BrickList::rowTop(int32_t r)
{
    return (gridTop + r * (cellHeight + rowGap)) * 16;
}

int32_t BrickList::rowBottom(int32_t r)
{
    return rowTop(r + 1);
}

int32_t BrickList::columnLeft(int32_t c)
{
    return (gridLeft + c * (cellWidth + columnGap)) * 16;
}

int32_t BrickList::columnRight(int32_t c)
{
    return columnLeft(c + 1);
}

Brick* BrickList::brickAt(int32_t r, int32_t c)
{
    if (r < 0 || r >= kRows || c < 0 || c >= kColumns)
        return nullptr;
    return (*grid)[r][c].operator->();
}

void BrickList::repaintNeighbours(int32_t r, int32_t c)
{
    qev::microedition::lcdui::DGraphicsPtr saved = drawTarget;
    drawTarget = bricksGraphics;
    for (int32_t side = -1; side <= 1; side += 2)
        if (Brick* b = brickAt(r, c + side))
            b->paint();
    drawTarget = saved;
}

int32_t BrickList::standingHitPoints()
{
    int32_t sum = 0;
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) {
            Brick* b = brickAt(r, c);
            if (b->counts())
                sum += b->hits;
        }
    return sum;
}

namespace {

// A byte, or -1 at the end. Files beside the program raise EOFException at their end where
// archive entries answer -1: both end a level's line alike.
int32_t nextByte(qev::io::DInputStream& in)
{
    try {
        return in.read();
    } catch (qev::lang::DExceptionBase* e) {
        if (e->code != qev::lang::ExceptionCode::EOFException)
            throw;
        delete e;
        return -1;
    }
}

} // namespace

DStringPtr BrickList::readLine(qev::io::DInputStreamPtr in)
{
    std::u16string bytes;
    for (;;) {
        const int32_t b = nextByte(*in);
        if (b < 0)
            break;
        if (b == 13) {
            nextByte(*in);
            break;
        }
        bytes.push_back(static_cast<char16_t>(b & 0xFF));
    }
    if (bytes.empty())
        return DStringPtr();
    return DStringPtr(new DString(bytes.data(), static_cast<int32_t>(bytes.size())));
}

void BrickList::cellOf(int32_t byte, int32_t& type, int32_t& hitPoints)
{
    static constexpr int32_t kTypes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 9};
    static constexpr int32_t kHits[10] = {2, 3, 1, 1, 1, 1, 1, 1, 2, 5};
    // The cell's letter in the shared brick alphabet; a byte outside it is an empty cell.
    const int32_t i = byte >= 0 && byte <= 0xFF
                          ? gamelib::brickLetters->indexOf(static_cast<char16_t>(byte))
                          : -1;
    if (i < 0 || i >= 10) {
        type = hitPoints = 0;
        return;
    }
    type = kTypes[i];
    hitPoints = kHits[i];
}

int32_t BrickList::pictureOf(int32_t level)
{
    const int32_t m = (level - 1) % 14;
    return (m < 0 ? m + 14 : m) + 1;
}

void BrickList::buildBackground()
{
    DImagePtr plain = gamelib::blankScreenPicture();
    gamelib::GameLib::drawPicture(pictureOf(levelNumber), plain->getGraphics());
    picture = shadeImage(plain, -100, 0, screenWidth - 1);
    DGraphics& g = *wallsGraphics;
    g.setClip(0, 0, screenWidth, screenHeight);
    g.setColor(0);
    g.fillRect(0, 0, screenWidth, screenHeight);
    g.drawImageOpaque(picture, screenWidth / 2, 0, DGraphics::TOP | DGraphics::HCENTER);
    drawWalls();
    g.setClip(0, 0, screenWidth, screenHeight);
}

void BrickList::drawWalls()
{
    DGraphics& g = *wallsGraphics;
    GameImagePtr tile = (*leftWall)[0];
    GameImagePtr corner = (*leftWall)[3];
    if (!tile || tile->h <= 0)
        return;
    const int32_t tw = tile->w;
    // Both walls stand inside the clip: the grid and a tile's width on either side.
    g.setClip(gridLeft - tw, 0, gridWidth + 2 * tw, screenHeight);
    const bool cornered = corner && gridTop >= corner->h;
    int32_t top = 0;
    if (cornered) {
        gamelib::drawGameImage(g, gridLeft - tw, 0, *corner);
        if (GameImagePtr rc = (*rightWall)[3])
            gamelib::drawGameImage(g, gridLeft + gridWidth, 0, *rc);
        top = corner->h;
    }
    for (int32_t i = 0; top + i * tile->h < screenHeight; ++i) {
        const int32_t yy = top + i * tile->h;
        if (GameImagePtr l = (*leftWall)[i % 3])
            gamelib::drawGameImage(g, gridLeft - tw, yy, *l);
        if (GameImagePtr r = (*rightWall)[i % 3])
            gamelib::drawGameImage(g, gridLeft + gridWidth, yy, *r);
    }
    if (cornered && topBorder && topBorder->w > 0) {
        const int32_t bw = topBorder->w;
        int32_t n = gridWidth / bw;
        int32_t f = (n + 1) * bw - gridWidth;
        if (f == bw) {
            n -= 1;
            f = 0;
        }
        for (int32_t i = 0; i <= n; ++i)
            gamelib::drawGameImage(g, i * bw + gridLeft - (i * f) / (n + 1), 0, *topBorder);
    }
}

void BrickList::loadLevel(int32_t level)
{
    DStringPtr name = DStringPtr(new DString(u"/data/tesk/data/round")) + (level < 10 ? u"0" : u"");
    name = name + level + u".txt";
    // Opened before anything is redrawn: when the file is missing the level in play keeps its
    // picture, walls and bricks as they are shown, and a caller that goes on with it plays
    // against the bricks the player sees.
    qev::io::DInputStreamPtr in = gamelib::GameLib::getResourceAsStream(name);
    levelNumber = level;
    buildBackground();
    remaining = 0;
    DGraphics& g = *bricksGraphics;
    g.setClip(0, 0, screenWidth, screenHeight);
    g.drawImageOpaque(wallsLayer, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    drawTarget = bricksGraphics;
    for (int32_t r = 0; r < kRows; ++r) {
        DStringPtr line = readLine(in);
        for (int32_t c = 0; c < kColumns; ++c) {
            int32_t type = 0;
            int32_t hitPoints = 0;
            if (line && c < line->length())
                cellOf(line->charAt(c), type, hitPoints);
            Brick& b = *(*grid)[r][c];
            b.init(type, hitPoints);
            if (type != 3 && type != 5)
                remaining += hitPoints;
            b.animation = nullptr;
            b.paint();
        }
    }
    in->close();
    drawTarget = gamelib::screenGraphics;
    // Every cell is cleared first: a brick of an unfinished level must not keep its bonus.
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) {
            Brick& b = *(*grid)[r][c];
            b.bonus = 0;
            if (b.type != 0 && b.type != 3 && b.type != 5) {
                const int32_t draw = randomRange(1, 16);
                if (draw < 13)
                    b.bonus = draw;
            }
        }
    playSoundOnce(SOUND_RESPAWN);
}

void BrickList::animateBricks()
{
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) {
            Brick& b = *(*grid)[r][c];
            if (b.type != 0)
                b.paintAnimation();
        }
}

} // namespace tessarine
