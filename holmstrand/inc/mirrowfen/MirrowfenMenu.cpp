#include "mirrowfen/MirrowfenMenu.h"

#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DSystem.h"
#include "microedition/lcdui/DGraphics.h"

using qev::microedition::lcdui::DGraphics;

namespace mirrowfen {

void MirrowfenMenu::setItems(qev::lang::DStringArrayPtr list)
{
    items = list;
    mode = MODE_LIST;
    selected = 0;
}

void MirrowfenMenu::setPage(qev::lang::DStringPtr text)
{
    page = text;
    mode = MODE_PAGE;
    back = false;
}

void MirrowfenMenu::update()
{
    using namespace gamelib;
    const int64_t now = qev::lang::DSystem::currentTimeMillis();
    chosen = false;
    if (now - lastAction <= kRepeatMillis)
        return;
    const int32_t count = items ? items->length : 0;
    if (mode == MODE_PAGE) {
        if (!(keyFire || keySoftLeft || keySoftRight || pointerPressed))
            return;
        back = true;
        ScreenCanvas::clearKeys();
    } else if (count == 0) {
        return;
    } else if (keyUp || keyAction14) {
        selected = selected < 1 ? count - 1 : selected - 1;
    } else if (keyDown || keyAction15) {
        selected = selected >= count - 1 ? 0 : selected + 1;
    } else if (keyFire) {
        chosen = true;
    } else {
        return;
    }
    lastAction = now;
}

void MirrowfenMenu::paint()
{
    using namespace gamelib;
    DGraphics& g = *screenGraphics;
    if (background) {
        g.drawImage(background, screenWidth / 2, screenHeight / 2,
                    DGraphics::HCENTER | DGraphics::VCENTER);
    } else {
        g.setColor(kBackgroundColour);
        g.fillRect(0, 0, screenWidth, screenHeight);
    }
    if (!imageFonts)
        return;
    const int32_t anchor = DGraphics::HCENTER | DGraphics::TOP;
    if (mode == MODE_PAGE) {
        ImageFontPtr font = (*imageFonts)[FONT_MENU];
        if (font && page)
            font->drawStringOnScreen(page, screenWidth / 2, screenHeight / 2, anchor);
        return;
    }
    const int32_t count = items ? items->length : 0;
    for (int32_t i = 0; i < count; ++i) {
        ImageFontPtr font = (*imageFonts)[i == selected ? FONT_MENU_SELECTED : FONT_MENU];
        qev::lang::DStringPtr text = (*items)[i];
        if (font && text)
            font->drawStringOnScreen(text, screenWidth / 2, kFirstRowTop + i * kLineStep, anchor);
    }
}

} // namespace mirrowfen
