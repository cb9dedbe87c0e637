// The brick-breaker as one screen of the shell: its menu, the loading sequence, the state
// machine that update advances once per 25 ms step, lives, the level, the ball-against-brick
// sweep, the enemies' step and the particles.
#pragma once

#include "tessarine/Ball.h"
#include "tessarine/Enemy.h"

#include "gallery/Gallery.h"
#include "gamelib/GameEntry.h"
#include "gamelib/GameInterface.h"
#include "gamelib/GameMenu.h"

#include "lang/DStringArray.h"
#include "lang/DboolArray.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DImage.h"

#include <cstdint>

namespace tessarine {

class Tessarine : public gamelib::GameInterface
{
  public:
    static constexpr int32_t kLevelCount = 50;
    static constexpr int32_t kStartLives = 5;
    static constexpr int32_t kProbes = 5;
    static constexpr int64_t kLoadingMillis = 1500;
    static constexpr int64_t kGetReadyMillis = 1500;
    static constexpr int64_t kAllDoneMillis = 3000;
    static constexpr int64_t kClearedKeyMillis = 500;
    // Items of the game menu: those every game's menu begins with, then its own.
    using enum gamelib::GameMenu::GameItem;
    enum MenuItem : int32_t { ITEM_KEYS = ITEM_MUSIC + 1, ITEM_EXIT };

    Tessarine();
    ~Tessarine() override;
    const char* getClassName() override { return "Tessarine"; }

    void start() override;
    void update() override;
    void paint() override;
    void stop() override;

    virtual void buildMainMenu();
    virtual void processEnemies();
    virtual void processBalls();
    virtual void compactBalls();
    virtual void loseLife();
    virtual void intersectEdge(int32_t column, int32_t row, int32_t edge, int32_t probe);
    virtual void resolveBrickHit(Ball& ball, int32_t px16, int32_t py16, int32_t column,
                                 int32_t row, bool vertical);
    virtual void resetActors();
    virtual void playStep();
    virtual void gameOver();
    virtual void handleInput();

    void setState(int32_t s);
    void spawnParticles(int32_t count, int32_t kind, int32_t px, int32_t py, int32_t brickType);
    // One step of every particle.
    void moveParticles();
    // Acts on a chosen menu item (the menu's own selection, or tests).
    void chooseMenuItem(int32_t item);
    void chooseLevelItem(int32_t item);
    // Loads the level and enters the get-ready wait with the game music.
    void newLevelEntry();
    int32_t score() const;
    void setScore(int32_t value);

    int32_t levelCount = kLevelCount;
    gallery::GalleryPtr gallery;
    BallArrayPtr balls;
    int32_t ballCapacity = 32;
    int32_t lives = kStartLives;
    EnemyArrayPtr enemies;
    int32_t enemyCapacity = 3;
    int32_t level = 1;
    qev::lang::DintArrayPtr probeStartX;
    qev::lang::DintArrayPtr probeStartY;
    qev::lang::DintArrayPtr probeEndX;
    qev::lang::DintArrayPtr probeEndY;
    qev::lang::DintArrayPtr probeHitX;
    qev::lang::DintArrayPtr probeHitY;
    qev::lang::DintArrayPtr probeColumn;
    qev::lang::DintArrayPtr probeRow;
    qev::lang::DintArrayPtr probeDistance;
    qev::lang::DboolArrayPtr probeMissed;
    qev::lang::DboolArrayPtr probeVertical;
    gamelib::GameImagePtr lifeIcon;
    qev::microedition::lcdui::DImagePtr splash;

    int64_t loadingStarted = 0;
    // The highscore table's number in its store name; tables saved before were kept under
    // number 8, and the first start takes them over.
    static constexpr int32_t kHighscoreTable = 1;
    static constexpr int32_t kEarlierHighscoreTable = 8;

  private:
    void updateMenu();
    void updatePlaying();
    void updateLevelCleared();
    void pause();
    void finishNameEntry();
    // Key set 1 in play, 0 in the menus.
    static void useKeyMap(int32_t keySet);
    void showLevelList();
    void startAt(int32_t startLevel);
    void levelJump();
    void saveOpenLevel();
    void paintPlay();
    void paintParticles();
    void paintHud();
    // A ball held on the paddle from a slot no enemy carries.
    void giveCarriedOffBallBack();
    void paintMessage(qev::lang::DStringPtr first, qev::lang::DStringPtr second);
    void stage();
};

using TessarinePtr = qev::lang::DPtr<Tessarine>;

// A new brick-breaker (not started).
gamelib::GameInterfacePtr makeTessarine();
// The brick-breaker's entry in the program's table of games.
extern const gamelib::GameEntry gameEntry;

} // namespace tessarine
