// The space-rock game's screen: its menu, the play field (ship, rocks, saucers, rockets, shots,
// effects), the state machine joining menu, level intro, play, level end, game over, gallery and
// key dialog, and the loading of the game's resources.
#pragma once

#include "mirrowfen/FlyingO.h"
#include "mirrowfen/MirrowfenGlobals.h"

#include "gamelib/GameEntry.h"
#include "gamelib/GameImage.h"
#include "gamelib/GameInterface.h"
#include "gamelib/GameMenu.h"

#include "lang/DObjectArray2d.h"
#include "lang/DString.h"

#include <cstdint>

namespace mirrowfen {

class Mirrowfen : public gamelib::GameInterface
{
  public:
    static constexpr int32_t kEffectSlots = 10;
    static constexpr int32_t kRowsPerEffect = 30;
    static constexpr int32_t kShotSlots = 7;
    // Game steps run when more than this many milliseconds have passed.
    static constexpr int64_t kStepMillis = 50;
    static constexpr int32_t kIntroSteps = 10;
    static constexpr int32_t kEndSteps = 30;
    // The highest level the hidden level select takes: two digits.
    static constexpr int32_t kLargestJumpLevel = 99;
    static constexpr int32_t kShotCost = 30;
    static constexpr int32_t kBonusLifeScore = 5000;
    // Collisions need a budget below this.
    static constexpr int32_t kCollisionLimit = 700;
    static constexpr int32_t kNoRecord = 60000;

    // Items of the game menu: those every game's menu begins with, then its own; every index
    // from ITEM_EXIT on leaves the game.
    using enum gamelib::GameMenu::GameItem;
    enum MenuItem : int32_t { ITEM_BOUNDS = ITEM_MUSIC + 1, ITEM_KEYS, ITEM_EXIT };
    // Sound bank.
    enum Sound : int32_t {
        SOUND_MENU = 0,
        SOUND_GAME = 1,
        SOUND_SHOOT = 2,
        SOUND_EXPLOSE = 3,
        SOUND_HIT = 4,
        SOUND_ROCKET = 5,
        SOUND_ROCKET_HIT = 6,
        SOUND_LIMIT = 7
    };
    // Effect slot columns and particle row columns.
    enum EffectColumn : int32_t { EFFECT_X = 0, EFFECT_Y = 1, EFFECT_PHASE = 2, EFFECT_LIVE = 3 };
    enum ParticleColumn : int32_t { P_X = 0, P_Y = 1, P_DX = 2, P_DY = 3, P_FRAME = 4 };
    // Effect kinds of spawnEffect.
    enum EffectKind : int32_t {
        EFFECT_FLASH1 = 1,
        EFFECT_FLASH2 = 2,
        EFFECT_DEBRIS = 3,
        EFFECT_SPARKS = 4,
        EFFECT_PUFF = 5
    };

    Mirrowfen();
    const char* getClassName() override { return "Mirrowfen"; }

    void start() override;
    void update() override;
    void paint() override;
    void stop() override;

    // Builds level `level` from the shared random generator; the ship's lives start afresh.
    virtual void startLevel(int32_t level, int32_t startScore);
    virtual void paintObjects(FlyingOArrayPtr array, int32_t n);
    // Nearest-object record {x, y, d², dx, dy} of `array` seen from q, or null when q hit.
    virtual qev::lang::DintArrayPtr collide(FlyingOArrayPtr array, FlyingOPtr q, int32_t qi);
    virtual void splitRock(int32_t x, int32_t y, int32_t index);
    virtual void paintExplosion(int32_t slot, int32_t on);
    virtual void updateParticles();
    virtual void updateEffects();
    virtual void spawnEffect(int32_t x, int32_t y, int32_t slot, int32_t kind);
    // A rocket from saucer `index` toward the ship at (dx, dy) from it; false when none flew.
    virtual bool launchRocket(int32_t index, int32_t x, int32_t y, int32_t dx, int32_t dy);
    virtual void paintHud(qev::lang::DStringPtr text, int32_t colour);
    virtual void drawText(qev::lang::DStringPtr text, int32_t x, int32_t y, int32_t anchor);
    virtual void emitExhaust(int32_t side);

    void checkBonusLife();
    void buildMenu(int32_t id);

    // The parts of update, visible for the tests.
    void gameStep();
    void fireShot();
    void steerByStylus();
    // The first free effect slot made an explosion at (x, y) of kind 3; false with none free.
    bool explode(int32_t x, int32_t y);
    // As explode, the slot at (slotX, slotY) and its debris at (x, y).
    bool explode(int32_t slotX, int32_t slotY, int32_t x, int32_t y);

    int32_t levelCap = 20;
    gamelib::GameMenuPtr menu;
    qev::lang::DStringPtr youWinText;
    qev::lang::DStringPtr pauseText;
    qev::lang::DStringPtr scoreText;
    qev::lang::DStringPtr gameOverText;
    qev::lang::DStringPtr levelText;
    gamelib::GameInterfacePtr gallery;
    int32_t score = 0;
    int32_t countdown = 0;
    gamelib::GameImagePtr lifePanel;
    gamelib::GameImagePtr scorePanel;
    int32_t stepsSinceShot = 0;
    qev::lang::DintArray2dPtr effects;
    qev::lang::DintArray2dPtr particles;
    FlyingOArrayPtr shots;
    FlyingOArrayPtr rockets;
    FlyingOArrayPtr ufos;
    FlyingOArrayPtr rocks;
    int32_t effectsInUse = 0;
    int32_t shotCount = 0;
    int32_t liveRocks = 0;
    int32_t liveUfos = 0;
    int32_t lastBonusScore = 0;
    gamelib::GameImageArray2dPtr waveImages;
    gamelib::GameImageArrayPtr sparkImages;
    gamelib::GameImageArrayPtr debrisImages;

  private:
    void loadResources();
    void updateMenu();
    void menuChoice(int32_t index);
    void newGame();
    void pause();
    void endOfGame();
    void nextLevel();
    // Runs a pending level jump; true when a level was started.
    bool jumpLevel();
    void moveShotsAndRockets();
    void rocketsAgainstShip();
    void updateUfos();
    void updateRocks();
    void controls();
    bool pauseButtonPressed() const;
    void paintField();
    void paintUfos();
    // A screen-sized image showing gallery picture `picture` centred on empty space.
    static qev::microedition::lcdui::DImagePtr levelPicture(int32_t picture);
    static qev::lang::DStringPtr soundLevelText(bool effectsLevel, int32_t level);
    int32_t freeEffectSlot() const;
    qev::lang::DintArrayPtr effect(int32_t slot) const { return (*effects)[slot]; }
    qev::lang::DintArrayPtr particle(int32_t row) const { return (*particles)[row]; }
};

using MirrowfenPtr = qev::lang::DPtr<Mirrowfen>;

// A new space-rock game (not started).
gamelib::GameInterfacePtr makeMirrowfen();
// The space-rock game's entry in the program's table of games.
extern const gamelib::GameEntry gameEntry;

} // namespace mirrowfen
