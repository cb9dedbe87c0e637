// The game menu's item list and highscore table: painting, the 200 ms input gate, wrapping and
// scrolling, taps on rows and arrows.
#include "gamelib/GameMenu.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"
#include "microedition/lcdui/DGraphics.h"

#include <algorithm>

namespace gamelib {

using qev::lang::DStringPtr;
using qev::microedition::lcdui::DFont;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImagePtr;

namespace {

constexpr int32_t kCentreTop = DGraphics::HCENTER | DGraphics::TOP;

ImageFont& fontAt(int32_t index)
{
    return *(*imageFonts)[index];
}

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

} // namespace

GameMenu::GameMenu()
    : margin(screenWidth >> 3), height(screenHeight - 40), font(DFont::getDefaultFont())
{
}

int32_t GameMenu::count() const
{
    if (state == STATE_TEXT)
        return helpLineCount;
    return lines ? lines->length : 0;
}

bool GameMenu::isPointerInside(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return left < pointerX && pointerX < right && top < pointerY && pointerY < bottom;
}

void GameMenu::clearAround(DGraphics& g, const DImagePtr& picture)
{
    if (picture && picture->getWidth() >= screenWidth && picture->getHeight() >= screenHeight)
        return;
    g.setColor(0x000000);
    g.fillRect(0, 0, screenWidth, screenHeight);
}

void GameMenu::paintBackdrop(int32_t fillColour)
{
    if (background) {
        clearAround(*screenGraphics, background);
        screenGraphics->drawImage(background, screenWidth / 2, screenHeight / 2,
                                  DGraphics::HCENTER | DGraphics::VCENTER);
    } else {
        screenGraphics->setColor(fillColour);
        screenGraphics->fillRect(0, 0, screenWidth, screenHeight);
    }
}

void GameMenu::paint()
{
    switch (state) {
    case STATE_RESIZE:
        state = STATE_LIST;
        screenWidth = screenCanvas->getWidth();
        screenHeight = screenCanvas->getHeight();
        return;
    case STATE_TEXT:
        paintHelp();
        return;
    case STATE_NAME_ENTRY:
        paintNameEntry();
        return;
    default:
        paintList();
    }
}

void GameMenu::paintList()
{
    DGraphics& g = *screenGraphics;
    const int32_t w = screenWidth;
    g.setFont(font);
    paintBackdrop(backgroundColour);
    if (title)
        title->draw((w - title->w) / 2, 0);
    if (box) {
        g.setClip(0, 0, w, screenHeight);
        g.setColor(frameColour);
        g.fillRect(margin, top, w - 2 * margin, height);
        g.setColor(boxColour);
        g.fillRect(margin + border, top + border, w - 2 * margin - 2 * border, height - 2 * border);
    }
    const int32_t n = count();
    for (int32_t i = first; i < first + visible && i < n; ++i) {
        const int32_t y = rowTop(i - first);
        DStringPtr text = (*lines)[i];
        if (state == STATE_HIGHSCORES) {
            g.setColor(scoreColour);
            fontAt(FONT_MENU).drawStringOnScreen(text, margin + 10, y,
                                                 DGraphics::LEFT | DGraphics::TOP);
            const int32_t score = scores && i < scores->length ? (*scores)[i] : 0;
            fontAt(FONT_MENU).drawStringOnScreen(DStringPtr(u"") + score, w - margin - 10, y,
                                                 DGraphics::RIGHT | DGraphics::TOP);
        } else if (i == selected) {
            if (selectedImage) {
                g.drawImage(selectedImage, w / 2, y + fontAt(FONT_MENU_SELECTED).getHeight() / 2,
                            DGraphics::HCENTER | DGraphics::VCENTER);
            }
            fontAt(FONT_MENU_SELECTED).drawStringOnScreen(text, w / 2, y, kCentreTop);
        } else {
            g.setColor(itemColour);
            fontAt(FONT_MENU).drawStringOnScreen(text, w / 2, y, kCentreTop);
        }
    }
    if (n > visible) {
        const bool table = state == STATE_HIGHSCORES;
        if (arrowUpImage && !(table && first == 0))
            g.drawImage(arrowUpImage, w / 2, top - 2, DGraphics::HCENTER | DGraphics::BOTTOM);
        if (arrowDownImage && !(table && first + visible >= n))
            g.drawImage(arrowDownImage, w / 2, top + height, kCentreTop);
    }
}

void GameMenu::moveUp()
{
    if (state == STATE_LIST) {
        const int32_t n = count();
        if (n == 0)
            return;
        if (selected < 1) {
            selected = n - 1;
            first = std::max(0, n - visible);
        } else {
            selected -= 1;
            if (selected < first)
                first = selected;
        }
    } else if (first > 0) {
        first -= 1;
    }
}

void GameMenu::moveDown()
{
    const int32_t n = count();
    if (state == STATE_LIST) {
        if (n == 0)
            return;
        if (selected >= n - 1) {
            selected = 0;
            first = 0;
        } else {
            selected += 1;
            if (selected > first + visible - 1)
                first += 1;
        }
    } else if (state == STATE_HIGHSCORES) {
        if (first < n - visible)
            first += 1;
    } else if (first + visible < n) {
        first += 1;
    }
}

void GameMenu::update()
{
    if (lastActionTime <= 0)
        lastActionTime = now();
    chosen = 0;
    if (state == STATE_NAME_ENTRY) {
        updateNameEntry();
        return;
    }
    if (state == STATE_TEXT)
        visible = helpLineHeight > 0 ? (helpBottom - helpTop) / helpLineHeight : 0;
    else
        visible = (height - 2 * border) / lineStep;

    if (now() - lastActionTime <= kGateMillis)
        return;
    const int32_t n = count();
    if (keyUp || keyAction14) {
        moveUp();
    } else if (keyDown || keyAction15) {
        moveDown();
    } else if (keyFire) {
        if (state == STATE_LIST) {
            // An empty list has nothing to choose.
            if (n > 0) {
                chosen = 1;
                if (selected == n - 1)
                    closed = 1;
            }
        } else if (state == STATE_HIGHSCORES) {
            closed = 1;
        } else if (state == STATE_TEXT) {
            pageDown();
        }
    } else if (keySoftLeft && (state == STATE_HIGHSCORES || state == STATE_TEXT)) {
        closed = 1;
        lastActionTime = now();
        ScreenCanvas::clearKeys();
        return;
    } else if (keySoftRight) {
        if (state == STATE_TEXT)
            pageDown();
        else if (state == STATE_HIGHSCORES)
            closed = 1;
    } else if (!pointerPressed) {
        return;
    } else if (state == STATE_LIST) {
        tapList();
    } else if (state == STATE_HIGHSCORES) {
        closed = 1;
    } else if (state == STATE_TEXT) {
        if (!tapHelp())
            return;
    }
    lastActionTime = now();
}

void GameMenu::tapList()
{
    const int32_t n = count();
    for (int32_t i = first; i < first + visible && i < n; ++i) {
        const int32_t y = rowTop(i - first);
        const int32_t w = fontAt(FONT_MENU).stringWidth((*lines)[i]);
        const int32_t left = screenWidth / 2 - w / 2;
        if (isPointerInside(left, y + 1, left + w, y + lineStep - 1)) {
            selected = i;
            chosen = 1;
            lastActionTime = now();
            // The selection shows before the game acts on it.
            paint();
            screenCanvas->flushGraphics();
            break;
        }
    }
    if (n > visible) {
        if (arrowUpImage) {
            const int32_t aw = arrowUpImage->getWidth();
            const int32_t left = screenWidth / 2 - aw / 2;
            if (isPointerInside(left, top - arrowUpImage->getHeight() - 2, left + aw, top - 2)) {
                moveUp();
                lastActionTime = now();
            }
        }
        if (arrowDownImage) {
            const int32_t aw = arrowDownImage->getWidth();
            const int32_t left = screenWidth / 2 - aw / 2;
            const int32_t y = top + height + 2;
            if (isPointerInside(left, y, left + aw, y + arrowDownImage->getHeight())) {
                moveDown();
                lastActionTime = now();
            }
        }
    }
    if (chosen && selected == n - 1)
        closed = 1;
}

void GameMenu::setBackground(DImagePtr picture, int32_t level)
{
    if (level == kShadeMenu)
        margin >>= 1;
    box = 0;
    const int32_t g = (picture->getWidth() - screenWidth) >> 1;
    background = createShadeImage(picture, level, margin + g, screenWidth + g - margin);
}

DImagePtr GameMenu::createShadeImage(DImagePtr source, int32_t level, int32_t from, int32_t to)
{
    const int32_t w = source->getWidth();
    const int32_t h = source->getHeight();
    DImagePtr copy = qev::microedition::lcdui::DImage::createImage(w, h);
    qev::microedition::lcdui::DGraphicsPtr g = copy->getGraphics();
    g->drawImageOpaque(source, 0, 0, DGraphics::LEFT | DGraphics::TOP);
    const int32_t n = to - from + 1;
    if (n <= 0)
        return copy;
    const int32_t alpha = std::min(255, level < 0 ? -level : level);
    const int32_t pixel =
        static_cast<int32_t>(static_cast<uint32_t>(alpha) << 24 | (level > 0 ? 0xFFFFFFu : 0u));
    qev::lang::DintArrayPtr row = new qev::lang::DintArray(n);
    for (int32_t i = 0; i < n; ++i)
        (*row)[i] = pixel;
    for (int32_t y = 0; y < h; ++y)
        g->drawRGB(row, 0, n, from, y, n, 1, true);
    return copy;
}

DStringPtr GameMenu::getSfxLevelKey(int32_t level)
{
    static const char16_t* const kKeys[] = {u"soundfxoff", u"soundfxlow", u"soundfxnormal",
                                            u"soundfxhigh"};
    return level >= 0 && level < 4 ? DStringPtr(kKeys[level]) : DStringPtr(u"");
}

DStringPtr GameMenu::getMusicLevelKey(int32_t level)
{
    static const char16_t* const kKeys[] = {u"musicoff", u"musiclow", u"musicnormal", u"musichigh"};
    return level >= 0 && level < 4 ? DStringPtr(kKeys[level]) : DStringPtr(u"");
}

DStringPtr GameMenu::getSfxLevelText(int32_t level)
{
    return level >= 0 && level < 4 ? getText(getSfxLevelKey(level)) : DStringPtr(u"");
}

DStringPtr GameMenu::getMusicLevelText(int32_t level)
{
    return level >= 0 && level < 4 ? getText(getMusicLevelKey(level)) : DStringPtr(u"");
}

namespace {

int32_t nextLevel(int32_t level)
{
    return level >= 0 && level < 3 ? level + 1 : 0;
}

} // namespace

DStringPtr GameMenu::advanceSfxLevel(DStringPtr option)
{
    const int32_t level = nextLevel(getSfxLevel());
    setSfxLevel(level);
    saveOption(option, level);
    return getSfxLevelText(level);
}

DStringPtr GameMenu::advanceMusicLevel(DStringPtr option)
{
    const int32_t level = nextLevel(getMusicLevel());
    setMusicLevel(level);
    saveOption(option, level);
    return getMusicLevelText(level);
}

} // namespace gamelib
