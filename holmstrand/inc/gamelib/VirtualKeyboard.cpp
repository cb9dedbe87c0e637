// The name-entry keyboard: its picture, keys, stylus and drawing.
#include "gamelib/VirtualKeyboard.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"
#include "microedition/lcdui/DGraphics.h"

namespace gamelib {

using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

ImageFont& fontAt(int32_t index)
{
    return *(*imageFonts)[index];
}

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

// A frame piece of the graphics set; a missing piece is left out of the frame.
DImagePtr framePiece(const char16_t* name)
{
    return tolerant([name] { return GameLib::loadImage(name, 0); });
}

int32_t heightOf(const DImagePtr& image)
{
    return image ? image->getHeight() : 0;
}

} // namespace

VirtualKeyboard::VirtualKeyboard() : lastTapTime(now()) {}

qev::lang::DObjectPtr makeShellNameKeyboard()
{
    return qev::lang::DObjectPtr(new VirtualKeyboard());
}

VirtualKeyboardPtr VirtualKeyboard::shared()
{
    VirtualKeyboard* keyboard = dynamic_cast<VirtualKeyboard*>(nameKeyboard.get());
    if (!keyboard) {
        keyboard = new VirtualKeyboard();
        nameKeyboard = keyboard;
    }
    return VirtualKeyboardPtr(keyboard);
}

DStringPtr VirtualKeyboard::keyLabel(int32_t index) const
{
    if (index == okKey())
        return u"ok";
    if (index == backKey())
        return u"<-";
    return letters->substring(index, index + 1);
}

void VirtualKeyboard::drawKeyLabel(DGraphicsPtr g, int32_t index, int32_t fontIndex)
{
    const DStringPtr label = keyLabel(index);
    const int32_t cellX = x + (index % columns) * keyWidth;
    const int32_t cellY = y + (index / columns) * keyHeight;
    const ImageFont& menu = fontAt(FONT_MENU);
    fontAt(fontIndex).drawString(g, label, cellX + (keyWidth - menu.stringWidth(label)) / 2,
                                 cellY + (keyHeight - menu.getHeight()) / 2,
                                 DGraphics::LEFT | DGraphics::TOP);
}

void VirtualKeyboard::buildPicture(DImagePtr background)
{
    done = false;
    const DImagePtr top = framePiece(u"/input/input_top.png");
    const DImagePtr middle = framePiece(u"/input/input_midd.png");
    const DImagePtr bottom = framePiece(u"/input/input_bot.png");
    const int32_t frameHeight = heightOf(top) + heightOf(middle) + heightOf(bottom);
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;

    picture = DImage::createImage(w, h);
    DGraphicsPtr g = picture->getGraphics();
    GameMenu::clearAround(*g, background);
    if (background)
        g->drawImage(background, 0, 0, DGraphics::LEFT | DGraphics::TOP);
    const int32_t c = (h - frameHeight) / 2;
    int32_t pieceY = c;
    for (const DImagePtr& piece : {top, middle, bottom}) {
        if (piece)
            g->drawImage(piece, w / 2, pieceY, DGraphics::HCENTER | DGraphics::TOP);
        pieceY += heightOf(piece);
    }
    const int32_t menuHeight = fontAt(FONT_MENU).getHeight();
    const int32_t fieldBottom = c + heightOf(top) + heightOf(middle);
    if (y <= 0)
        y = c + heightOf(top);
    if (textY <= 0)
        textY = fieldBottom - menuHeight - 3;
    fontAt(FONT_SMALL)
        .drawString(g, title, w / 2, fieldBottom - 2 * menuHeight - 4,
                    DGraphics::HCENTER | DGraphics::BOTTOM);

    // The letters, then "ok" and "<-" right after the last one.
    const int32_t keys = letters->length() + 2;
    g->setColor(letterColour);
    for (int32_t i = 0; i < keys; ++i)
        drawKeyLabel(g, i, FONT_MENU);
    rows = (keys + columns - 1) / columns;
    width = keyWidth * columns;
    height = keyHeight * rows;
    lastRowKeys = keys - (rows - 1) * columns;
    if (row >= rows) {
        row = rows - 1;
    }
    if (column > lastColumnOf(row))
        column = lastColumnOf(row);
}

