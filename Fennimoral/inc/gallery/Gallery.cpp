#include "gallery/Gallery.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DSystem.h"

namespace gallery {

using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::lang::DSystem;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;

namespace {

const char16_t* const kMaskOption = u"openimgs";
constexpr uint32_t kPictureBits = (1u << Gallery::kPictures) - 1;

int32_t mask = 0;
bool maskLoaded = false;

void loadMask()
{
    mask = gamelib::GameMenu::loadOption(kMaskOption, 0);
    maskLoaded = true;
}

} // namespace

int32_t Gallery::unlockedMask()
{
    if (!maskLoaded)
        loadMask();
    return mask;
}

void Gallery::forgetMask()
{
    mask = 0;
    maskLoaded = false;
}

void Gallery::unlockPicture(int32_t n)
{
    if (n < 0 || n >= kPictures)
        return;
    // Extends the stored mask, also when no gallery has read it in this run.
    const int32_t bits = unlockedMask();
    if (bits & (1 << n))
        return;
    mask = bits | (1 << n);
    gamelib::GameMenu::saveOption(kMaskOption, mask);
}

bool Gallery::isUnlocked(int32_t n)
{
    return n >= 0 && n < kPictures && (unlockedMask() & (1 << n)) != 0;
}

int32_t Gallery::nextUnlocked(int32_t start, bool forward)
{
    if (start < 0 || start >= kPictures)
        return -1;
    int32_t n = start;
    do {
        n = forward ? (n + 1) % kPictures : (n + kPictures - 1) % kPictures;
    } while (n != start && !isUnlocked(n));
    return n;
}

void Gallery::start()
{
    stopped = false;
    loadMask();
    current = 0;
    slide = SLIDE_STILL;
    slideX = 0;
    m_quitLabel = gamelib::getText(u"quit");
    m_nextLabel = gamelib::getText(u"next");
    m_noImagesLabel = gamelib::getText(u"noimages");
    labelHeight = gamelib::imageFonts[gamelib::FONT_HUD1]->getHeight();
    buttonSpeed = kButtonSpeed;
    if (!gamelib::tolerant([this] {
            m_button = gamelib::GameLib::createImage(u"/graphics/button.png");
            buttonWidth = m_button->getWidth();
        })) {
        // Without the image the labels still show; the quit corner keeps the label's width.
        m_button = nullptr;
        buttonWidth = gamelib::imageFonts[gamelib::FONT_HUD1]->stringWidth(m_quitLabel) + 4;
    }
    buttonX = 0;
    // Bits above the last picture (a damaged option) unlock nothing.
    if ((static_cast<uint32_t>(mask) & kPictureBits) != 0) {
        if (!isUnlocked(0)) {
            current = nextUnlocked(0, true);
            if (current < 1)
                current = -1;
        }
        compose(current);
    } else if (mask != 0) {
        current = -1;
    }
    m_previous = nullptr;
    buttonTime = DSystem::currentTimeMillis();
}

void Gallery::compose(int32_t n)
{
    m_picture = DImage::createImage(screenWidth, screenHeight);
    // A picture that cannot be composed stays blank.
    gamelib::GameLib::drawPicture(n + 1, m_picture->getGraphics());
}

void Gallery::stop()
{
    stopped = true;
    m_picture = nullptr;
    m_previous = nullptr;
}

bool Gallery::leaving() const
{
    using namespace gamelib;
    if (keySoftLeft)
        return true;
    return pointerPressed && pointerX < buttonWidth && screenHeight - pointerY < labelHeight;
}

void Gallery::update()
{
    using namespace gamelib;
    if (leaving()) {
        if (embedded) {
            // The game's menu must not see the key that left the gallery.
            ScreenCanvas::clearKeys();
            stop();
        } else {
            GameLib::showMainMenu();
        }
        return;
    }

    const bool next =
        keyRight || keySoftRight || keyAction15 || (pointerPressed && pointerX > screenWidth / 2);
    const bool previous = keyLeft || keyAction14 || (pointerPressed && pointerX < screenWidth / 2);
    if ((next || previous) && slide == SLIDE_STILL && current >= 0 && m_picture) {
        const int32_t n = nextUnlocked(current, next);
        if (n != current) {
            current = n;
            m_previous = m_picture;
            compose(n);
            if (next) {
                slide = SLIDE_NEXT;
                slideX = 0;
                slideSpeed = kSlideStartSpeed;
            } else {
                slide = SLIDE_PREVIOUS;
                slideX = screenWidth;
                slideSpeed = -kSlideStartSpeed;
            }
        }
    }
    slideStep();
    buttonStep();
}

void Gallery::slideStep()
{
    // The integer part of the speed, towards zero, so both directions move alike.
    if (slide == SLIDE_NEXT) {
        slideSpeed += kSlideSpeedUp;
        slideX += slideSpeed / 0x10000;
        if (slideX <= screenWidth)
            return;
    } else if (slide == SLIDE_PREVIOUS) {
        slideSpeed -= kSlideSpeedUp;
        slideX += slideSpeed / 0x10000;
        if (slideX >= 0)
            return;
    } else {
        return;
    }
    slide = SLIDE_STILL;
    m_previous = nullptr;
    slideX = 0;
}

void Gallery::buttonStep()
{
    using namespace gamelib;
    if (anyKey || pointerPressed || pointerDragged) {
        if (buttonX < buttonWidth)
            buttonSpeed = kButtonSpeed;
        anyKey = 0;
    }
    buttonX += buttonSpeed;
    if (buttonX < 0) {
        buttonX = 0;
        buttonSpeed = 0;
    }
    if (buttonSpeed > 0 && buttonX >= buttonWidth) {
        buttonX = buttonWidth;
        buttonSpeed = 0;
        buttonTime = DSystem::currentTimeMillis();
    }
    if (buttonX == buttonWidth && buttonTime != -1 &&
        DSystem::currentTimeMillis() - buttonTime > kButtonShowMillis) {
        buttonSpeed = -1;
        buttonTime = -1;
    }
}

void Gallery::paint()
{
    using namespace gamelib;
    DGraphics& g = *screenGraphics;
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    const ImageFont& hud = *imageFonts[FONT_HUD1];
    if (current >= 0 && m_picture) {
        const int32_t anchor = DGraphics::LEFT | DGraphics::TOP;
        if (slide == SLIDE_NEXT && m_previous) {
            g.drawImageOpaque(m_previous, slideX, 0, anchor);
            g.drawImageOpaque(m_picture, slideX - m_picture->getWidth(), 0, anchor);
        } else if (slide == SLIDE_PREVIOUS && m_previous) {
            g.drawImageOpaque(m_previous, slideX - m_previous->getWidth(), 0, anchor);
            g.drawImageOpaque(m_picture, slideX, 0, anchor);
        } else {
            g.drawImageOpaque(m_picture, 0, 0, anchor);
        }
        if (m_button)
            g.drawImage(m_button, w - buttonX, h, DGraphics::LEFT | DGraphics::BOTTOM);
        hud.drawString(screenGraphics, m_nextLabel, buttonWidth / 2 + w - buttonX, h - 2,
                       DGraphics::HCENTER | DGraphics::BOTTOM);
    } else {
        g.setColor(0x330066);
        g.fillRect(0, 0, w, h);
        g.setColor(0xCCCCCC);
        g.drawRect(1, 1, w - 2, h - 2);
        imageFonts[FONT_SMALL]->drawString(screenGraphics, m_noImagesLabel, w / 2, h / 2,
                                           DGraphics::HCENTER | DGraphics::VCENTER);
    }
    if (m_button)
        g.drawImage(m_button, buttonX, h, DGraphics::RIGHT | DGraphics::BOTTOM);
    hud.drawString(screenGraphics, m_quitLabel, buttonX - buttonWidth / 2, h - 2,
                   DGraphics::HCENTER | DGraphics::BOTTOM);
}

} // namespace gallery
