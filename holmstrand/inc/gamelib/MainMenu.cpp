#include "gamelib/MainMenu.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "gallery/Gallery.h"

#include "ErrorBox.h"

#include <cstdlib>
#include <string>

namespace gamelib {

using qev::lang::DExceptionBase;
using qev::lang::DString;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;

int32_t MainMenu::openingMillis = 0;

namespace {

constexpr int32_t kStep = GameLib::kStepMillis;
constexpr int32_t kOpeningMillis = 1000;
constexpr int32_t kClosingMillis = 1700;
constexpr int32_t kLogoMillis = 300;

// The icons after the games'.
constexpr const char16_t* kGalleryIcon = u"gallery";
constexpr const char16_t* kExitIcon = u"exit";
constexpr const char16_t* kGalleryLogo = u"logoGallery.png";
constexpr const char16_t* kExitLogo = u"logoExit.png";

// One piece per entry: the games' in table order, then the gallery's and the exit's, named by
// `name` from the entry's icon stem and logo.
template <class Name> GameImageArrayPtr cutPieces(GameTable games, Name name)
{
    const int32_t count = static_cast<int32_t>(games.size()) + 2;
    GameImageArrayPtr pieces = new GameImageArray(count);
    for (int32_t i = 0; i < count - 2; ++i)
        pieces[i] = requirePiece(name(games[i].folder, games[i].logo));
    pieces[count - 2] = requirePiece(name(kGalleryIcon, kGalleryLogo));
    pieces[count - 1] = requirePiece(name(kExitIcon, kExitLogo));
    return pieces;
}

} // namespace

void MainMenu::start()
{
    ScreenCanvas::clearKeys();
    loadLanguageTexts();
    m_backdrop = GameLib::loadImage(u"/menu/back.jpg", 0);
    state = STATE_OPENING;
    countdown = openingMillis;
    launchFlag = exitFlag = logoShown = 0;
    openingMillis = kOpeningMillis;
    closingMillis = kClosingMillis;
    logoInMillis = kLogoMillis;
    logoOutMillis = kLogoMillis;

    loadAtlas(u"/menu/small_icons");
    const GameTable games = shellScreens().games;
    m_icons = cutPieces(
        games, [](const char16_t* stem, const char16_t*) { return DStringPtr(stem) + u".png"; });
    m_selectedIcons = cutPieces(
        games, [](const char16_t* stem, const char16_t*) { return DStringPtr(stem) + u"_s.png"; });
    m_logos =
        cutPieces(games, [](const char16_t*, const char16_t* logo) { return DStringPtr(logo); });
    galleryEntry = static_cast<int32_t>(games.size());
    exitEntry = galleryEntry + 1;
    layout();
    selection = 0;
    shownLogo = 0;
}

void MainMenu::layout()
{
    const int32_t iw = m_icons[0]->w;
    const int32_t ih = m_icons[0]->h;
    spacing = iw + (2 * iw) / 3;
    const int32_t column = (spacing / 2 - 5) << 16;
    const int32_t count = entries();
    const int32_t step = ((3 * screenHeight) / 4) / count;
    const int32_t bottom = screenHeight - (3 * ih) / 4;
    for (std::vector<int32_t>* v : {&targetX, &targetY, &posX, &posY, &velX, &velY})
        v->assign(count, 0);
    for (int32_t i = 0; i < count; ++i) {
        targetX[i] = column;
        targetY[i] = (bottom - (count - 1 - i) * step) << 16;
        posY[i] = targetY[i];
        // Widened first: the magnitude of the smallest int does not fit an int.
        const int64_t drawn = std::llabs(static_cast<int64_t>(sharedRandom->next(32)));
        const int32_t r = spacing > 0 ? static_cast<int32_t>(drawn % spacing) : 0;
        posX[i] = column - ((spacing + r) << 16);
        velX[i] = i == 2 ? 0 : 0x10000;
    }
}

void MainMenu::startTransition3()
{
    if (state == STATE_LOGO_IN)
        return;
    countdown = state == STATE_LOGO_OUT ? logoInMillis - countdown : logoInMillis;
    state = STATE_LOGO_IN;
}

void MainMenu::startTransition4()
{
    if (state == STATE_LOGO_OUT)
        return;
    if (state == STATE_LOGO_IN)
        countdown = logoOutMillis - countdown;
    else
        countdown = logoShown ? logoOutMillis : 0;
    state = STATE_LOGO_OUT;
}

void MainMenu::move(int32_t& position, int32_t& velocity, int32_t target) const
{
    const int32_t a = kAcceleration;
    if (target < position)
        velocity -= velocity > 0 ? a : a / 4;
    else if (target > position)
        velocity += velocity < 0 ? a : a / 4;
    if (std::abs(position - target) < a && std::abs(velocity) < a) {
        velocity = 0;
        position = target;
    }
    position += velocity;
}

void MainMenu::update()
{
    for (int32_t i = 0; i < entries(); ++i) {
        move(posX[i], velX[i], targetX[i]);
        move(posY[i], velY[i], targetY[i]);
    }
    bool skip = false;
    if (state == STATE_IDLE || state == STATE_LOGO_IN || state == STATE_LOGO_OUT)
        handleInput(skip);
    if (!skip)
        runStateMachine();
}

void MainMenu::select(int32_t entry)
{
    selection = (entry + entries()) % entries();
}

void MainMenu::handleInput(bool& skipStateMachine)
{
    if (keyAction14) {
        select(selection - 1);
        velX[selection] -= kNudge;
        startTransition4();
    } else if (keyAction15) {
        select(selection + 1);
        velX[selection] += kNudge;
        startTransition4();
    } else if (keyUp) {
        keyUp = 0;
        select(selection - 1);
        velY[selection] -= kNudge;
        startTransition4();
    } else if (keyDown) {
        keyDown = 0;
        select(selection + 1);
        velY[selection] += kNudge;
        startTransition4();
    } else if (keyFire || keySoftLeft) {
        if (pointerPressed && !tapTest()) {
            skipStateMachine = true;
            return;
        }
        choose();
    } else if (pointerPressed) {
        if (!tapTest()) {
            skipStateMachine = true;
            return;
        }
        choose();
    } else if (keyLeft) {
        keyLeft = 0;
        select(selection - 1);
        velX[selection] -= kNudge;
        startTransition4();
    } else if (keyRight) {
        keyRight = 0;
        select(selection + 1);
        velX[selection] += kNudge;
        startTransition4();
    }
}

bool MainMenu::tapTest()
{
    pointerPressed = 0;
    for (int32_t i = 0; i < entries(); ++i) {
        const GameImage& icon = *m_icons[i];
        const int32_t left = (posX[i] >> 16) - icon.w / 2;
        const int32_t top = (posY[i] >> 16) - icon.h / 2;
        if (pointerX >= left && pointerX <= left + icon.w && pointerY >= top &&
            pointerY <= top + icon.h) {
            selection = i;
            return true;
        }
    }
    return false;
}

void MainMenu::choose()
{
    if (selection == exitEntry)
        exitFlag = 1;
    else
        launchFlag = 1;
    startTransition4();
    for (int32_t i = 0; i < entries(); ++i)
        targetX[i] = -spacing << 16;
    targetX[selection] = (spacing / 2 - 5) << 16;
}

void MainMenu::runStateMachine()
{
    switch (state) {
    case STATE_OPENING:
        if (countdown > 0)
            countdown -= kStep;
        if (countdown <= 0) {
            if (selection >= 0)
                startTransition4();
            else
                state = STATE_IDLE;
        }
        break;
    case STATE_LOGO_IN:
        logoShown = 1;
        countdown -= kStep;
        if (countdown <= 0)
            state = STATE_IDLE;
        break;
    case STATE_LOGO_OUT:
        countdown -= kStep;
        if (countdown <= 0) {
            logoShown = 0;
            if (!launchFlag && !exitFlag) {
                shownLogo = selection;
                startTransition3();
            } else {
                state = STATE_CLOSING;
                countdown = closingMillis;
            }
        }
        break;
    case STATE_CLOSING:
        countdown -= kStep;
        if (countdown <= 0) {
            if (!launchFlag)
                gameLib->notifyDestroyed();
            else
                launch();
        }
        break;
    default:
        break;
    }
}

void MainMenu::launch()
{
    GameInterfacePtr next;
    if (selection == galleryEntry) {
        next = new gallery::Gallery();
    } else {
        // Navigation keys still move the selection while the icons slide out, so a launch can
        // find it on the exit entry: there is no screen to make for that one.
        const GameTable games = shellScreens().games;
        GameInterfacePtr (*maker)() =
            selection >= 0 && selection < galleryEntry ? games[selection].make : nullptr;
        if (!maker) {
            // The game is not part of this build: start over with a fresh main menu rather than
            // leave the player on a menu whose icons have slid away.
            GameLib::showMainMenu();
            return;
        }
        next = maker();
    }
    // This menu is not stopped: it goes with its last reference.
    currentScreen = next;
    try {
        next->start();
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        refuseScreen(next, e);
    }
}

void MainMenu::refuseScreen(const GameInterfacePtr& screen, DExceptionBase* e)
{
    // A screen whose start failed (its data missing or damaged) stands half made and would
    // ignore every key: the player is told what failed and gets a fresh main menu instead.
    const std::u16string text = u"The screen cannot start!\n" + host::exceptionDescription(*e);
    host::reportToStderr(*e);
    delete e;
    tolerant([&] { screen->stop(); });
    currentScreen = nullptr;
    host::showError(text);
    GameLib::showMainMenu();
}

void MainMenu::paint()
{
    DGraphics& g = *screenGraphics;
    GameMenu::clearAround(g, m_backdrop);
    g.drawImage(m_backdrop, 0, 0, DGraphics::TOP | DGraphics::LEFT);
    if (countdown < 0)
        countdown = 0;
    for (int32_t i = 0; i < entries(); ++i) {
        GameImagePtr icon = i == selection ? m_selectedIcons[i] : m_icons[i];
        icon->draw((posX[i] >> 16) - icon->w / 2, (posY[i] >> 16) - icon->h / 2);
    }
    if (logoShown) {
        GameImagePtr logo = m_logos[shownLogo];
        const int32_t w = logo->w;
        int32_t x = screenWidth - w;
        if (state == STATE_LOGO_IN)
            x = screenWidth - ((logoInMillis - countdown) * w) / logoInMillis;
        else if (state == STATE_LOGO_OUT)
            x = screenWidth - (countdown * w) / logoOutMillis;
        logo->draw(x, screenHeight - logo->h);
    }
}

} // namespace gamelib
