// The formation shooter's screen: its own menu, the level intro, play, the game-over and
// reward-picture screens, and the hand-over to the gallery and the key configuration. The game
// itself lives in the module state of CorvantineState.h.
#pragma once

#include "corvantine/CorvantineState.h"

#include "gamelib/CustomControls.h"
#include "gamelib/GameEntry.h"
#include "gamelib/GameInterface.h"
#include "gamelib/GameMenu.h"

#include "gallery/Gallery.h"

namespace corvantine {

class Corvantine : public gamelib::GameInterface
{
  public:
    Corvantine() = default;
    const char* getClassName() override { return "Corvantine"; }

    void start() override;
    void update() override;
    void paint() override;
    void stop() override;

    static void setMenuMode(int32_t mode);
    // The highscore check at the end of a game, back in the menu.
    static void endGame();

    // Sets up the current level (or ends the game after the last one).
    static void nextLevel();
    // The player ship is hit by a shot or an alien.
    static void loseLife();

    // Parts of start and of the play step, reachable on their own.
    static void loadPictures();
    static void buildFormation();
    static void makeBackgroundTables();
    static void placeFormation();
    static void swayStep();
    static void backgroundStep();
    static void scheduleDives();
    static void playStep();
    // Adds points; the first crossing of the bonus score in a game gives a ship.
    static void addScore(int32_t points);
    // The new kind index of row r at level n.
    static int32_t kindOfRow(int32_t n, int32_t r) { return (n - r - 2) & 7; }
    // Drops every table, picture and animation of the game.
    static void releaseGame();

    gallery::GalleryPtr gallery;

  private:
    void menuStep();
    void timerStep();
    void paintPlayField();
    void paintCentredTexts(qev::lang::DStringPtr first, qev::lang::DStringPtr second);
};

using CorvantinePtr = qev::lang::DPtr<Corvantine>;

// A new formation shooter (not started).
gamelib::GameInterfacePtr makeCorvantine();

// The game's menu (module state like the rest of the game).
extern gamelib::GameMenuPtr gameMenu;
// The key configuration of this game.
extern gamelib::CustomControlsPtr keyDialog;
// The formation shooter's entry in the program's table of games.
extern const gamelib::GameEntry gameEntry;

} // namespace corvantine
