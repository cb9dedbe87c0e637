// The shell's start screen: icons in a column at the left edge (the program's games in table
// order, the gallery, exit; five in all) that spring towards their places, the logo of the selected
// entry sliding in at the bottom right, and the backdrop. Choosing an entry slides the other icons
// out and, after the closing time, starts the chosen screen or ends the application.
#pragma once

#include "gamelib/GameImage.h"
#include "gamelib/GameInterface.h"

#include "microedition/lcdui/DImage.h"

#include <cstdint>
#include <vector>

namespace gamelib {

class MainMenu : public GameInterface
{
  public:
    // Motion in 16.16 fixed point.
    static constexpr int32_t kAcceleration = 0x7000;
    static constexpr int32_t kNudge = 0x15000;

    enum State : int32_t {
        STATE_OPENING = 0,
        STATE_CLOSING = 1,
        STATE_IDLE = 2,
        STATE_LOGO_IN = 3,
        STATE_LOGO_OUT = 4
    };

    MainMenu() = default;
    const char* getClassName() override { return "MainMenu"; }

    void start() override;
    void update() override;
    void paint() override;

    // Logo in: reverses a logo that is sliding out from where it is.
    void startTransition3();
    // Logo out: reverses a logo that is sliding in; a hidden logo "slides out" at once.
    void startTransition4();

    // The opening time that the next start uses: 0 until the first main menu of the run has
    // started (start-up replaces that one at once), then the full opening time.
    static int32_t openingMillis;

    int32_t state = STATE_OPENING;
    int32_t countdown = 0;
    int32_t selection = 0;
    int32_t shownLogo = 0;
    // The entries after the games.
    int32_t galleryEntry = 3;
    int32_t exitEntry = 4;
    uint8_t launchFlag = 0;
    uint8_t exitFlag = 0;
    uint8_t logoShown = 0;
    int32_t spacing = 0;
    std::vector<int32_t> targetX;
    std::vector<int32_t> targetY;
    std::vector<int32_t> posX;
    std::vector<int32_t> posY;
    std::vector<int32_t> velX;
    std::vector<int32_t> velY;

    int32_t closingMillis = 0;
    int32_t logoInMillis = 0;
    int32_t logoOutMillis = 0;

  private:
    int32_t entries() const { return exitEntry + 1; }
    void layout();
    void handleInput(bool& skipStateMachine);
    // The icon under the pointer becomes the selection; false when the tap hit none.
    bool tapTest();
    void choose();
    void move(int32_t& position, int32_t& velocity, int32_t target) const;
    void runStateMachine();
    void launch();
    void refuseScreen(const GameInterfacePtr& screen, qev::lang::DExceptionBase* e);
    void select(int32_t entry);

    qev::microedition::lcdui::DImagePtr m_backdrop;
    GameImageArrayPtr m_icons;
    GameImageArrayPtr m_selectedIcons;
    GameImageArrayPtr m_logos;
};

} // namespace gamelib
