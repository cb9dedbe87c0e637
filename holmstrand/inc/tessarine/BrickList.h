// The level: the 21 x 11 brick grid, its geometry fitted to the screen, the brick images and
// animations, the layered background (picture and walls, then bricks), the score and the hit
// points still needed to clear the level.
#pragma once

#include "tessarine/Brick.h"

#include "io/DInputStream.h"
#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace tessarine {

class BrickList : public qev::lang::DObject
{
  public:
    static constexpr int32_t kBottomMargin = 12;
    static constexpr int32_t kBorderMargin = 6;

    // Needs the paddle (its margins may be lowered to fit) and the first ball's radius.
    explicit BrickList(int32_t ballRadius);
    const char* getClassName() override { return "BrickList"; }

    // Pixels in, pixels out.
    virtual int32_t columnAt(int32_t px);
    virtual int32_t rowAt(int32_t py);
    // Edges in 1/16 pixel.
    virtual int32_t rowTop(int32_t r);
    virtual int32_t rowBottom(int32_t r);
    virtual int32_t columnLeft(int32_t c);
    virtual int32_t columnRight(int32_t c);
    // Bytes up to a CR, then one dropped byte (the LF); null for an empty line. The end of the
    // stream ends the line.
    virtual qev::lang::DStringPtr readLine(qev::io::DInputStreamPtr in);
    // IOException when the level's file is missing, and then the level, its layers and its
    // counts stay as they were; short, empty or missing rows give empty cells.
    virtual void loadLevel(int32_t level);
    virtual void animateBricks();
    virtual void buildBackground();

    // Brick types and hit points of a level file's cell byte.
    static void cellOf(int32_t byte, int32_t& type, int32_t& hitPoints);
    // The gallery picture of a level (1..14).
    static int32_t pictureOf(int32_t level);
    // The brick at (row, column), null outside the grid.
    Brick* brickAt(int32_t r, int32_t c);
    // Paints the bricks beside (row, column) into the brick layer again (they may overlap).
    void repaintNeighbours(int32_t r, int32_t c);
    // Hit points of every brick that counts towards clearing.
    int32_t standingHitPoints();

    BrickArray2dPtr grid;
    int32_t remaining = 0;
    int32_t score = 0;
    int32_t cellWidth = 0;
    int32_t cellHeight = 0;
    int32_t gridTop = 0;
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
    int32_t levelNumber = 0;
    qev::microedition::lcdui::DImagePtr bricksLayer;
    qev::microedition::lcdui::DGraphicsPtr bricksGraphics;
    qev::microedition::lcdui::DImagePtr wallsLayer;
    qev::microedition::lcdui::DGraphicsPtr wallsGraphics;
    qev::microedition::lcdui::DImagePtr picture;
    gamelib::GameImageArrayPtr leftWall;
    gamelib::GameImageArrayPtr rightWall;
    gamelib::GameImagePtr topBorder;
    gamelib::GameImageArrayPtr brickImages;
    gamelib::GameImageArrayPtr twoHitImages;
    gamelib::GameImageArrayPtr threeHitImages;
    gamelib::GameImageArrayPtr crackImages;
    qev::lang::DPtr<qev::lang::DTypedArray<gamelib::Animation>> brickAnimations;

  private:
    void drawWalls();
};

using BrickListPtr = qev::lang::DPtr<BrickList>;

} // namespace tessarine
