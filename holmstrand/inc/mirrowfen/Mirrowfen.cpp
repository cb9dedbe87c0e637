#include "mirrowfen/Mirrowfen.h"

#include "mirrowfen/Ship.h"

#include "gallery/Gallery.h"
#include "gamelib/CustomControls.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "lang/DExceptionBase.h"
#include "lang/DSystem.h"
#include "microedition/lcdui/DGraphics.h"

using qev::lang::DStringArray;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace mirrowfen {

int32_t gameState = 0;
int32_t currentLevel = 1;
int32_t menuId = 0;
int32_t previousMenuId = 0;
uint8_t boundsOn = 0;
int64_t lastStepTime = 0;
uint8_t noDamage = 0;
DImagePtr backgroundImage;
ShipPtr ship;
qev::lang::DintArray2dPtr starField;
gamelib::CustomControlsPtr keyConfig;

void resetGlobals()
{
    gameState = 0;
    currentLevel = 1;
    menuId = previousMenuId = 0;
    boundsOn = 0;
    lastStepTime = 0;
    noDamage = 0;
    backgroundImage = nullptr;
    ship = nullptr;
    starField = nullptr;
    keyConfig = nullptr;
}

int32_t random32()
{
    return gamelib::sharedRandom->next(32);
}

namespace {

int64_t now()
{
    return qev::lang::DSystem::currentTimeMillis();
}

DStringPtr prefixed(const char16_t* option)
{
    return gamelib::mirrowfenName + option;
}

void advanceLoadingBar()
{
    gamelib::GameMenu::paintProgressBar();
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->flushGraphics();
}

} // namespace

Mirrowfen::Mirrowfen()
    : effects(new qev::lang::DintArray2d(kEffectSlots, 4)),
      particles(new qev::lang::DintArray2d(kEffectSlots * kRowsPerEffect, 5)),
      shots(new FlyingOArray(kShotSlots))
{
}

void Mirrowfen::start()
{
    using namespace gamelib;
    gameState = STATE_MENU;
    DImagePtr splash;
    screenGraphics->setColor(0xFFFFFF);
    tolerant([&] {
        splash = GameLib::loadImage(u"/mirf/splash.jpg", 0);
        screenGraphics->drawImage(splash, screenWidth / 2, screenHeight / 2,
                                  DGraphics::HCENTER | DGraphics::VCENTER);
    });
    GameMenu::setProgressBar(screenHeight - screenHeight / 8, 0, 10, 0xFFFFFF, 0xFF0000);
    // The bar advances once after each loading step from here on.
    advanceLoadingBar();
    // A new sequence every game start.
    sharedRandom = new qev::util::DRandom(now());
    advanceLoadingBar();
    boundsOn = GameMenu::loadOption(prefixed(u"B"), 0) != 0;
    setSfxLevel(GameMenu::loadOption(prefixed(u"sfx_level"), 2));
    setMusicLevel(GameMenu::loadOption(prefixed(u"music_level"), 2));
    advanceLoadingBar();
    tolerant([] {
        static const char16_t* const kSounds[8] = {u"menu", u"game",   u"shoot",     u"explose",
                                                   u"hit",  u"rocket", u"rockethit", u"limit"};
        DStringArrayPtr names = new DStringArray(8);
        for (int32_t i = 0; i < 8; ++i)
            (*names)[i] = DStringPtr(u"/data/mirf/sound/") + kSounds[i];
        loadSounds(names);
    });
    advanceLoadingBar();
    tolerant([] { loadAtlas(u"/mirf/all"); });
    advanceLoadingBar();
    loadResources();
    advanceLoadingBar();
    menu = new GameMenu();
    buildMenu(0);
    advanceLoadingBar();
    youWinText = getText(u"youwin");
    pauseText = getText(u"pause");
    scoreText = getText(u"score");
    gameOverText = getText(u"gameover");
    levelText = getText(u"level");
    lifePanel = GameImage::fromAtlas(u"lifePanel");
    scorePanel = GameImage::fromAtlas(u"scorePanel");
    advanceLoadingBar();
    starField = new qev::lang::DintArray2d(150, 2);
    for (int32_t i = 149; i >= 0; --i) {
        qev::lang::DintArrayPtr star = (*starField)[i];
        (*star)[0] = (wrappingAbs(random32()) % screenWidth) * 65536;
        (*star)[1] = (wrappingAbs(random32()) % screenHeight) * 65536;
    }
    advanceLoadingBar();
    ship = new Ship();
    ship->loadImages();
    advanceLoadingBar();
    if (splash)
        menu->setBackground(splash, GameMenu::kShadeMenu);
    playSound(SOUND_MENU, 1);
    advanceLoadingBar();
    tolerant([&] {
        // Up, left, right and fire can be redefined.
        keyConfig = new CustomControls(CustomControls::kThrustSteerAndFireMask);
        keyConfig->init(mirrowfenName);
        if (splash)
            keyConfig->background =
                GameMenu::createShadeImage(splash, GameMenu::kShadeDialog, 0, splash->getWidth());
        qev::lang::DObjectArrayPtr keys = keyConfig->loadKeys();
        if (screenCanvas)
            screenCanvas->setKeyMapping(1, keys);
    });
    lastStepTime = now();
}

void Mirrowfen::loadResources()
{
    using gamelib::GameImage;
    waveImages = new gamelib::GameImageArray2d(3, 28);
    for (int32_t s = 1; s <= 3; ++s) {
        gamelib::GameImageArrayPtr set = (*waveImages)[s - 1];
        for (int32_t f = 1; f <= 7; ++f) {
            const DStringPtr name = DStringPtr(u"wave") + s + u"_" + f;
            (*set)[f - 1] = GameImage::fromAtlas(name);
            (*set)[f + 6] = GameImage::fromAtlas(name + u"_up");
            (*set)[f + 13] = GameImage::fromAtlas(name + u"_dn");
            (*set)[f + 20] = GameImage::fromAtlas(name + u"_lv");
        }
    }
    sparkImages = new gamelib::GameImageArray(5);
    for (int32_t i = 0; i < 5; ++i)
        (*sparkImages)[i] = GameImage::fromAtlas(DStringPtr(u"bp") + i);
    debrisImages = new gamelib::GameImageArray(13);
    for (int32_t i = 0; i < 13; ++i)
        (*debrisImages)[i] = GameImage::fromAtlas(DStringPtr(u"p") + (i + 1));
}

void Mirrowfen::stop()
{
    keyConfig = nullptr;
    waveImages = nullptr;
    sparkImages = nullptr;
    debrisImages = nullptr;
    starField = nullptr;
    ship = nullptr;
    shots = nullptr;
    shotCount = 0;
    if (menu)
        menu->releaseTitleImage();
    menu = nullptr;
    gamelib::stopAllSounds();
}

void Mirrowfen::buildMenu(int32_t id)
{
    using namespace gamelib;
    previousMenuId = menuId;
    menuId = id;
    menu->selected = 0;
    menu->first = 0;
    if (id == 0 || id == 1) {
        static const char16_t* const kBefore[ITEM_SFX] = {u"start", u"continue", u"gallery",
                                                          u"highscores", u"help"};
        DStringArrayPtr items = new DStringArray(ITEM_EXIT + 1);
        for (int32_t i = 0; i < ITEM_SFX; ++i)
            (*items)[i] = getText(kBefore[i]);
        (*items)[ITEM_SFX] = GameMenu::getSfxLevelText(getSfxLevel());
        (*items)[ITEM_MUSIC] = GameMenu::getMusicLevelText(getMusicLevel());
        (*items)[ITEM_BOUNDS] = getText(boundsOn ? u"boundson" : u"boundsoff");
        (*items)[ITEM_KEYS] = getText(u"cfg_keys");
        (*items)[ITEM_EXIT] = getText(u"exit");
        menu->setItems(items);
        menu->state = GameMenu::STATE_LIST;
    } else if (id == 2) {
        DStringPtr shortName = u"en";
        if (languageShortNames && languageIndex >= 0 && languageIndex < languageShortNames->size())
            shortName =
                qev::lang::dcast<qev::lang::DString>(languageShortNames->elementAt(languageIndex));
        menu->setHelpText(DStringPtr(u"/txt/mirf/") + shortName + u"_help.txt",
                          qev::lang::DObjectArrayPtr());
        menu->state = GameMenu::STATE_TEXT;
    } else if (id == 3) {
        menu->lines = nullptr;
        menu->loadHighscores(1, mirrowfenName);
        menu->state = GameMenu::STATE_HIGHSCORES;
    }
    keyFire = 0;
    if (id == 2 || id == 3)
        menu->closed = 0;
}

void Mirrowfen::update()
{
    using namespace gamelib;
    switch (gameState) {
    case STATE_MENU:
        updateMenu();
        return;
    case STATE_GALLERY: {
        gallery->update();
        auto* g = dynamic_cast<gallery::Gallery*>(gallery.get());
        if (!g || g->stopped) {
            gameState = STATE_MENU;
            if (menuId == 0)
                playSound(SOUND_MENU, 1);
        }
        return;
    }
    case STATE_KEYS:
        if (!keyConfig || keyConfig->update() != CustomControls::KEEP_SHOWING) {
            gameState = STATE_MENU;
            ScreenCanvas::clearKeys();
        }
        return;
    default:
        break;
    }
    if (gameState == STATE_PLAYING && keyPause) {
        ScreenCanvas::clearKeys();
        pause();
        return;
    }
    if (now() - lastStepTime > kStepMillis)
        gameStep();
}

void Mirrowfen::pause()
{
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->rebuildKeyMap(0);
    gamelib::pauseAllSounds();
    gamelib::playSound(SOUND_MENU, 1);
    buildMenu(1);
    gameState = STATE_MENU;
    lastStepTime = now();
}

void Mirrowfen::updateMenu()
{
    using namespace gamelib;
    menu->update();
    if (menu->chosen && (menuId == 0 || menuId == 1)) {
        keySoftLeft = 0;
        menuChoice(menu->selected);
        // "exit" stopped the game: its menu is gone.
        if (!menu)
            return;
    }
    if ((menuId == 2 || menuId == 3) && menu->closed) {
        GameMenu::releaseHelp();
        buildMenu(previousMenuId);
        menu->closed = 0;
    }
    if (menu->state == GameMenu::STATE_NAME_ENTRY && GameMenu::nameReady) {
        GameMenu::nameReady = 0;
        menu->loadHighscores(1, mirrowfenName);
        menu->insertHighscore(GameMenu::enteredName, score);
        menu->saveHighscores(1, mirrowfenName);
        menu->state = GameMenu::STATE_LIST;
        score = 0;
        lastBonusScore = 0;
        gameState = STATE_MENU;
        currentLevel = 1;
        buildMenu(3);
        previousMenuId = 0;
        menu->closed = 0;
        keyFire = 0;
    }
}

void Mirrowfen::newGame()
{
    score = 0;
    lastBonusScore = 0;
    currentLevel = 1;
    startLevel(1, 0);
    gameState = STATE_INTRO;
    gamelib::stopAllSounds();
    gamelib::playSound(SOUND_LIMIT, 1);
    countdown = kIntroSteps;
    gamelib::playSound(SOUND_GAME, -1);
}

void Mirrowfen::menuChoice(int32_t index)
{
    using namespace gamelib;
    switch (index) {
    case ITEM_START:
    case ITEM_CONTINUE:
        if (index == ITEM_START)
            menuId = 0;
        if (screenCanvas)
            screenCanvas->rebuildKeyMap(1);
        if (menuId == 1) {
            gameState = STATE_PLAYING;
            countdown = 0;
            resumeAllSounds();
            rewindSound(SOUND_MENU);
        } else {
            newGame();
        }
        break;
    case ITEM_GALLERY: {
        if (!gallery) {
            auto* g = new gallery::Gallery();
            g->embedded = true;
            gallery = g;
        }
        static_cast<gallery::Gallery*>(gallery.get())->stopped = false;
        stopSound(SOUND_MENU);
        gallery->start();
        gameState = STATE_GALLERY;
        break;
    }
    case ITEM_HIGHSCORES:
        buildMenu(3);
        break;
    case ITEM_HELP:
        buildMenu(2);
        break;
    case ITEM_SFX:
        (*menu->lines)[ITEM_SFX] = GameMenu::advanceSfxLevel(prefixed(u"sfx_level"));
        break;
    case ITEM_MUSIC:
        (*menu->lines)[ITEM_MUSIC] = GameMenu::advanceMusicLevel(prefixed(u"music_level"));
        break;
    case ITEM_BOUNDS:
        boundsOn = !boundsOn;
        (*menu->lines)[ITEM_BOUNDS] = getText(boundsOn ? u"boundson" : u"boundsoff");
        GameMenu::saveOption(prefixed(u"B"), boundsOn ? 1 : 0);
        break;
    case ITEM_KEYS:
        gameState = STATE_KEYS;
        ScreenCanvas::resetInput();
        break;
    default:
        GameLib::showMainMenu();
        break;
    }
}

void Mirrowfen::endOfGame()
{
    using namespace gamelib;
    stopAllSounds();
    menu->loadHighscores(1, mirrowfenName);
    if (screenCanvas)
        screenCanvas->rebuildKeyMap(0);
    if (menu->isHighscore(score)) {
        backgroundImage = nullptr;
        menu->startNameEntry();
    } else {
        score = 0;
        currentLevel = 1;
        buildMenu(0);
    }
    if (screenCanvas)
        screenCanvas->rebuildKeyMap(0);
    gameState = STATE_MENU;
}

void Mirrowfen::nextLevel()
{
    if (currentLevel == levelCap) {
        endOfGame();
        return;
    }
    gallery::Gallery::unlockPicture((currentLevel - 1) % 5 + 14);
    currentLevel += 1;
    const int32_t lives = ship->lives;
    startLevel(currentLevel, score);
    ship->lives = lives;
    gameState = STATE_INTRO;
    countdown = kIntroSteps;
    gamelib::playSound(SOUND_LIMIT, 1);
}

bool Mirrowfen::jumpLevel()
{
    using namespace gamelib;
    if (!levelJumpFlag)
        return false;
    levelJumpFlag = 0;
    const int32_t n = levelJumpNumber;
    if (n == 0) {
        noDamage = !noDamage;
        return false;
    }
    // A negative number would make negative saucer counts. The two typed digits make at most
    // 99; the larger numbers that other keys can make would send tens of thousands of saucers,
    // each tested against every rocket in every step.
    if (n < 1 || n > kLargestJumpLevel)
        return false;
    currentLevel = n;
    const int32_t lives = ship->lives;
    startLevel(n, score);
    ship->lives = lives;
    gameState = STATE_INTRO;
    countdown = kIntroSteps;
    playSound(SOUND_LIMIT, 1);
    return true;
}

void Mirrowfen::gameStep()
{
    using namespace gamelib;
    if (jumpLevel())
        return;
    if (countdown < 1) {
        countdown = 0;
        if (gameState == STATE_INTRO) {
            gameState = STATE_PLAYING;
        } else if (gameState == STATE_GAME_OVER) {
            endOfGame();
        } else if (gameState == STATE_LEVEL_CLEARED && (anyKey || pointerPressed)) {
            // The rest of the step runs too: effects and shots move on, and the next level's
            // intro counts from this step.
            nextLevel();
        }
    } else {
        countdown -= 1;
    }
    updateParticles();
    updateEffects();
    if (gameState == STATE_PLAYING)
        stepsSinceShot += 1;
    moveShotsAndRockets();
    if (gameState == STATE_PLAYING) {
        ship->update();
        rocketsAgainstShip();
        updateUfos();
        updateRocks();
        if (ship->lives <= 0) {
            countdown = kEndSteps;
            gameState = STATE_GAME_OVER;
        } else if (liveRocks == 0 && liveUfos == 0) {
            ScreenCanvas::clearKeys();
            countdown = kEndSteps;
            gameState = STATE_LEVEL_CLEARED;
            backgroundImage = levelPicture((currentLevel - 1) % 5 + 15);
        }
    }
    lastStepTime = now();
    if (gameState == STATE_PLAYING)
        controls();
}

gamelib::GameInterfacePtr makeMirrowfen()
{
    return gamelib::GameInterfacePtr(new Mirrowfen());
}

constinit const gamelib::GameEntry gameEntry{u"mirf", u"logoMirf.png", &gamelib::mirrowfenName,
                                             &makeMirrowfen, &resetGlobals};

} // namespace mirrowfen
