#include "gamelib/QuestionScreen.h"

#include "LangMenu/ShadedBackdrop.h"
#include "gamelib/GameLib.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"

#include <algorithm>

namespace gamelib {

using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImagePtr;

int32_t QuestionScreen::boxTop(int32_t boxWidth, int32_t boxHeight)
{
    const int32_t top = (screenHeight - boxWidth) / 2;
    if (top >= 0 && top + boxHeight <= screenHeight)
        return top;
    return std::max(0, (screenHeight - boxHeight) / 2);
}

void QuestionScreen::setUpBox(int32_t rows)
{
    boxWidth = 2 * (screenWidth / 3);
    rowHeight = imageFonts[FONT_MENU]->getHeight() + 4;
    boxX = (screenWidth - boxWidth) / 2;
    boxY = boxTop(boxWidth, rows * rowHeight);
    // The question works on a black screen as well.
    m_background = tolerant([] {
        DImagePtr picture = GameLib::loadImage(u"/menu/back.jpg", 0);
        const int32_t from = (picture->getWidth() - screenWidth) / 2 + (screenWidth / 3) / 2;
        return langmenu::drawShadedBackdrop(picture, kShadeLevel, from, picture->getWidth() - from);
    });
    m_okLabel = u"OK";
    lastActionTime = qev::lang::DSystem::currentTimeMillis();
}

void QuestionScreen::dropBox()
{
    m_background = nullptr;
    m_okLabel = nullptr;
}

void QuestionScreen::handleTap(int32_t height)
{
    const int64_t now = qev::lang::DSystem::currentTimeMillis();
    if (now - lastActionTime <= kTapGateMillis)
        return;
    const int32_t px = pointerX;
    const int32_t py = pointerY;
    if (px >= boxX && px <= boxX + boxWidth && py >= boxY && py <= boxY + height) {
        if (chooseRow((py - boxY) / rowHeight))
            keyFire = 1;
        lastActionTime = now;
        return;
    }
    const ImageFont& menu = *imageFonts[FONT_MENU];
    if (px > 4 && px <= menu.stringWidth(m_okLabel) + 5 &&
        py >= screenHeight - menu.getHeight() - 5 && py <= screenHeight - 5)
        keySoftLeft = 1;
}

void QuestionScreen::paintBox(DGraphicsPtr g, int32_t row) const
{
    g->setColor(0);
    g->fillRect(0, 0, screenWidth, screenHeight);
    if (m_background)
        g->drawImage(m_background, screenWidth / 2, screenHeight / 2,
                     DGraphics::HCENTER | DGraphics::VCENTER);
    if (row >= 0) {
        g->setColor(kHighlightColour);
        g->fillRect(boxX + 1, boxY + rowHeight * row + 1, boxWidth - 2, rowHeight - 2);
    }
    g->setColor(kTextColour);
}

void QuestionScreen::paintOkLabel(DGraphicsPtr g) const
{
    g->setColor(kOkColour);
    imageFonts[FONT_MENU]->drawString(g, m_okLabel, 5, screenHeight - rowHeight,
                                      DGraphics::TOP | DGraphics::LEFT);
}

int32_t QuestionScreen::textLift()
{
    return screenHeight > 320 ? 2 : 0;
}

} // namespace gamelib
