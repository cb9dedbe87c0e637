// Any bytes as a sprite atlas's piece list ("name;x;y;w;h" lines) beside a small sheet: loading
// gives the atlas or ArrayIndexOutOfBoundsException / NumberFormatException, and every piece of
// a loaded atlas, whatever its rectangle, draws in each of its turns without a fault.
#include "ProgramFolder.h"

#include "gamelib/GameImage.h"
#include "gamelib/GameLib.h"
#include "gamelib/SpriteAtlas.h"

#include "lang/DString.h"
#include "microedition/lcdui/DGraphics.h"

#include <cstdlib>

using namespace qev::lang;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;

namespace {

constexpr int32_t kSheetWidth = 24;
constexpr int32_t kSheetHeight = 12;

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    fuzzsupport::useScreen(240, 320);
    gamelib::graphicsSet = u"fz";
    fuzzsupport::writeFile("/graphics/fz/sprites.png",
                           fuzzsupport::png(kSheetWidth, kSheetHeight, 0x3366CC));
}

void drawEveryPiece(const DGraphicsPtr& g)
{
    static const char16_t* const kEndings[] = {u"", u"_mr", u"_lv", u"_dn", u"_up"};
    qev::util::DEnumerationPtr keys = gamelib::atlasPieces->keys();
    for (int pieces = 0; keys->hasMoreElements() && pieces < 32; ++pieces) {
        DStringPtr name = dcast<DString>(keys->nextElement());
        for (const char16_t* ending : kEndings) {
            gamelib::GameImagePtr image = gamelib::GameImage::fromAtlas(name + ending);
            // Every listed piece is found in every turn; only a name that itself ends like a
            // turn reads as another piece when asked for plainly.
            if (!image && *ending)
                std::abort();
            if (!image)
                continue;
            gamelib::drawGameImage(g, 3, 5, image);
            gamelib::drawGameImage(g, -7, 300, image);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    prepareOnce();
    fuzzsupport::writeFile("/graphics/fz/sprites.txt", data, size);
    try {
        gamelib::loadAtlas(u"/sprites");
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {ExceptionCode::ArrayIndexOutOfBoundsException,
                                    ExceptionCode::NumberFormatException});
        return 0;
    }
    if (!gamelib::atlasSheet || gamelib::atlasWidth != kSheetWidth ||
        gamelib::atlasHeight != kSheetHeight)
        std::abort();
    qev::microedition::lcdui::DImagePtr target = DImage::createImage(64, 48);
    DGraphicsPtr g = target->getGraphics();
    g->setClip(2, 3, 50, 40);
    drawEveryPiece(g);
    // The caller's clip survives every draw.
    if (g->getClipX() != 2 || g->getClipY() != 3 || g->getClipWidth() != 50 ||
        g->getClipHeight() != 40)
        std::abort();
    return 0;
}
