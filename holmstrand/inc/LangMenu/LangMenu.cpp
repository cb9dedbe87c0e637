#include "LangMenu/LangMenu.h"

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

void LangMenu::start()
{
    languageIndex = -1;
    readLanguages();
    if (languageNames->size() != languageShortNames->size() || languageCount == 1)
        languageIndex = 0;

    setUpBox();
    listHeight = rowHeight * languageCount;
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
    if (!tapGateOpen(now))
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
    } else if (onOkLabel(px, py)) {
        keySoftLeft = 1;
    }
}

void LangMenu::paint()
{
    paintOn(screenGraphics);
}

void LangMenu::paintOn(DGraphicsPtr g)
{
    paintBox(g, languageIndex);
    const ImageFont& menu = *imageFonts[FONT_MENU];
    const int32_t lift = textLift();
    for (int32_t i = 0; i < languageCount; ++i) {
        DStringPtr name = qev::lang::dcast<DString>(languageNames->elementAt(i));
        menu.drawString(g, name, boxX + boxWidth / 2, boxY + i * rowHeight + rowHeight / 2 - lift,
                        DGraphics::HCENTER | DGraphics::BASELINE);
    }
    paintOkLabel(g);
}

void LangMenu::stop()
{
    dropBox();
    languageNames = nullptr;
    languageShortNames = nullptr;
}

} // namespace langmenu
