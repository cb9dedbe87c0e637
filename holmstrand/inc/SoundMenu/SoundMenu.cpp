#include "SoundMenu/SoundMenu.h"

#include "LangMenu/LangMenu.h"
#include "LangMenu/ShadedBackdrop.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"

namespace soundmenu {

using namespace gamelib;
using qev::lang::DExceptionBase;
using qev::lang::DString;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::lang::DSystem;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImagePtr;

SoundMenu::SoundMenu()
{
    soundAnswered = 0;
}

void SoundMenu::start(DStringArrayPtr prefixes)
{
    try {
        DStringPtr shortName =
            qev::lang::dcast<DString>(languageShortNames->elementAt(languageIndex));
        loadTextFile(u"/txt/res_" + shortName, true);
    } catch (DExceptionBase* e) {
        // The question is still asked, with the texts the table has.
        if (!swallowable(e))
            throw;
    }
    m_prefixes = prefixes;
    m_question = getText(u"enable_sound");
    m_yes = getText(u"yes");
    m_no = getText(u"no");
    const int32_t fontHeight = imageFonts[FONT_MENU]->getHeight();
    boxWidth = 2 * (screenWidth / 3);
    boxHeight = 3 * fontHeight + 12;
    rowHeight = fontHeight + 4;
    boxX = (screenWidth - boxWidth) / 2;
    boxY = langmenu::LangMenu::boxTop(boxWidth, boxHeight);
    try {
        DImagePtr picture = GameLib::loadImage(u"/menu/back.jpg", 0);
        const int32_t from = (picture->getWidth() - screenWidth) / 2 + (screenWidth / 3) / 2;
        m_background = langmenu::drawShadedBackdrop(picture, langmenu::LangMenu::kShadeLevel, from,
                                                    picture->getWidth() - from);
    } catch (DExceptionBase* e) {
        if (!swallowable(e))
            throw;
        m_background = nullptr;
    }
    m_okLabel = u"OK";
    lastActionTime = DSystem::currentTimeMillis();
}

void SoundMenu::update()
{
    if (!anyKey && !pointerPressed)
        return;
    if (keyUp || keyDown || keyAction14 || keyAction15)
        soundAnswer = soundAnswer ? 0 : 1;
    if (pointerPressed) {
        handlePointer();
        pointerPressed = 0;
    }
    if (keyFire || keySoftLeft) {
        soundAnswered = 1;
        paint();
        screenCanvas->flushGraphics();
        saveAnswer();
        gameLib->startApp();
    }
    ScreenCanvas::clearKeys();
}

void SoundMenu::handlePointer()
{
    const int64_t now = DSystem::currentTimeMillis();
    if (now - lastActionTime <= kTapGateMillis)
        return;
    const int32_t px = pointerX;
    const int32_t py = pointerY;
    if (px >= boxX && px <= boxX + boxWidth && py >= boxY && py <= boxY + boxHeight) {
        const int32_t row = (py - boxY) / rowHeight;
        if (row == 1 || row == 2) {
            soundAnswer = row == 1 ? 1 : 0;
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

void SoundMenu::saveAnswer()
{
    const int32_t level = soundAnswer ? 1 : 0;
    for (int32_t i = 0; m_prefixes && i < m_prefixes->length; ++i) {
        DStringPtr prefix = m_prefixes[i];
        GameMenu::saveOption(prefix + u"sfx_level", level);
        GameMenu::saveOption(prefix + u"music_level", level);
    }
}

void SoundMenu::paint()
{
    paintOn(screenGraphics);
}

void SoundMenu::paintOn(DGraphicsPtr g)
{
    g->setColor(0);
    g->fillRect(0, 0, screenWidth, screenHeight);
    if (m_background)
        g->drawImage(m_background, screenWidth / 2, screenHeight / 2,
                     DGraphics::HCENTER | DGraphics::VCENTER);
    const int32_t row = soundAnswer ? 1 : 2;
    g->setColor(kHighlightColour);
    g->fillRect(boxX + 1, boxY + row * rowHeight + 1, boxWidth - 2, rowHeight - 2);
    g->setColor(kTextColour);
    const int32_t lift = screenHeight > 320 ? 2 : 0;
    const int32_t cx = boxX + boxWidth / 2;
    const int32_t y = boxY + rowHeight / 2 - lift;
    const int32_t anchor = DGraphics::HCENTER | DGraphics::BASELINE;
    imageFonts[FONT_HUD0]->drawString(g, m_question, cx, y, anchor);
    imageFonts[FONT_MENU]->drawString(g, m_yes, cx, y + rowHeight, anchor);
    imageFonts[FONT_MENU]->drawString(g, m_no, cx, y + 2 * rowHeight, anchor);
    g->setColor(kOkColour);
    imageFonts[FONT_MENU]->drawString(g, m_okLabel, 5, screenHeight - rowHeight,
                                      DGraphics::TOP | DGraphics::LEFT);
}

void SoundMenu::stop()
{
    m_question = m_yes = m_no = nullptr;
    m_background = nullptr;
    m_okLabel = nullptr;
}

} // namespace soundmenu
