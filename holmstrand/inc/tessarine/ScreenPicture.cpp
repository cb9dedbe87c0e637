#include "tessarine/ScreenPicture.h"

#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DGraphics.h"

namespace tessarine {

using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

DImagePtr blankScreenPicture()
{
    DImagePtr picture = DImage::createImage(screenWidth, screenHeight);
    qev::microedition::lcdui::DGraphicsPtr g = picture->getGraphics();
    g->setColor(0);
    g->fillRect(0, 0, screenWidth, screenHeight);
    return picture;
}

DImagePtr fitToScreen(const DImagePtr& picture)
{
    if (!picture || (picture->getWidth() >= screenWidth && picture->getHeight() >= screenHeight))
        return picture;
    DImagePtr fitted = blankScreenPicture();
    fitted->getGraphics()->drawImageOpaque(picture, screenWidth / 2, screenHeight / 2,
                                           DGraphics::HCENTER | DGraphics::VCENTER);
    return fitted;
}

} // namespace tessarine
