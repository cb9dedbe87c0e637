// The key-redefinition dialog: its store, navigation, capture of a new key and drawing.
#include "gamelib/CustomControls.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/RecordStoreUse.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/DByteArrayOutputStream.h"
#include "io/DDataOutputStream.h"
#include "lang/DSystem.h"

#include <algorithm>

namespace gamelib {

using qev::io::DByteArrayOutputStream;
using qev::io::DDataInputStream;
using qev::io::DDataOutputStream;
using qev::lang::DintArray;
using qev::lang::DintArrayPtr;
using qev::lang::DObjectArray;
using qev::lang::DObjectArrayPtr;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::rms::DRecordStore;

namespace {

ImageFont& fontAt(int32_t index)
{
    return *(*imageFonts)[index];
}

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

constexpr int32_t kCentred = DGraphics::HCENTER | DGraphics::VCENTER;

} // namespace

DStringPtr keyLabel(int32_t keyCode)
{
    if (textTable) {
        const DStringPtr key = DStringPtr(u"keyname_") + keyCode;
        if (DStringPtr name =
                qev::lang::dcast<qev::lang::DString>(textTable->get(qev::lang::DObjectPtr(key))))
            return name;
    }
    return screenCanvas ? screenCanvas->getKeyName(keyCode) : DStringPtr(u"") + keyCode;
}

CustomControls::CustomControls(int32_t actionMask) : mask(actionMask) {}

DintArrayPtr CustomControls::keysOf(int32_t action) const
{
    return qev::lang::dcast<DintArray>((*keys)[action]);
}

int32_t CustomControls::actionOfRow(int32_t r) const
{
    for (int32_t i = 0, seen = 0; i < kActions; ++i) {
        if (mask & (1 << i)) {
            if (seen == r)
                return i;
            ++seen;
        }
    }
    return -1;
}

void CustomControls::init(DStringPtr game)
{
    storeName = DStringPtr(u"keys_") + game;
    keysPerAction = 2;
    keys = new DObjectArray(kActions);
    count = 0;
    for (int32_t i = 0; i < kActions; ++i) {
        if (mask & (1 << i)) {
            DintArrayPtr cells = new DintArray(keysPerAction);
            for (int32_t k = 0; k < keysPerAction; ++k)
                (*cells)[k] = -1;
            (*keys)[i] = cells;
            ++count;
        }
    }
    actionNames = new qev::util::DVector();
    DStringArrayPtr names = splitText(getText(DStringPtr(u"ctrl_actions_") + game), u';');
    for (int32_t i = 0; i < names->length; ++i)
        actionNames->addElement(DStringPtr((*names)[i]));
    row = column = 0;
    previousRow = previousColumn = -1;
    capturing = buttonsHidden = duplicatesAllowed = false;
    boxX = boxY = 10;
    boxWidth = screenWidth - 20;
    boxHeight = screenHeight - 20;
    labelWidth = boxWidth / 2;
    columnWidth = (boxWidth - labelWidth) / keysPerAction;
    dialogFont = DFont::getFont(DFont::FACE_SYSTEM, DFont::STYLE_BOLD, DFont::SIZE_SMALL);
    rowHeight = dialogFont->getHeight() + 3;
    listHeight = actionNames->size() * rowHeight;
    setDefaultLabel = getText(u"set_default");
    okLabel = getText(u"ok");
    cancelLabel = getText(u"cancel");
    lastActionTime = lastTapTime = 0;
}

void CustomControls::setDefaultKeys()
{
    for (int32_t i = 0; i < kActions; ++i)
        if ((*keys)[i])
            (*keys)[i] = screenCanvas->getKeys(i, keysPerAction);
}

DObjectArrayPtr CustomControls::loadKeys()
{
    useRecordStore(
        storeName,
        [this](DRecordStore& store) {
            if (store.getNumRecords() == 0) {
                setDefaultKeys();
            } else {
                int32_t k = 1;
                for (int32_t i = 0; i < kActions; ++i) {
                    DintArrayPtr cells = keysOf(i);
                    if (!cells)
                        continue;
                    qev::lang::DPtr<DDataInputStream> in = readRecord(store, k);
                    // Read the whole record first, so that a short one changes no cell.
                    int32_t read[8];
                    const int32_t n = std::min<int32_t>(keysPerAction, 8);
                    for (int32_t c = 0; c < n; ++c)
                        read[c] = in->readInt();
                    for (int32_t c = 0; c < n; ++c)
                        (*cells)[c] = read[c];
                    ++k;
                }
            }
        },
        [this] { setDefaultKeys(); });
    return keys;
}

void CustomControls::saveKeys()
{
    useRecordStore(storeName, [this](DRecordStore& store) {
        int32_t k = 1;
        for (int32_t i = 0; i < kActions; ++i) {
            DintArrayPtr cells = keysOf(i);
            if (!cells)
                continue;
            qev::lang::DPtr<DByteArrayOutputStream> bytes = new DByteArrayOutputStream();
            qev::lang::DPtr<DDataOutputStream> out = new DDataOutputStream(bytes);
            for (int32_t c = 0; c < keysPerAction; ++c)
                out->writeInt(c < cells->length ? (*cells)[c] : -1);
            writeRecord(store, k, bytes->toByteArray());
            ++k;
        }
    });
}

void CustomControls::bind(int32_t code)
{
    if (!duplicatesAllowed) {
        for (int32_t i = 0; i < kActions; ++i) {
            DintArrayPtr cells = keysOf(i);
            if (!cells)
                continue;
            for (int32_t c = 0; c < cells->length; ++c)
                if ((*cells)[c] == code)
                    (*cells)[c] = -1;
        }
    }
    DintArrayPtr cells = keysOf(actionOfRow(row));
    if (cells && column < cells->length)
        (*cells)[column] = code;
}

int32_t CustomControls::updateCapturing()
{
    if (pointerPressed) {
        if (now() - lastActionTime > kGateMillis) {
            lastActionTime = now();
            handlePointer();
        }
        pointerPressed = 0;
        if (!keySoftRight) {
            ScreenCanvas::resetInput();
            return KEEP_SHOWING;
        }
    } else if (keySoftLeft) {
        // The left soft key is "ok" and cannot be bound; the dialog keeps waiting.
        ScreenCanvas::resetInput();
        return KEEP_SHOWING;
    } else if (!keySoftRight) {
        bind(lastKey);
    }
    capturing = false;
    ScreenCanvas::resetInput();
    return KEEP_SHOWING;
}

int32_t CustomControls::update()
{
    if (lastActionTime == 0)
        lastActionTime = now();
    if (!anyKey && !pointerPressed)
        return KEEP_SHOWING;
    if (capturing)
        return updateCapturing();

    const int32_t last = lastIndex();
    if (keyUp || keyAction14)
        row = row > 0 ? row - 1 : last;
    if (keyDown || keyAction15)
        row = row < last ? row + 1 : 0;
    if (row < count) {
        if (keyRight)
            column = column + 1 < keysPerAction ? column + 1 : 0;
        if (keyLeft)
            column = column > 0 ? column - 1 : keysPerAction - 1;
    }
    if (pointerPressed && now() - lastActionTime > kGateMillis) {
        lastActionTime = now();
        handlePointer();
        pointerPressed = 0;
    }
    if (keyFire) {
        if (row == count)
            setDefaultKeys();
        else if (row == count + 1)
            keySoftLeft = 1;
        else if (row == count + 2)
            keySoftRight = 1;
        else
            capturing = true;
    }
    if (keySoftLeft) {
        saveKeys();
        ScreenCanvas::resetInput();
        lastActionTime = 0;
        return CONFIRMED;
    }
    if (keySoftRight) {
        loadKeys();
        ScreenCanvas::resetInput();
        lastActionTime = 0;
        return CANCELLED;
    }
    ScreenCanvas::resetInput();
    return KEEP_SHOWING;
}

void CustomControls::handlePointer()
{
    const int32_t px = pointerX;
    const int32_t py = pointerY;
    const int64_t t = now();
    if (t - lastTapTime > kGateMillis && px >= boxX && px <= boxX + boxWidth && py >= boxY &&
        py <= boxY + 4 * rowHeight + listHeight) {
        const int32_t h = (py - boxY) / rowHeight;
        const int32_t c = (px - boxX - labelWidth) / columnWidth;
        if (capturing) {
            if (!buttonsHidden && h == count + 3)
                keySoftRight = 1;
        } else if (h != count) {
            const int32_t selection = h < count ? h : h - 1;
            if (selection <= lastIndex()) {
                row = selection;
                column = std::clamp(c, 0, keysPerAction - 1);
                if (row >= count || (row == previousRow && column == previousColumn))
                    keyFire = 1;
                previousRow = row;
                previousColumn = column;
            }
        }
        lastTapTime = t;
    }
    const ImageFont& hud = fontAt(FONT_HUD0);
    const int32_t w = screenWidth;
    const int32_t hh = screenHeight;
    const int32_t labelTop = hh - hud.getHeight();
    if (!capturing && GameMenu::isPointerInside(0, labelTop, hud.stringWidth(okLabel), hh))
        keySoftLeft = 1;
    if (GameMenu::isPointerInside(w - hud.stringWidth(cancelLabel), labelTop, w, hh))
        keySoftRight = 1;
}

void CustomControls::paint(DGraphicsPtr g)
{
    // Without a background of the screen's size the dialog would be drawn over whatever the
    // game showed before.
    GameMenu::clearAround(*g, background);
    if (background)
        g->drawImage(background, 0, 0, DGraphics::LEFT | DGraphics::TOP);
    if (row < count) {
        g->setColor(highlightColour);
        g->fillRect(boxX + labelWidth + columnWidth * column + 1, boxY + rowHeight * row + 1,
                    columnWidth - 1, rowHeight - 2);
    }
    const int32_t gridHeight = std::min(listHeight, boxHeight);
    g->setColor(gridColour);
    g->drawRect(boxX, boxY, boxWidth, gridHeight);
    for (int32_t v = 0; v < keysPerAction; ++v) {
        const int32_t lineX = boxX + labelWidth + v * columnWidth;
        g->drawLine(lineX, boxY, lineX, boxY + gridHeight);
    }
    for (int32_t r = 1; r < count; ++r)
        g->drawLine(boxX, boxY + r * rowHeight, boxX + boxWidth, boxY + r * rowHeight);

    g->setColor(textColour);
    g->setFont(dialogFont);
    for (int32_t r = 0; r < count; ++r) {
        const int32_t y = boxY + r * rowHeight + rowHeight / 2;
        if (r < actionNames->size()) {
            fontAt(FONT_HUD0).drawString(
                g, qev::lang::dcast<qev::lang::DString>(actionNames->elementAt(r)),
                boxX + labelWidth / 2, y, kCentred);
        }
        DintArrayPtr cells = keysOf(actionOfRow(r));
        for (int32_t v = 0; v < keysPerAction; ++v) {
            const int32_t x = boxX + labelWidth + v * columnWidth + columnWidth / 2;
            if (capturing && r == row && v == column)
                fontAt(FONT_SMALL).drawString(g, u"?", x, y, kCentred);
            else if (cells && v < cells->length && (*cells)[v] != -1)
                fontAt(FONT_SMALL).drawString(g, keyLabel((*cells)[v]), x, y, kCentred);
        }
    }

    g->setColor(gridColour);
    const int32_t centreX = boxX + boxWidth / 2;
    const auto button = [&](int32_t index, const DStringPtr& label) {
        const int32_t y = boxY + rowHeight * (index + 1) + rowHeight / 2;
        fontAt(row == index ? FONT_MENU_SELECTED : FONT_MENU)
            .drawString(g, label, centreX, y, kCentred);
    };
    button(count, setDefaultLabel);
    if (!buttonsHidden) {
        button(count + 1, okLabel);
        button(count + 2, cancelLabel);
    }
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    if (!capturing)
        fontAt(FONT_HUD0).drawString(g, okLabel, 0, h, DGraphics::LEFT | DGraphics::BOTTOM);
    fontAt(FONT_HUD0).drawString(g, cancelLabel, w, h, DGraphics::RIGHT | DGraphics::BOTTOM);
}

} // namespace gamelib
