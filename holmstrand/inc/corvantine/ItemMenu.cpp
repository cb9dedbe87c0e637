#include "corvantine/ItemMenu.h"

#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DGraphics.h"

namespace corvantine {

using qev::microedition::lcdui::DGraphics;

void ItemMenu::update()
{
    chosen = false;
    closed = false;
    if (state != LIST) {
        if (gamelib::keyFire || gamelib::pointerPressed || gamelib::keySoftLeft ||
            gamelib::keySoftRight) {
            closed = true;
            gamelib::ScreenCanvas::clearKeys();
        }
        return;
    }
    const int32_t count = lines ? lines->length : 0;
    if (count == 0)
        return;
    if (gamelib::keyUp) {
        selected = (selected + count - 1) % count;
        gamelib::ScreenCanvas::clearKeys();
    } else if (gamelib::keyDown) {
        selected = (selected + 1) % count;
        gamelib::ScreenCanvas::clearKeys();
    } else if (gamelib::keyFire) {
        chosen = true;
        gamelib::ScreenCanvas::clearKeys();
    } else if (gamelib::pointerPressed) {
        const int32_t line = (gamelib::pointerY - kTop) / kLineStep;
        if (gamelib::pointerY >= kTop && line < count) {
            selected = line;
            chosen = true;
        }
        gamelib::ScreenCanvas::clearKeys();
    }
}

void ItemMenu::paint()
{
    qev::microedition::lcdui::DGraphicsPtr g = gamelib::screenGraphics;
    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    g->setColor(0);
    g->fillRect(0, 0, width, height);
    if (background)
        g->drawImageOpaque(background, width / 2, (height - background->getHeight()) / 2,
                           DGraphics::TOP | DGraphics::HCENTER);
    if (state != LIST || !lines || !gamelib::imageFonts)
        return;
    for (int32_t i = 0; i < lines->length; ++i) {
        const int32_t font = i == selected ? gamelib::FONT_MENU_SELECTED : gamelib::FONT_MENU;
        gamelib::ImageFontPtr f = (*gamelib::imageFonts)[font];
        if (f)
            f->drawStringOnScreen((*lines)[i], width / 2, kTop + i * kLineStep,
                                  DGraphics::TOP | DGraphics::HCENTER);
    }
}

} // namespace corvantine
