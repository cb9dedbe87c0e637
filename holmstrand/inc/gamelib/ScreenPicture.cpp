#include "gamelib/ScreenPicture.h"

#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DGraphics.h"

#include <algorithm>

namespace gamelib {

using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

DImagePtr blackImage(int32_t width, int32_t height)
{
    DImagePtr image = DImage::createImage(width, height);
    qev::microedition::lcdui::DGraphicsPtr g = image->getGraphics();
    g->setColor(0);
    g->fillRect(0, 0, width, height);
    return image;
}

} // namespace

DImagePtr blankScreenPicture()
{
    return blackImage(screenWidth, screenHeight);
}

DImagePtr coverScreen(const DImagePtr& picture)
{
    if (!picture)
        return picture;
    const int32_t w = picture->getWidth();
    const int32_t h = picture->getHeight();
    if (w >= screenWidth && h >= screenHeight)
        return picture;
    const int32_t width = std::max(w, screenWidth);
    const int32_t height = std::max(h, screenHeight);
    DImagePtr image = blackImage(width, height);
    image->getGraphics()->drawImageOpaque(picture, (width - w) / 2, (height - h) / 2,
                                          DGraphics::LEFT | DGraphics::TOP);
    return image;
}

} // namespace gamelib
