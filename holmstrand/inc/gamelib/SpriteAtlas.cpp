#include "gamelib/SpriteAtlas.h"

#include "gamelib/ClipKeeper.h"
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DInteger.h"
#include "lang/DintArray.h"

#include <algorithm>
#include <limits>

namespace gamelib {

using namespace qev::lang;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

qev::util::DHashtablePtr atlasPieces;
DImagePtr atlasSheet;
DImagePtr atlasMirrored;
DImagePtr atlasHalfTurned;
DImagePtr atlasQuarterTurned;
DImagePtr atlasThreeQuarterTurned;
int32_t atlasWidth = 0;
int32_t atlasHeight = 0;
DStringPtr atlasListName;

namespace {

constexpr int32_t kFields = 5;

void dropSheet()
{
    atlasSheet = atlasMirrored = atlasHalfTurned = atlasQuarterTurned = atlasThreeQuarterTurned =
        nullptr;
    atlasWidth = atlasHeight = 0;
}

// The list's name and line go into the message, so that a damaged list can be found.
[[noreturn]] void failLine(int32_t code, const DStringPtr& list, int32_t line, const char16_t* what)
{
    throwWithMessage(code, list + u" line " + line + u": " + what);
}

void readPieces(const qev::io::DInputStreamPtr& in, const DStringPtr& list)
{
    int32_t lineNumber = 0;
    for (DStringPtr line = readTextLine(in, false); line; line = readTextLine(in, false)) {
        ++lineNumber;
        DStringArrayPtr f = splitText(line, u';');
        if (f->length < kFields)
            failLine(ExceptionCode::ArrayIndexOutOfBoundsException, list, lineNumber,
                     u"fewer than five fields");
        DintArrayPtr rect(new DintArray(4));
        try {
            for (int32_t i = 0; i < 4; ++i)
                (*rect)[i] = DInteger::parseInt((*f)[i + 1]);
        } catch (DExceptionBase* e) {
            if (e->code != ExceptionCode::NumberFormatException)
                throw;
            delete e;
            failLine(ExceptionCode::NumberFormatException, list, lineNumber, u"not a number");
        }
        atlasPieces->put(DObjectPtr((*f)[0].get()), DObjectPtr(rect));
    }
}

int32_t clampToInt(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

void loadAtlas(DStringPtr name)
{
    if (!atlasPieces)
        atlasPieces = new qev::util::DHashtable(11, 75);
    atlasPieces->clear();
    dropSheet();
    DStringPtr list = name + u".txt";
    atlasListName = list;
    qev::io::DInputStreamPtr in = GameLib::openGraphicsStream(list);
    try {
        readPieces(in, list);
    } catch (...) {
        in->close();
        throw;
    }
    in->close();
    DImagePtr sheet = GameLib::loadImage(name + u".png", DImage::TRANS_NONE);
    if (!sheet)
        throwWithMessage(ExceptionCode::IOException, u"no atlas sheet " + name + u".png");
    atlasThreeQuarterTurned = DImage::createImage(sheet, DImage::TRANS_ROT270);
    atlasQuarterTurned = DImage::createImage(sheet, DImage::TRANS_ROT90);
    atlasHalfTurned = DImage::createImage(sheet, DImage::TRANS_ROT180);
    atlasMirrored = DImage::createImage(sheet, DImage::TRANS_MIRROR);
    atlasSheet = sheet;
    atlasWidth = sheet->getWidth();
    atlasHeight = sheet->getHeight();
}

void releaseAtlas()
{
    atlasPieces = nullptr;
    atlasListName = nullptr;
    dropSheet();
}

GameImagePtr requirePiece(DStringPtr pieceName)
{
    GameImagePtr piece = GameImage::fromAtlas(pieceName);
    if (!piece)
        throwWithMessage(ExceptionCode::IOException,
                         u"no piece " + pieceName + u" in " + atlasListText());
    return piece;
}

DStringPtr atlasListText()
{
    return atlasListName ? atlasListName : DStringPtr(u"the atlas");
}

void drawGameImage(int32_t x, int32_t y, GameImagePtr image)
{
    drawGameImage(screenGraphics, x, y, image);
}

void drawGameImage(DGraphicsPtr graphics, int32_t x, int32_t y, GameImagePtr image)
{
    drawGameImage(*graphics, x, y, *image);
}

void drawGameImage(DGraphics& g, int32_t x, int32_t y, const GameImage& piece)
{
    DImagePtr copy;
    int64_t left = int64_t(x) - piece.x;
    int64_t top = int64_t(y) - piece.y;
    switch (piece.transform) {
    case 0:
        copy = atlasSheet;
        break;
    case 2:
        copy = atlasMirrored;
        break;
    case 5:
        copy = atlasQuarterTurned;
        break;
    case 6:
        copy = atlasThreeQuarterTurned;
        break;
    case 3:
        // The rectangle is the sheet's: its corner in the half-turned copy is far from (x, y).
        copy = atlasHalfTurned;
        left = int64_t(x) + piece.x + piece.w - atlasWidth;
        top = int64_t(y) + piece.y + piece.h - atlasHeight;
        break;
    default:
        return;
    }
    if (!copy)
        return;
    ClipKeeper keep(g);
    g.setClip(x, y, piece.w, piece.h);
    g.drawImage(copy, clampToInt(left), clampToInt(top), DGraphics::TOP | DGraphics::LEFT);
}

} // namespace gamelib
