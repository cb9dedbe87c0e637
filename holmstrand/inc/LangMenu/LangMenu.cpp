#include "LangMenu/LangMenu.h"

#include "LangMenu/ShadedBackdrop.h"
#include "gamelib/GameLib.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"

namespace langmenu {

using namespace gamelib;
using qev::lang::DExceptionBase;
using qev::lang::DObjectPtr;
using qev::lang::DString;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::lang::DSystem;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImagePtr;
using qev::util::DVector;
using qev::util::DVectorPtr;

namespace {

DVectorPtr vectorOf(const DStringArrayPtr& parts)
{
    DVectorPtr v = new DVector();
    for (int32_t i = 0; i < parts->length; ++i)
        v->addElement(DObjectPtr(DStringPtr(parts[i])));
    return v;
}

} // namespace

LangMenu::LangMenu()
{
    languageIndex = -1;
}

void LangMenu::readLanguages()
{
    try {
        loadTextFile(u"/txt/lang", true);
    } catch (DExceptionBase* e) {
        // Without the list the keys stand for themselves: one language, chosen at once.
        if (!swallowable(e))
            throw;
    }
    languageNames = vectorOf(splitText(getText(u"LANGS"), u';'));
    languageShortNames = vectorOf(splitText(getText(u"SNAMES"), u';'));
    languageCount = languageNames->size();
}

int32_t LangMenu::boxTop(int32_t boxWidth, int32_t boxHeight)
{
    if (screenWidth > screenHeight)
        return (screenHeight - boxHeight) / 2;
    return (screenHeight - boxWidth) / 2;
}

void LangMenu::start()
{
    languageIndex = -1;
    readLanguages();
    if (languageNames->size() != languageShortNames->size() || languageCount == 1)
        languageIndex = 0;

    const ImageFont& menu = *imageFonts[FONT_MENU];
    boxWidth = 2 * (screenWidth / 3);
    rowHeight = menu.getHeight() + 4;
    listHeight = rowHeight * languageCount;
    boxX = (screenWidth - boxWidth) / 2;
    boxY = boxTop(boxWidth, listHeight);
    try {
        DImagePtr picture = GameLib::loadImage(u"/menu/back.jpg", 0);
        const int32_t from = (picture->getWidth() - screenWidth) / 2 + (screenWidth / 3) / 2;
        m_background = drawShadedBackdrop(picture, kShadeLevel, from, picture->getWidth() - from);
    } catch (DExceptionBase* e) {
        // The question works on a black screen as well.
        if (!swallowable(e))
            throw;
        m_background = nullptr;
    }
    m_okLabel = u"OK";
    lastActionTime = DSystem::currentTimeMillis();
}

void LangMenu::update()
{
    if (languageIndex < 0)
        languageIndex = 0;
    if (!anyKey && !pointerPressed)
        return;
    if (keyUp || keyAction14)
        languageIndex = languageIndex == 0 ? languageCount - 1 : languageIndex - 1;
    else if (keyDown || keyAction15)
        languageIndex = languageIndex + 1 >= languageCount ? 0 : languageIndex + 1;
    if (pointerPressed) {
        handlePointer();
        pointerPressed = 0;
    }
    if ((keyFire || keySoftLeft) && languageIndex >= 0) {
        screenCanvas->flushGraphics();
        gameLib->startApp();
    }
    ScreenCanvas::clearKeys();
}

void LangMenu::handlePointer()
{
    const int64_t now = DSystem::currentTimeMillis();
    if (now - lastActionTime <= kTapGateMillis)
        return;
    const int32_t px = pointerX;
    const int32_t py = pointerY;
    if (px >= boxX && px <= boxX + boxWidth && py >= boxY && py <= boxY + listHeight) {
        const int32_t row = (py - boxY) / rowHeight;
        if (row >= 0 && row < languageCount) {
            languageIndex = row;
            keyFire = 1;
        }
        lastActionTime = now;
    } else if (px > 4) {
        const ImageFont& menu = *imageFonts[FONT_MENU];
        if (px <= menu.stringWidth(m_okLabel) + 5 && py >= screenHeight - menu.getHeight() - 5 &&
            py <= screenHeight - 5)
            keySoftLeft = 1;
    }
}

void LangMenu::paint()
{
    paintOn(screenGraphics);
}

void LangMenu::paintOn(DGraphicsPtr g)
{
    g->setColor(0);
    g->fillRect(0, 0, screenWidth, screenHeight);
    if (m_background)
        g->drawImage(m_background, screenWidth / 2, screenHeight / 2,
                     DGraphics::HCENTER | DGraphics::VCENTER);
    if (languageIndex >= 0) {
        g->setColor(kHighlightColour);
        g->fillRect(boxX + 1, boxY + rowHeight * languageIndex + 1, boxWidth - 2, rowHeight - 2);
    }
    g->setColor(kTextColour);
    const ImageFont& menu = *imageFonts[FONT_MENU];
    const int32_t lift = screenHeight > 320 ? 2 : 0;
    for (int32_t i = 0; i < languageCount; ++i) {
        DStringPtr name = qev::lang::dcast<DString>(languageNames->elementAt(i));
        menu.drawString(g, name, boxX + boxWidth / 2, boxY + i * rowHeight + rowHeight / 2 - lift,
                        DGraphics::HCENTER | DGraphics::BASELINE);
    }
    g->setColor(kOkColour);
    menu.drawString(g, m_okLabel, 5, screenHeight - rowHeight, DGraphics::TOP | DGraphics::LEFT);
}

void LangMenu::stop()
{
    m_background = nullptr;
    m_okLabel = nullptr;
    languageNames = nullptr;
    languageShortNames = nullptr;
}

} // namespace langmenu
