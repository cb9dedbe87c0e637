#include "SoundMenu/SoundMenu.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

namespace soundmenu {

using namespace gamelib;
using qev::lang::DExceptionBase;
using qev::lang::DString;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;

SoundMenu::SoundMenu()
{
    soundAnswered = 0;
}

void SoundMenu::start(DStringArrayPtr prefixes)
{
    // Without them the question is still asked, with the texts the table has.
    loadLanguageTexts();
    m_prefixes = prefixes;
    m_question = getText(u"enable_sound");
    m_yes = getText(u"yes");
    m_no = getText(u"no");
    // The question and both answers.
    setUpBox(3);
    boxHeight = 3 * rowHeight;
}

void SoundMenu::update()
{
    if (!anyKey && !pointerPressed)
        return;
    if (keyUp || keyDown || keyAction14 || keyAction15)
        soundAnswer = soundAnswer ? 0 : 1;
    if (pointerPressed) {
        handleTap(boxHeight);
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

bool SoundMenu::chooseRow(int32_t row)
{
    if (row != 1 && row != 2)
        return false;
    soundAnswer = row == 1 ? 1 : 0;
    return true;
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
    paintBox(g, soundAnswer ? 1 : 2);
    const int32_t lift = textLift();
    const int32_t cx = boxX + boxWidth / 2;
    const int32_t y = boxY + rowHeight / 2 - lift;
    const int32_t anchor = DGraphics::HCENTER | DGraphics::BASELINE;
    imageFonts[FONT_HUD0]->drawString(g, m_question, cx, y, anchor);
    imageFonts[FONT_MENU]->drawString(g, m_yes, cx, y + rowHeight, anchor);
    imageFonts[FONT_MENU]->drawString(g, m_no, cx, y + 2 * rowHeight, anchor);
    paintOkLabel(g);
}

void SoundMenu::stop()
{
    m_question = m_yes = m_no = nullptr;
    dropBox();
}

} // namespace soundmenu
