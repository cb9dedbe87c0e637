// Gallery pictures: a background with overlays, composed from the picture list "/img/all.txt"
// as its plan says.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/PicturePlan.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DInteger.h"

#include <vector>

namespace gamelib {

using qev::lang::DInteger;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImagePtr;

namespace {

// An overlay position from the list may be any number: it wraps as on the device instead of
// overflowing.
int32_t wrappingSum(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

std::vector<DStringPtr> readPictureList()
{
    std::vector<DStringPtr> lines;
    qev::io::DInputStreamPtr in = GameLib::openGraphicsStream(u"/img/all.txt");
    for (DStringPtr line; (line = readTextLine(in, false));)
        lines.push_back(line);
    in->close();
    return lines;
}

void compose(int32_t n, const DGraphicsPtr& g)
{
    const std::vector<DStringPtr> lines = readPictureList();
    const PicturePlan plan = planPicture(lines, n);
    if (plan.background < 0)
        return;
    DImagePtr background = GameLib::loadImage(
        u"/img/" + picturePayload(lines[static_cast<size_t>(plan.background)]) + u".jpg", 0);
    // A background smaller than the screen (176x220 shows the 176x208 set) is framed in black.
    GameMenu::clearAround(*g, background);
    g->drawImage(background, screenWidth / 2, screenHeight / 2,
                 DGraphics::HCENTER | DGraphics::VCENTER);
    const int32_t left = (screenWidth - background->getWidth()) / 2;
    const int32_t top = (screenHeight - background->getHeight()) / 2;
    for (int32_t d : plan.overlays) {
        DStringArrayPtr fields = splitText(picturePayload(lines[static_cast<size_t>(d)]), u';');
        DImagePtr overlay = GameLib::loadImage(u"/img/dress/" + fields[0] + u".png", 0);
        g->drawImage(overlay, wrappingSum(DInteger::parseInt(fields[1]), left),
                     wrappingSum(DInteger::parseInt(fields[2]), top),
                     DGraphics::TOP | DGraphics::LEFT);
    }
}

} // namespace

void GameLib::drawPicture(int32_t n, DGraphicsPtr g)
{
    tolerant([&] { compose(n, g); });
}

} // namespace gamelib
