#include "tessarine/Tessarine.h"

#include "gamelib/ScreenPicture.h"
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "lang/DExceptionBase.h"
#include "platform/threads.h"

#include <algorithm>

namespace tessarine {

using gamelib::GameMenu;
using gamelib::screenHeight;
using gamelib::screenWidth;
using qev::lang::DExceptionBase;
using qev::lang::DString;
using qev::lang::DStringArray;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImagePtr;

namespace {

const char16_t* const kSoundNames[SOUND_COUNT] = {
    u"menu",          u"game",     u"Respawn",     u"die",
    u"boom",          u"HitBrick", u"HitPlatform", u"HitUndestroyBrick",
    u"HitRegenBrick", u"shoot",    u"HitWall"};

DStringPtr optionName(const char16_t* name)
{
    DStringPtr prefix = gamelib::tessarineName ? gamelib::tessarineName : DStringPtr(u"tessarine");
    return prefix + name;
}

DStringPtr optionPrefix()
{
    return gamelib::tessarineName ? gamelib::tessarineName : DStringPtr(u"tessarine");
}

DStringPtr languageShortName()
{
    if (gamelib::languageShortNames && gamelib::languageIndex >= 0 &&
        gamelib::languageIndex < gamelib::languageShortNames->size())
        return qev::lang::dcast<DString>(
            gamelib::languageShortNames->elementAt(gamelib::languageIndex));
    return DStringPtr(u"en");
}

} // namespace

Tessarine::Tessarine()
{
    probeStartX = new qev::lang::DintArray(kProbes);
    probeStartY = new qev::lang::DintArray(kProbes);
    probeEndX = new qev::lang::DintArray(kProbes);
    probeEndY = new qev::lang::DintArray(kProbes);
    probeHitX = new qev::lang::DintArray(kProbes);
    probeHitY = new qev::lang::DintArray(kProbes);
    probeColumn = new qev::lang::DintArray(kProbes);
    probeRow = new qev::lang::DintArray(kProbes);
    probeDistance = new qev::lang::DintArray(kProbes);
    probeMissed = new qev::lang::DboolArray(kProbes);
    probeVertical = new qev::lang::DboolArray(kProbes);
    runningGame = this;
}

Tessarine::~Tessarine()
{
    if (runningGame == this)
        runningGame = nullptr;
}

int32_t Tessarine::score() const
{
    return brickList ? brickList->score : 0;
}

void Tessarine::setScore(int32_t value)
{
    if (brickList)
        brickList->score = value;
}

void Tessarine::stage()
{
    GameMenu::paintProgressBar();
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->flushGraphics();
}

void Tessarine::start()
{
    runningGame = this;
    loadingStarted = now();
    gameState = STATE_LOADING;
    drawTarget = gamelib::screenGraphics;
    splash = gamelib::GameLib::loadImage(DStringPtr(u"/tesk/splash.jpg"), 0);
    DGraphics& g = *gamelib::screenGraphics;
    g.setClip(0, 0, screenWidth, screenHeight);
    g.setColor(0x721112);
    g.fillRect(0, 0, screenWidth, screenHeight);
    if (splash)
        g.drawImage(splash, screenWidth / 2, (screenHeight - splash->getHeight()) / 2,
                    DGraphics::TOP | DGraphics::HCENTER);
    GameMenu::setProgressBar(screenHeight - screenHeight / 8, 0, 10, 0xFFFFFF, 0xFF0000);
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->flushGraphics();

    gamelib::setSfxLevel(GameMenu::loadOption(optionName(u"sfx_level"), 2));
    gamelib::setMusicLevel(GameMenu::loadOption(optionName(u"music_level"), 2));
    openLevel = std::clamp(GameMenu::loadOption(optionName(u"openlevel"), 1), 1, levelCount);

    qev::lang::DStringArrayPtr names = new DStringArray(SOUND_COUNT);
    for (int32_t i = 0; i < SOUND_COUNT; ++i)
        names[i] = DStringPtr(u"/data/tesk/sound/") + kSoundNames[i];

    gamelib::loadAtlas(DStringPtr(u"/tesk/all"));
    bonusAnimations = new qev::lang::DTypedArray<gamelib::Animation>(kBonusKinds + 1);
    enemyAnimations = new qev::lang::DTypedArray<gamelib::Animation>(3);
    stage();
    gamelib::loadSounds(names);
    stage();
    lifeIcon = gamelib::GameImage::fromAtlas(DStringPtr(u"lifeIcon.png"));
    GameMenu::loadMenuImages();
    gameMenu = new GameMenu();
    if (splash)
        gameMenu->setBackground(gamelib::coverScreen(splash), GameMenu::kShadeMenu);
    // The game plays without its help page.
    gamelib::tolerant([&] {
        gameMenu->setHelpText(DStringPtr(u"/txt/tesk/") + languageShortName() + u"_help.txt",
                              nullptr);
    });
    buildMainMenu();
    highscoreMenu = new GameMenu();
    GameMenu::takeOverHighscores(kHighscoreTable, kEarlierHighscoreTable, optionPrefix());
    highscoreMenu->loadHighscores(kHighscoreTable, optionPrefix());
    if (splash)
        highscoreMenu->setBackground(gamelib::coverScreen(splash), GameMenu::kShadeDialog);
    highscoreMenu->state = GameMenu::STATE_HIGHSCORES;
    smallBallImage = gamelib::GameImage::fromAtlas(DStringPtr(u"ballSmall.png"));
    normalBallImage = gamelib::GameImage::fromAtlas(DStringPtr(u"ball1.png"));
    bigBallImage = gamelib::GameImage::fromAtlas(DStringPtr(u"ballBig.png"));
    bulletImage = gamelib::GameImage::fromAtlas(DStringPtr(u"bullet.png"));
    bombImage = gamelib::GameImage::fromAtlas(DStringPtr(u"bomba-monstr_0.png"));
    stage();
    gamelib::loadTexts(gamelib::GameLib::getResourceAsStream(DStringPtr(u"/tesk/anim.txt")), false);
    fireSmallAnimation = loadAnimation(DStringPtr(u"ballFireSmall"));
    fireAnimation = loadAnimation(DStringPtr(u"ballFire"));
    fireBigAnimation = loadAnimation(DStringPtr(u"ballFireBig"));
    for (int32_t i = 0; i < 3; ++i)
        (*enemyAnimations)[i] = loadAnimation(DStringPtr(u"monst") + i);
    stage();
    for (int32_t n = 1; n <= kBonusKinds; ++n) {
        gamelib::AnimationPtr a = loadAnimation(DStringPtr(u"tesk_bon") + n);
        if (a)
            a->reset();
        (*bonusAnimations)[n] = a;
    }
    stage();
    level = 1;
    balls = new BallArray(ballCapacity);
    enemies = new EnemyArray(enemyCapacity);
    paddle = new Platform();
    for (int32_t i = 0; i < ballCapacity; ++i)
        (*balls)[i] = new Ball(Ball::KIND_BALL);
    stage();
    brickList = new BrickList((*balls)[0]->radius);
    for (int32_t i = 0; i < enemyCapacity; ++i)
        (*enemies)[i] = new Enemy();
    setScore(0);
    paddle->balls = balls;
    // The grid was fitted to the paddle's plain margin; the wider margin of a paddle drawn
    // larger leaves that room on every screen the game data serves.
    paddle->loadAnimations();
    paddle->bullet1->wallTop = brickList->gridTop;
    paddle->bullet2->wallTop = brickList->gridTop;
    for (int32_t i = 0; i < ballCapacity; ++i) {
        (*balls)[i]->wallLeft = gridLeft;
        (*balls)[i]->wallTop = brickList->gridTop;
    }
    stage();
    particles = new qev::lang::DintArray2d(kParticles, kParticleFields);
    resetActors();
    gamelib::tolerant([&] { gamelib::loadTextFile(u"/txt/res_" + languageShortName(), true); });
    scoreLabel = gamelib::getText(DStringPtr(u"score")) + u" ";
    pauseLabel = gamelib::getText(DStringPtr(u"pause"));
    buildMainMenu();
    // The splash stays up for a moment even when loading was quick. Sleeping a millisecond a turn
    // keeps a core free, and moves a clock that only moves when the program waits on it.
    while (now() - loadingStarted < kLoadingMillis)
        Sleep(1);
    stage();
    setState(STATE_MENU);
    playSoundOnce(SOUND_MENU);
    // The dialog's default keys are the canvas's: without a canvas there are none to configure.
    if (gamelib::screenCanvas) {
        keyDialog = new gamelib::CustomControls(gamelib::CustomControls::kSteerAndFireMask);
        keyDialog->init(optionPrefix());
        if (splash) {
            DImagePtr picture = gamelib::coverScreen(splash);
            keyDialog->background =
                GameMenu::createShadeImage(picture, -160, 0, picture->getWidth());
        }
        gamelib::screenCanvas->setKeyMapping(1, keyDialog->loadKeys());
    }
    gamelib::ScreenCanvas::clearKeys();
}

void Tessarine::useKeyMap(int32_t keySet)
{
    if (gamelib::screenCanvas)
        gamelib::screenCanvas->rebuildKeyMap(keySet);
}

void Tessarine::stop()
{
    gamelib::stopAllSounds();
    gallery = nullptr;
    balls = nullptr;
    enemies = nullptr;
    lifeIcon = nullptr;
    splash = nullptr;
    if (gameMenu)
        gameMenu->releaseTitleImage();
    releaseModule();
    if (runningGame == this)
        runningGame = nullptr;
}

void Tessarine::buildMainMenu()
{
    if (!gameMenu)
        return;
    qev::lang::DStringArrayPtr items = new DStringArray(9);
    const char16_t* const keys[9] = {u"start", u"continue", u"gallery",  u"highscores", u"help",
                                     nullptr,  nullptr,     u"cfg_keys", u"exit"};
    for (int32_t i = 0; i < 9; ++i)
        if (keys[i])
            items[i] = gamelib::getText(DStringPtr(keys[i]));
    items[ITEM_SFX] = GameMenu::getSfxLevelText(gamelib::getSfxLevel());
    items[ITEM_MUSIC] = GameMenu::getMusicLevelText(gamelib::getMusicLevel());
    gameMenu->setItems(items);
    gameMenu->state = GameMenu::STATE_LIST;
    gameMenu->selected = 0;
    gameMenu->first = 0;
}

void Tessarine::setState(int32_t s)
{
    gameState = s;
    if (s == STATE_GET_READY && lives < 1 && brickList) {
        gamelib::tolerant([&] {
            brickList->picture = gamelib::coverScreen(
                gamelib::GameLib::loadImage(DStringPtr(u"/tesk/gameover.jpg"), 0));
        });
    }
}

void Tessarine::saveOpenLevel()
{
    openLevel = std::clamp(openLevel, 1, levelCount);
    GameMenu::saveOption(optionName(u"openlevel"), openLevel);
}

void Tessarine::newLevelEntry()
{
    setState(STATE_GET_READY);
    stateTime = now();
    gamelib::anyKey = 0;
    gamelib::stopAllSounds();
    playSoundOnce(SOUND_RESPAWN);
    if (gamelib::soundBank)
        gamelib::playSound(SOUND_GAME, -1);
}

void Tessarine::startAt(int32_t startLevel)
{
    level = startLevel;
    setScore(0);
    resetActors();
    brickList->loadLevel(level);
}

void Tessarine::showLevelList()
{
    setState(STATE_LEVEL_CHOICE);
    qev::lang::DStringArrayPtr items = new DStringArray(openLevel + 1);
    for (int32_t i = 0; i < openLevel; ++i)
        items[i] = gamelib::getText(DStringPtr(u"level")) + u" " + (openLevel - i);
    items[openLevel] = gamelib::getText(DStringPtr(u"exit"));
    gameMenu->setItems(items);
    gameMenu->selected = 0;
    gameMenu->first = 0;
}

void Tessarine::chooseMenuItem(int32_t item)
{
    BallArray& all = *balls;
    switch (item) {
    case ITEM_START:
        gameInProgress = 0;
        buildMainMenu();
        for (int32_t i = 0; i < all.length; ++i)
            all[i]->setActive(false);
        lives = kStartLives;
        if (openLevel == 1) {
            useKeyMap(1);
            startAt(1);
            newLevelEntry();
        } else {
            showLevelList();
        }
        break;
    case ITEM_CONTINUE:
        useKeyMap(1);
        if (gameInProgress) {
            setState(STATE_PLAYING);
            gamelib::keyLeft = gamelib::keyRight = 0;
            gamelib::keySoftLeft = gamelib::keySoftRight = 0;
            gameInProgress = 0;
            buildMainMenu();
            gamelib::rewindSound(SOUND_MENU);
            gamelib::resumeAllSounds();
        } else {
            buildMainMenu();
            for (int32_t i = 0; i < all.length; ++i)
                all[i]->setActive(false);
            lives = kStartLives;
            startAt(openLevel);
            newLevelEntry();
        }
        break;
    case ITEM_GALLERY:
        if (!gallery) {
            gallery = new gallery::Gallery();
            gallery->embedded = true;
        }
        gamelib::stopSound(SOUND_MENU);
        gallery->stopped = false;
        gallery->start();
        setState(STATE_GALLERY);
        break;
    case ITEM_HIGHSCORES:
        setState(STATE_HIGHSCORES);
        GameMenu::lastActionTime = 0;
        break;
    case ITEM_HELP:
        setState(STATE_HELP);
        gameMenu->state = GameMenu::STATE_TEXT;
        break;
    case ITEM_SFX:
        gameMenu->lines[ITEM_SFX] = GameMenu::advanceSfxLevel(optionName(u"sfx_level"));
        break;
    case ITEM_MUSIC:
        gameMenu->lines[ITEM_MUSIC] = GameMenu::advanceMusicLevel(optionName(u"music_level"));
        break;
    case ITEM_KEYS:
        setState(STATE_KEY_CONFIG);
        gamelib::ScreenCanvas::clearKeys();
        break;
    case ITEM_EXIT:
        gameInProgress = 0;
        gamelib::GameLib::showMainMenu();
        break;
    default:
        break;
    }
}

void Tessarine::chooseLevelItem(int32_t item)
{
    if (item >= openLevel) {
        buildMainMenu();
        setState(STATE_MENU);
        return;
    }
    useKeyMap(1);
    startAt(openLevel - item);
    buildMainMenu();
    newLevelEntry();
}

void Tessarine::updateMenu()
{
    GameMenu& m = *gameMenu;
    m.update();
    if (m.chosen) {
        m.chosen = 0;
        m.closed = 0;
        if (gameState == STATE_LEVEL_CHOICE)
            chooseLevelItem(m.selected);
        else
            chooseMenuItem(m.selected);
        return;
    }
    if (gameState == STATE_MENU && m.state == GameMenu::STATE_NAME_ENTRY && GameMenu::nameReady)
        finishNameEntry();
}

void Tessarine::finishNameEntry()
{
    // The table shown next is the one that takes the entry.
    GameMenu& table = *highscoreMenu;
    table.loadHighscores(kHighscoreTable, optionPrefix());
    table.insertHighscore(GameMenu::enteredName, score());
    table.saveHighscores(kHighscoreTable, optionPrefix());
    gameMenu->state = GameMenu::STATE_LIST;
    setScore(0);
    lives = kStartLives;
    level = 1;
    setState(STATE_HIGHSCORES);
    table.closed = 0;
    GameMenu::lastActionTime = 0;
    GameMenu::nameReady = 0;
}

void Tessarine::pause()
{
    gamelib::ScreenCanvas::clearKeys();
    useKeyMap(0);
    gameInProgress = 1;
    buildMainMenu();
    setState(STATE_MENU);
    gamelib::pauseAllSounds();
    playSoundOnce(SOUND_MENU);
}

void Tessarine::updatePlaying()
{
    const int32_t iconW = gamelib::pauseImage ? gamelib::pauseImage->getWidth() : 0;
    const int32_t iconH = gamelib::pauseImage ? gamelib::pauseImage->getHeight() : 0;
    const bool onPauseIcon = gamelib::pointerPressed && gamelib::pointerX > screenWidth - iconW &&
                             gamelib::pointerY < iconH;
    if (!gamelib::keySoftLeft && !gamelib::keySoftRight && !gamelib::keyPause && !onPauseIcon) {
        // The step plays on after a level jump too, on the new level held before its start.
        handleInput();
        playStep();
    } else {
        pause();
    }
}

void Tessarine::updateLevelCleared()
{
    if (!(gamelib::anyKey || gamelib::pointerPressed) || now() - stateTime <= kClearedKeyMillis)
        return;
    // Only bricks that still stand count: a bomb whose countdown stopped with the level must
    // not keep the cleared screen waiting.
    const int32_t recount = brickList->standingHitPoints();
    if (recount > 0) {
        brickList->remaining = recount;
        setState(STATE_PLAYING);
        stateTime = now();
        return;
    }
    BallArray& all = *balls;
    for (int32_t i = 0; i < all.length; ++i)
        all[i]->setActive(false);
    if (level >= levelCount) {
        setState(STATE_ALL_DONE);
    } else {
        gallery::Gallery::unlockPicture(BrickList::pictureOf(level) - 1);
        level += 1;
        setState(STATE_GET_READY);
        gamelib::anyKey = 0;
        if (level > openLevel) {
            openLevel = level;
            saveOpenLevel();
        }
        resetActors();
        brickList->loadLevel(level);
    }
    stateTime = now();
}

void Tessarine::update()
{
    switch (gameState) {
    case STATE_MENU:
    case STATE_LEVEL_CHOICE:
        updateMenu();
        break;
    case STATE_HIGHSCORES:
        highscoreMenu->update();
        if (highscoreMenu->closed) {
            highscoreMenu->closed = 0;
            setState(STATE_MENU);
            gameMenu->state = GameMenu::STATE_LIST;
            gameMenu->selected = ITEM_HIGHSCORES;
        }
        break;
    case STATE_HELP:
        gameMenu->update();
        if (gameMenu->closed) {
            gameMenu->closed = 0;
            setState(STATE_MENU);
            gameMenu->state = GameMenu::STATE_LIST;
            gameMenu->selected = ITEM_HELP;
            gameMenu->first = 0;
        }
        break;
    case STATE_GALLERY:
        if (gallery) {
            gallery->update();
            if (gallery->stopped) {
                setState(STATE_MENU);
                playSoundOnce(SOUND_MENU);
            }
        }
        break;
    case STATE_PLAYING:
        updatePlaying();
        break;
    case STATE_ALL_DONE:
        if (now() - stateTime > kAllDoneMillis)
            gameOver();
        break;
    case STATE_GET_READY:
        if (now() - stateTime > kGetReadyMillis) {
            setState(STATE_PLAYING);
            if (lives > 0) {
                gamelib::anyKey = 0;
                stateTime = now();
            } else {
                gameInProgress = 0;
                buildMainMenu();
                gameOver();
            }
        }
        break;
    case STATE_LEVEL_CLEARED:
        updateLevelCleared();
        break;
    case STATE_KEY_CONFIG:
        if (!keyDialog || keyDialog->update() != gamelib::CustomControls::KEEP_SHOWING) {
            setState(STATE_MENU);
            gamelib::ScreenCanvas::clearKeys();
            GameMenu::lastActionTime = 0;
            if (keyDialog && gamelib::screenCanvas)
                gamelib::screenCanvas->setKeyMapping(1, keyDialog->keys);
        }
        break;
    default:
        break;
    }
}

gamelib::GameInterfacePtr makeTessarine()
{
    return gamelib::GameInterfacePtr(new Tessarine());
}

constinit const gamelib::GameEntry gameEntry{u"tesk", u"logoTesk.png", &gamelib::tessarineName,
                                             &makeTessarine, &releaseModule};

} // namespace tessarine
