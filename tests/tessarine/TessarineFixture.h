// The brick-breaker on the shell's screen fixture: an atlas of plain-coloured pieces of fixed
// sizes, an animation list, small levels written by the tests, and the game made current and
// started as the main menu would. Every step is 25 ms of the fake clock and paints.
#pragma once

#include "ShellScreensFixture.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include <map>
#include <string>
#include <vector>

namespace tessatest {

// Colours of some pieces of the fixture atlas.
constexpr uint32_t kFlash = 0xF0F000;
constexpr uint32_t kPlain6 = 0xE04010;
constexpr uint32_t kBallColour = 0x10E0E0;
constexpr uint32_t kWallColour = 0x3050A0;
constexpr uint32_t kPaddleColour = 0x20C020;

// 21 rows of 11 cells ending in CR LF; rows given are placed from the top, the rest are empty.
std::string levelFile(const std::vector<std::string>& rows);

class TessarineTest : public shelltest::ShellScreens
{
  protected:
    TessarineTest();
    ~TessarineTest() override;

    // The archive with the game's fixture data and the given levels (level number -> file),
    // start-up to the main menu, then the game made current and started.
    void startGame(const std::map<int, std::string>& levels,
                   const std::map<std::string, std::string>& extra = {});
    // A new game screen on the data already open (as the main menu makes a second one).
    void restartGame();
    tessarine::Tessarine& game() { return *m_game; }
    tessarine::BrickList& bricks() { return *tessarine::brickList; }
    tessarine::Platform& paddle() { return *tessarine::paddle; }
    tessarine::Ball& ball(int i) { return *(*game().balls)[i]; }
    tessarine::Brick& brick(int row, int column) { return *bricks().brickAt(row, column); }
    // Chooses "start" in the game menu and waits out the get-ready pause.
    void startPlaying();
    // Fire pressed for one step and released.
    void launch();
    void holdKey(uint8_t& flag, int n);
    // Centre of a cell in pixels.
    int cellX(int column) { return bricks().columnLeft(column) / 16 + bricks().cellWidth / 2; }
    int cellY(int row) { return bricks().rowTop(row) / 16 + bricks().cellHeight / 2; }

    tessarine::TessarinePtr m_game;
};

} // namespace tessatest
