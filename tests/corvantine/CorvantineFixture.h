// The formation shooter on a small archive: the shell's fixture entries plus the game's atlas
// with pieces of fixed sizes and plain colours (aliens 16 x 16), its animation list and
// pictures. The game is made and started as the main menu would.
#pragma once

#include "ShellScreensFixture.h"

#include "corvantine/Corvantine.h"

namespace corvtest {

constexpr uint32_t kShipColour = 0x00FF00;
constexpr uint32_t kLevelColour = 0xFFFF00;
constexpr uint32_t kLifeColour = 0x00FFFF;
// Alien kind k (0..7) is kAlienColour + k * 0x10.
constexpr uint32_t kAlienColour = 0xC00040;
// Gallery picture i of the list is kRewardColour + i; the game-over picture is one colour.
constexpr uint32_t kRewardColour = 0x40C080;
constexpr uint32_t kGameOverColour = 0x8000F0;
constexpr int kShipW = 17;
constexpr int kShipH = 13;
constexpr int kFlameH = 5;
constexpr int kBulletW = 3;
constexpr int kBulletH = 7;
constexpr int kLevelW = 6;
constexpr int kLevelH = 9;
constexpr int kLifeW = 9;
constexpr int kLifeH = 7;
constexpr int kShipBoomFrames = 7;
constexpr int kShipBoomDelay = 4;

class CorvantineTest : public shelltest::ShellScreens
{
  protected:
    ~CorvantineTest() override;
    // Start-up to the main menu, then the game made and started in place of the menu.
    void startGame() { startGameAt(240, 320, {}); }
    // The same on a screen of another size, whose configuration names the fixture's set;
    // `extra` replaces or adds archive entries (pictures drawn for that size).
    void startGameAt(int width, int height, const std::map<std::string, std::string>& extra);
    // A key press that the menu takes: it ignores presses within 200 ms of the last one.
    void menuPress(int32_t code)
    {
        steps(9);
        press(code);
    }
    // "start" chosen in the game's menu.
    void newGame();
    // The intro run out: play has begun.
    void toPlay();
    corvantine::Corvantine* game() const;
    // The first key of a canvas action (0 up, 1 down, 2 left, 3 right, 4 fire).
    static int32_t key(int32_t action);
    static corvantine::AlienShip& ship(int row, int column);
    // Every ship but the one given is destroyed (as by the player's shots).
    static void leaveOnly(int row, int column);
};

} // namespace corvtest
