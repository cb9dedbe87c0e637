#include "LangMenu/LangMenu.h"

#include "gamelib/GameLib.h"
#include "gamelib/ImageFont.h"
#include "gamelib/MissingReport.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

namespace langmenu {

using namespace gamelib;
using qev::lang::DObjectPtr;
using qev::lang::DString;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
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
    // Without the list the keys stand for themselves: one language, chosen at once. What was
    // wrong with it is kept, since the language's texts are then looked for in vain.
    languageListFault = nullptr;
    try {
        loadTextFile(u"/txt/lang", true);
        if (!textTable->get(DObjectPtr(DStringPtr(u"SNAMES")))) {
            languageListFault = u"no list SNAMES in /txt/lang.txt";
            reportDamaged(u"/txt/lang.txt", "no list SNAMES");
        }
    } catch (qev::lang::DExceptionBase* e) {
        if (!e->isException())
            throw;
        languageListFault = messageOf(*e);
        delete e;
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

    setUpBox(languageCount);
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
        handleTap(listHeight);
        pointerPressed = 0;
    }
    if ((keyFire || keySoftLeft) && languageIndex >= 0) {
        screenCanvas->flushGraphics();
        gameLib->startApp();
    }
    ScreenCanvas::clearKeys();
}

bool LangMenu::chooseRow(int32_t row)
{
    if (row < 0 || row >= languageCount)
        return false;
    languageIndex = row;
    return true;
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