void VirtualKeyboard::paint()
{
    DGraphicsPtr g = screenGraphics;
    if (picture)
        g->drawImage(picture, 0, 0, DGraphics::LEFT | DGraphics::TOP);
    g->setColor(cursorColour);
    g->drawRect(x + keyWidth * column, y + keyHeight * row, keyWidth, keyHeight);
    drawKeyLabel(g, column + row * columns, FONT_MENU_SELECTED);

    const ImageFont& menu = fontAt(FONT_MENU);
    menu.drawString(g, text, textX, textY, 0);
    const int64_t t = now();
    if (t - blinkTime > kBlinkMillis) {
        blink = !blink;
        blinkTime = t;
    }
    if (blink) {
        const int32_t end = textX + menu.stringWidth(text);
        const int32_t lineY = textY + menu.getHeight();
        g->drawLine(end + 1, lineY, end + 9, lineY);
    }
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    menu.drawString(g, u"ok", 4, h - 4, DGraphics::LEFT | DGraphics::BOTTOM);
    menu.drawString(g, u"<-", w - 4, h - 4, DGraphics::RIGHT | DGraphics::BOTTOM);
}

void VirtualKeyboard::finish()
{
    if (text->length() == 0)
        return;
    done = true;
    ScreenCanvas::clearKeys();
}

void VirtualKeyboard::deleteLast()
{
    if (text->length() > 0)
        text = text->substring(0, text->length() - 1);
}

void VirtualKeyboard::type(DStringPtr letter)
{
    if (text->length() < maxLength)
        text = text + letter;
}

bool VirtualKeyboard::typeDirectly()
{
    if (text->length() >= maxLength)
        return false;
    const char16_t unit = static_cast<char16_t>(lastKey);
    if (lastKey != unit)
        return false;
    const DStringPtr s(new qev::lang::DString(&unit, 1));
    for (const DStringPtr& form : {s, s->toLowerCase(), s->toUpperCase()}) {
        if (letters->indexOf(form) >= 0) {
            type(form);
            return true;
        }
    }
    return false;
}

void VirtualKeyboard::navigate()
{
    if (keyLeft) {
        column = column > 0 ? column - 1 : lastColumnOf(row);
    } else if (keyRight) {
        column = column < lastColumnOf(row) ? column + 1 : 0;
    } else if (keyUp) {
        row = row > 0 ? row - 1 : rows - 1;
        if (column > lastColumnOf(row))
            column = lastColumnOf(row);
    } else if (keyDown) {
        row = row < rows - 1 ? row + 1 : 0;
        if (column > lastColumnOf(row))
            column = lastColumnOf(row);
    } else if (keyFire) {
        if (key < letters->length())
            type(keyLabel(key));
        else if (key == okKey())
            finish();
        else
            deleteLast();
    } else if (keySoftLeft || lastKey == 13) {
        finish();
    } else if (keySoftRight || lastKey == 8) {
        deleteLast();
    }
}

void VirtualKeyboard::update()
{
    if (pointerPressed) {
        hitTest();
        pointerPressed = 0;
    }
    if (!anyKey)
        return;
    if (!typeDirectly())
        navigate();
    if (column + row * columns < letters->length() + 2)
        key = column + row * columns;
    anyKey = keyFire = keyUp = keyDown = keyLeft = keyRight = keySoftLeft = keySoftRight = 0;
}

void VirtualKeyboard::hitTest()
{
    const int64_t t = now();
    if (t - lastTapTime <= kTapGateMillis)
        return;
    const int32_t px = pointerX;
    const int32_t py = pointerY;
    if (px >= x && px < x + width && py >= y && py < y + height) {
        const int32_t c = (px - x) / keyWidth;
        const int32_t r = (py - y) / keyHeight;
        if (c > lastColumnOf(r))
            return;
        column = c;
        row = r;
        key = c + r * columns;
        keyFire = 1;
        anyKey = 1;
        lastKey = 0;
        lastTapTime = t;
        return;
    }
    const ImageFont& menu = fontAt(FONT_MENU);
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    if (!(h - menu.getHeight() - 4 < py && py < h - 4))
        return;
    if (4 < px && px < menu.stringWidth(u"ok") + 4)
        finish();
    else if (w - menu.stringWidth(u"<-") - 4 < px && px < w - 4)
        deleteLast();
}

} // namespace gamelib
