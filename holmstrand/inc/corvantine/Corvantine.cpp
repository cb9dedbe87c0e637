// The screen's life and its state machine: menu, intro, play, the timed screens, the gallery
// and the key configuration.
#include "corvantine/Corvantine.h"
#include "gamelib/ScreenPicture.h"

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

namespace corvantine {

using gamelib::GameLib;
using gamelib::GameMenu;
using gamelib::ScreenCanvas;
using qev::lang::DExceptionBase;
using qev::lang::DString;
using qev::lang::DStringArray;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImagePtr;

gamelib::GameMenuPtr gameMenu;
gamelib::CustomControlsPtr keyDialog;

namespace {

enum Item : int32_t {
    ITEM_START = 0,
    ITEM_CONTINUE = 1,
    ITEM_GALLERY = 2,
    ITEM_HIGHSCORES = 3,
    ITEM_HELP = 4,
    ITEM_SOUND = 5,
    ITEM_MUSIC = 6,
    ITEM_KEYS = 7,
    ITEM_EXIT = 8,
    ITEM_COUNT = 9
};

const char16_t* const kSoundNames[SOUND_COUNT] = {
    u"menu",     u"game",  u"levelbegin", u"enemyshipblow", u"heroblow",
    u"shootbee", u"shoot", u"enemyvilet", u"enemycomeback", u"supershipblow"};

DStringPtr languageCode()
{
    if (gamelib::languageShortNames && gamelib::languageIndex >= 0)
        return qev::lang::dcast<DString>(
            gamelib::languageShortNames->elementAt(gamelib::languageIndex));
    return DStringPtr(u"en");
}

DStringPtr optionName(const char16_t* suffix)
{
    return gamelib::corvantineName + DStringPtr(suffix);
}

void showLoadingStep()
{
    GameMenu::paintProgressBar();
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->flushGraphics();
}

void loadLanguageTexts()
{
    gamelib::tolerant([&] {
        if (gamelib::languageShortNames && gamelib::languageIndex >= 0)
            gamelib::loadTextFile(u"/txt/res_" + languageCode(), true);
    });
}

void rebuildKeyMap(int32_t keySet)
{
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->rebuildKeyMap(keySet);
}

} // namespace

gamelib::GameInterfacePtr makeCorvantine()
{
    return gamelib::GameInterfacePtr(new Corvantine());
}

constinit const gamelib::GameEntry gameEntry{u"corv", u"logoCorv.png", &gamelib::corvantineName,
                                             &makeCorvantine, &resetGlobals};

void Corvantine::start()
{
    levelCap = kLevelCap;
    const int32_t width = gamelib::screenWidth;
    const int32_t height = gamelib::screenHeight;
    // The splash also lies behind the menu and the key dialog, which leave no pixel of their own.
    DImagePtr splash = gamelib::coverScreen(GameLib::loadImage(u"/corv/splash.jpg", 0));
    gamelib::screenGraphics->drawImage(splash, width / 2, (height - splash->getHeight()) / 2,
                                       DGraphics::TOP | DGraphics::HCENTER);
    GameMenu::setProgressBar(height - height / 8, 0, 10, 0xFFFFFF, 0xFF0000);
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->flushGraphics();

    gamelib::setSfxLevel(GameMenu::loadOption(optionName(u"sfx_level"), 2));
    gamelib::setMusicLevel(GameMenu::loadOption(optionName(u"music_level"), 2));
    showLoadingStep();

    gamelib::loadAtlas(u"/corv/all");
    showLoadingStep();
    qev::lang::DStringArrayPtr names = new DStringArray(SOUND_COUNT);
    for (int32_t i = 0; i < SOUND_COUNT; ++i)
        (*names)[i] = u"/data/corv/sound/" + DStringPtr(kSoundNames[i]);
    gamelib::loadSounds(names);
    showLoadingStep();
    loadPictures();
    buildFormation();
    showLoadingStep();
    loadLanguageTexts();
    showLoadingStep();

    // The level texts stand in the key list: a text without an entry stands for itself.
    (*gamelib::menuItemKeys)[ITEM_SOUND] = GameMenu::getSfxLevelText(gamelib::getSfxLevel());
    (*gamelib::menuItemKeys)[ITEM_MUSIC] = GameMenu::getMusicLevelText(gamelib::getMusicLevel());
    if (!itemTexts) {
        itemTexts = new DStringArray(ITEM_COUNT);
        for (int32_t i = 0; i < ITEM_COUNT; ++i)
            (*itemTexts)[i] = gamelib::getText((*gamelib::menuItemKeys)[i]);
    }

    GameMenu::takeOverHighscores(kHighscoreTable, kEarlierHighscoreTable, gamelib::corvantineName);
    gameMenu = new GameMenu();
    gameMenu->setBackground(splash, GameMenu::kShadeMenu);
    setMenuMode(MODE_NEW_GAME);
    gameState = STATE_MENU;
    makeBackgroundTables();
    swoopRate = height >= 320 ? kSwoopRateLarge : kSwoopRateSmall;
    showLoadingStep();
    gamelib::playSound(SOUND_MENU, 1);

    // Left, right and fire can be redefined; the keys live on the canvas (none when the game
    // is drawn without a display).
    if (gamelib::screenCanvas) {
        keyDialog = new gamelib::CustomControls(gamelib::CustomControls::kSteerAndFireMask);
        keyDialog->init(gamelib::corvantineName);
        keyDialog->background =
            GameMenu::createShadeImage(splash, GameMenu::kShadeDialog, 0, splash->getWidth());
        gamelib::screenCanvas->setKeyMapping(1, keyDialog->loadKeys());
    }
}

void Corvantine::setMenuMode(int32_t mode)
{
    previousMenuMode = menuMode;
    menuMode = mode;
    gameMenu->selected = 0;
    gameMenu->first = 0;
    switch (mode) {
    case MODE_NEW_GAME:
        gameMenu->state = GameMenu::STATE_LIST;
        (*itemTexts)[ITEM_START] = gamelib::getText(u"start");
        (*itemTexts)[ITEM_EXIT] = gamelib::getText(u"exit");
        gameMenu->setItems(itemTexts);
        break;
    case MODE_PAUSED:
        gameMenu->state = GameMenu::STATE_LIST;
        gameMenu->setItems(itemTexts);
        break;
    case MODE_HELP:
        gameMenu->setHelpText(u"/txt/corv/" + languageCode() + u"_help.txt", nullptr);
        gameMenu->state = GameMenu::STATE_TEXT;
        gameMenu->closed = 0;
        break;
    case MODE_HIGHSCORES:
        gameMenu->loadHighscores(kHighscoreTable, gamelib::corvantineName);
        gameMenu->state = GameMenu::STATE_HIGHSCORES;
        gameMenu->closed = 0;
        GameMenu::lastActionTime = 0;
        break;
    default:
        break;
    }
    gamelib::keyFire = 0;
}

void Corvantine::endGame()
{
    gameState = STATE_MENU;
    setMenuMode(MODE_HIGHSCORES);
    rebuildKeyMap(0);
    // The table returns to the new-game list.
    previousMenuMode = MODE_NEW_GAME;
    if (!gameMenu->isHighscore(score))
        setMenuMode(MODE_NEW_GAME);
    else
        gameMenu->startNameEntry();
}

void Corvantine::update()
{
    switch (gameState) {
    case STATE_MENU:
        menuStep();
        break;
    case STATE_PLAYING:
        playStep();
        break;
    case STATE_GALLERY:
        if (gallery)
            gallery->update();
        if (!gallery || gallery->stopped) {
            gameState = STATE_MENU;
            if (menuMode == MODE_NEW_GAME)
                gamelib::playSound(SOUND_MENU, 1);
        }
        break;
    case STATE_KEYS:
        if (!keyDialog || keyDialog->update() != gamelib::CustomControls::KEEP_SHOWING) {
            gameState = STATE_MENU;
            ScreenCanvas::clearKeys();
            GameMenu::lastActionTime = qev::lang::DSystem::currentTimeMillis();
        }
        break;
    default:
        timerStep();
        break;
    }
}

void Corvantine::menuStep()
{
    if (gameMenu->state == GameMenu::STATE_NAME_ENTRY && GameMenu::nameReady) {
        // The stored table takes the entry, not the one loaded when the game ended.
        gameMenu->loadHighscores(kHighscoreTable, gamelib::corvantineName);
        gameMenu->insertHighscore(GameMenu::enteredName, score);
        gameMenu->saveHighscores(kHighscoreTable, gamelib::corvantineName);
        setMenuMode(MODE_HIGHSCORES);
        previousMenuMode = MODE_NEW_GAME;
        gamelib::pointerPressed = 0;
        gamelib::doubleTap = 0;
        gamelib::keyFire = 0;
    }
    gameMenu->update();
    if (gameMenu->chosen && (menuMode == MODE_NEW_GAME || menuMode == MODE_PAUSED)) {
        const int32_t item = gameMenu->selected;
        switch (item) {
        case ITEM_START:
        case ITEM_CONTINUE:
            if (item == ITEM_START || menuMode == MODE_NEW_GAME) {
                rebuildKeyMap(1);
                level = 1;
                nextLevel();
                stateTimer = 2000;
                gameState = STATE_INTRO;
                gamelib::stopAllSounds();
                gamelib::playSound(SOUND_LEVEL_BEGIN, 1);
                gamelib::playSound(SOUND_GAME, -1);
            } else {
                rebuildKeyMap(1);
                gameState = STATE_PLAYING;
                gamelib::resumeAllSounds();
                gamelib::rewindSound(SOUND_MENU);
            }
            break;
        case ITEM_GALLERY:
            if (!gallery) {
                gallery = new gallery::Gallery();
                gallery->embedded = true;
            }
            gallery->stopped = false;
            gamelib::stopSound(SOUND_MENU);
            gallery->start();
            gameState = STATE_GALLERY;
            break;
        case ITEM_HIGHSCORES:
            setMenuMode(MODE_HIGHSCORES);
            break;
        case ITEM_HELP:
            setMenuMode(MODE_HELP);
            break;
        case ITEM_SOUND:
            (*itemTexts)[ITEM_SOUND] = GameMenu::advanceSfxLevel(optionName(u"sfx_level"));
            break;
        case ITEM_MUSIC:
            (*itemTexts)[ITEM_MUSIC] = GameMenu::advanceMusicLevel(optionName(u"music_level"));
            break;
        case ITEM_KEYS:
            gameState = STATE_KEYS;
            ScreenCanvas::clearKeys();
            break;
        case ITEM_EXIT:
            GameLib::showMainMenu();
            break;
        default:
            break;
        }
    } else if ((menuMode == MODE_HELP || menuMode == MODE_HIGHSCORES) && gameMenu->closed) {
        setMenuMode(previousMenuMode);
    }
}

void Corvantine::timerStep()
{
    if (stateTimer > 0) {
        stateTimer -= kStepTimer;
        return;
    }
    switch (gameState) {
    case STATE_INTRO:
        gameState = STATE_PLAYING;
        break;
    case STATE_SHIP_LOST:
        gameState = STATE_GAME_OVER;
        stateTimer = 2000;
        gamelib::tolerant(
            [&] { backgroundPicture = GameLib::loadImage(u"/corv/gameover.jpg", 0); });
        break;
    case STATE_GAME_OVER:
        gamelib::stopAllSounds();
        endGame();
        break;
    case STATE_CLEARED: {
        gamelib::anyKey = 0;
        gameState = STATE_REWARD;
        stateTimer = 500;
        gamelib::tolerant([&] {
            DImagePtr picture = gamelib::blankScreenPicture();
            GameLib::drawPicture((level - 1) % 5 + 20, picture->getGraphics());
            backgroundPicture = picture;
        });
        ScreenCanvas::clearKeys();
        break;
    }
    case STATE_REWARD:
        if (gamelib::anyKey || gamelib::pointerPressed) {
            gallery::Gallery::unlockPicture((level - 1) % 5 + 19);
            ++level;
            nextLevel();
        }
        break;
    default:
        break;
    }
}

void Corvantine::stop()
{
    gamelib::stopAllSounds();
    planetImages = nullptr;
    backgroundPicture = nullptr;
    if (gameMenu)
        gameMenu->releaseTitleImage();
    gameMenu = nullptr;
    itemTexts = nullptr;
    keyDialog = nullptr;
    releaseGame();
}

void Corvantine::releaseGame()
{
    starX = starY = nullptr;
    alienShotX = alienShotY = nullptr;
    formation = nullptr;
    fleet = candidates = nullptr;
    exhaustAnimation = shipExplosion = bulletAnimation = alienExplosion = nullptr;
    shipImage = bulletImage = lifeImage = levelImage = nullptr;
    planetImages = nullptr;
    kindSprites = nullptr;
    kindAnimations = nullptr;
}

} // namespace corvantine
