// The game menu's name entry: the shared keyboard set up for a highscore name, framed and driven
// by the menu until the player finishes.
#include "gamelib/GameMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"
#include "gamelib/VirtualKeyboard.h"

#include "microedition/lcdui/DGraphics.h"

namespace gamelib {

using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;

uint8_t GameMenu::nameReady = 0;
qev::lang::DStringPtr GameMenu::enteredName;

void GameMenu::startNameEntry()
{
    state = STATE_NAME_ENTRY;
    nameReady = 0;
    VirtualKeyboardPtr keyboard = VirtualKeyboard::shared();
    keyboard->letters = u"abcdefghijklmnopqrstuvwxyz-_";
    keyboard->cursorColour = 0x555555;
    keyboard->letterColour = 0x000000;
    keyboard->keyWidth = VirtualKeyboard::kKeyWidth;
    keyboard->keyHeight = VirtualKeyboard::kKeyHeight;
    keyboard->font = DFont::getFont(DFont::FACE_SYSTEM, DFont::STYLE_BOLD, DFont::SIZE_SMALL);
    keyboard->boldFont = keyboard->font;
    keyboard->columns = VirtualKeyboard::kColumns;
    keyboard->x = (screenWidth - VirtualKeyboard::kKeyWidth * VirtualKeyboard::kColumns) / 2;
    keyboard->text = enteredName ? enteredName : qev::lang::DStringPtr(u"");
    keyboard->title = getText(u"entername");
    keyboard->buildPicture(background);
    keyboard->textX = keyboard->x + 5;
}

void GameMenu::updateNameEntry()
{
    VirtualKeyboardPtr keyboard = VirtualKeyboard::shared();
    keyboard->update();
    if (keyboard->done) {
        nameReady = 1;
        enteredName = keyboard->text;
    }
}

void GameMenu::paintNameEntry()
{
    DGraphics& g = *screenGraphics;
    paintBackdrop(backgroundColour);
    VirtualKeyboardPtr keyboard = VirtualKeyboard::shared();
    const int32_t kx = keyboard->x;
    const int32_t ky = keyboard->y;
    const int32_t kw = keyboard->width;
    const int32_t kh = keyboard->height;
    const int32_t th = keyboard->keyHeight;
    g.setColor(0xFFFFFF);
    g.fillRect(kx - 2, ky - 2, kw + 5, kh + 5);
    g.setColor(0x000000);
    g.drawRect(kx - 2, ky - 2, kw + 5, kh + 5);
    g.drawRect(kx - 3, ky - 3, kw + 7, kh + 7);
    g.setColor(0xFFFFFF);
    g.fillRect(kx - 2, ky + kh + 22, kw + 5, th + 5);
    g.setColor(0xCCCCCC);
    g.drawRect(kx - 1, ky + kh + 23, kw + 4, th + 4);
    g.setColor(0x000000);
    g.drawRect(kx - 2, ky + kh + 22, kw + 5, th + 5);
    keyboard->paint();
}

} // namespace gamelib
