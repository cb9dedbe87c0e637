// A sprite: one piece of the current sprite atlas, drawn straight, mirrored or turned. The
// rectangle is the piece's place in the atlas copy that belongs to its transform.
#pragma once

#include "lang/DString.h"
#include "lang/DTypedArray.h"

#include <cstdint>

namespace gamelib {

class GameImage;
using GameImagePtr = qev::lang::DPtr<GameImage>;

class GameImage : public qev::lang::DObject
{
  public:
    GameImage(int32_t x, int32_t y, int32_t w, int32_t h);
    const char* getClassName() override { return "GameImage"; }

    // Moves the rectangle into the atlas copy of transform t (2 mirror, 3 half turn, 5 quarter
    // turn clockwise, 6 three-quarter turn); other values keep it.
    virtual void setTransform(int32_t t);

    // The piece of the current atlas, or null when it has none. A name ending in "_mr", "_lv",
    // "_dn" or "_up" is the piece without that ending, mirrored, half turned, quarter turned or
    // three-quarter turned.
    static GameImagePtr fromAtlas(qev::lang::DStringPtr pieceName);

    // Draws with the top-left corner at (x, y) on the screen.
    void draw(int32_t x, int32_t y);

    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
    int32_t transform = 0;
};

class GameImageArray : public qev::lang::DTypedArray<GameImage>
{
  public:
    using qev::lang::DTypedArray<GameImage>::DTypedArray;
};
using GameImageArrayPtr = qev::lang::DPtr<GameImageArray>;

// Rows of GameImageArray.
class GameImageArray2d : public qev::lang::DArray2dOf<GameImageArray>
{
  public:
    using qev::lang::DArray2dOf<GameImageArray>::DArray2dOf;
    const char* getClassName() override { return "GameImageArray2d"; }
};
using GameImageArray2dPtr = qev::lang::DPtr<GameImageArray2d>;

} // namespace gamelib
