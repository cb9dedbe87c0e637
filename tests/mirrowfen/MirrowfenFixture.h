// The space-rock game on the shell's small test archive plus a fixture atlas whose pieces have
// fixed sizes and one colour per kind, started from the main menu's table of games. Every frame
// is 25 ms of the fake clock and paints; a game step runs on every third frame.
#pragma once

#include "ShellScreensFixture.h"

#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include <map>
#include <string>

namespace mirrowfentest {

// Piece colours of the fixture atlas.
constexpr uint32_t kShipColour = 0x00FF00;
constexpr uint32_t kRockColour = 0x996633;
constexpr uint32_t kUfoColour = 0xFF8000;
constexpr uint32_t kShotColour = 0xFFFF00;
constexpr uint32_t kEffectColour = 0xFF0000;
constexpr uint32_t kPanelColour = 0x0000FF;
// Piece sizes.
constexpr int kShipSize = 17;
constexpr int kLargeRock = 28;
constexpr int kMediumRock = 18;
constexpr int kSmallRock = 10;

// Sizes of the big saucer's pieces: its body and lights, and each scorch mark.
struct Ufo3Size
{
    int w = 40;
    int h = 32;
    int markW = 8;
    int markH = 5;
};

// The fixture atlas: "graphics/common/mirf/all.txt" and ".png".
std::map<std::string, std::string> atlasEntries(bool withShip = true, Ufo3Size ufo3 = {});

class MirrowfenTest : public shelltest::ShellScreens
{
  protected:
    ~MirrowfenTest() override;

    // The shell's test archive entries plus the game's atlas, splash and texts.
    std::map<std::string, std::string> gameArchive(const std::map<std::string, std::string>& extra);
    // Start-up to the main menu, then the game made by the table and started.
    void startGame(const std::map<std::string, std::string>& extra = {});
    // The same on a screen of another size (the archive gets its configuration entry).
    void startGameAt(int width, int height, const std::map<std::string, std::string>& extra = {});
    // Chooses item `index` of the game's menu with the keys.
    void choose(int index);
    // "start" from the game's menu: the intro of level 1.
    void newGame();
    // The intro run out: playing level 1.
    void play();
    // n game steps (three frames each).
    void gameSteps(int n) { steps(3 * n); }

    // An empty field: no rocks, no saucers, no rockets, no effects.
    void clearField(int rockSlots = 4, int ufoSlots = 1);
    mirrowfen::FlyingOPtr addRock(int slot, int x, int y, int dx, int dy, int sizeClass,
                                  int variant = 1);
    mirrowfen::FlyingOPtr addUfo(int slot, int x, int y, int dx, int dy, int kind);
    // The ship at rest at (x, y), pointing up, not invulnerable.
    void parkShip(int x, int y);

    mirrowfen::Mirrowfen& game() { return *m_game; }
    mirrowfen::Ship& ship() { return *mirrowfen::ship; }
    int liveRocks() const;

  private:
    // The game made by the main menu's table in place of the main menu, and started.
    void launch();

    mirrowfen::MirrowfenPtr m_game;
};

} // namespace mirrowfentest
