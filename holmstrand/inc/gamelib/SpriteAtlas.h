// The one loaded sprite atlas: a sheet image, its piece list ("name;x;y;w;h" per line) and four
// turned copies made once at load, so that drawing a turned piece is one clipped blit.
#pragma once

#include "gamelib/GameImage.h"

#include "microedition/lcdui/DGraphics.h"
#include "microedition/lcdui/DImage.h"
#include "util/DHashtable.h"

namespace gamelib {

// Piece name (with its file extension, as "ship.png") -> DintArray {x, y, w, h} in the sheet.
extern qev::util::DHashtablePtr atlasPieces;
extern qev::microedition::lcdui::DImagePtr atlasSheet;
extern qev::microedition::lcdui::DImagePtr atlasMirrored;           // transform 2
extern qev::microedition::lcdui::DImagePtr atlasHalfTurned;         // transform 3
extern qev::microedition::lcdui::DImagePtr atlasQuarterTurned;      // transform 5
extern qev::microedition::lcdui::DImagePtr atlasThreeQuarterTurned; // transform 6
extern int32_t atlasWidth;
extern int32_t atlasHeight;
// The piece list the atlas was loaded from ("/tesk/all.txt"), named when a piece is missing.
extern qev::lang::DStringPtr atlasListName;

// Replaces the atlas with name + ".txt" and name + ".png" of the graphics set. A line with fewer
// than five fields raises ArrayIndexOutOfBoundsException, a field that is not a number
// NumberFormatException; an empty line ends the list.
void loadAtlas(qev::lang::DStringPtr name);
// Drops the pieces, the sheet and its copies.
void releaseAtlas();

// A piece that a screen cannot do without: IOException naming the piece and the atlas's list
// when the list lacks it, so that damaged data is named when the screen starts rather than
// failing later without a name.
GameImagePtr requirePiece(qev::lang::DStringPtr pieceName);
// The atlas's list name for such messages.
qev::lang::DStringPtr atlasListText();

// Draws the piece with its top-left corner at (x, y), clipped to its size; the caller's clip is
// restored. A transform without copy draws nothing.
void drawGameImage(int32_t x, int32_t y, GameImagePtr image);
void drawGameImage(qev::microedition::lcdui::DGraphicsPtr g, int32_t x, int32_t y,
                   GameImagePtr image);
void drawGameImage(qev::microedition::lcdui::DGraphics& g, int32_t x, int32_t y,
                   const GameImage& image);

} // namespace gamelib
