// Gallery pictures: a background with overlays, composed from the picture list "/img/all.txt".
// Lines of one group share the digit in column 0; a line's payload starts at column 4. The first
// line of a group names the background, the later ones "name;x;y" overlays, drawn from the last
// line up to the one after the picture's own line.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
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

constexpr int32_t kPayloadColumn = 4;

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
    const int32_t count = static_cast<int32_t>(lines.size());
    // An empty list or a picture number below 1 has no line: the picture stays blank.
    if (count == 0)
        return;
    // n - 1 wraps like the device's arithmetic instead of overflowing.
    const int32_t t = static_cast<int32_t>(static_cast<uint32_t>(n) - 1u) % count;
    if (t < 0)
        return;
    const char16_t group = lines[static_cast<size_t>(t)]->charAt(0);
    int32_t first = t;
    while (first > 0 && lines[static_cast<size_t>(first - 1)]->charAt(0) == group)
        --first;
    int32_t last = t;
    while (last + 1 < count && lines[static_cast<size_t>(last + 1)]->charAt(0) == group)
        ++last;

    DImagePtr background = GameLib::loadImage(
        u"/img/" + lines[static_cast<size_t>(first)]->substring(kPayloadColumn) + u".jpg", 0);
    // A background smaller than the screen (176x220 shows the 176x208 set) is framed in black.
    GameMenu::clearAround(*g, background);
    g->drawImage(background, screenWidth / 2, screenHeight / 2,
                 DGraphics::HCENTER | DGraphics::VCENTER);
    const int32_t left = (screenWidth - background->getWidth()) / 2;
    const int32_t top = (screenHeight - background->getHeight()) / 2;
    for (int32_t d = last; d > t; --d) {
        DStringArrayPtr fields =
            splitText(lines[static_cast<size_t>(d)]->substring(kPayloadColumn), u';');
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
