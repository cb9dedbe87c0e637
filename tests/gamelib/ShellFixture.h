// Shared set-up of the game library's tests: a program folder of its own per test (with plain
// files and, on request, a game.dat archive), the default device profile, and every shell global
// back to its start value afterwards.
#pragma once

#include "../core/SevenZipTool.h"
#include "CoreTestSupport.h"
#include "DeviceFixture.h"
#include "TempFolder.h"

#include "display/DisplayContext.h"
#include "gamelib/GameLib.h"
#include "io/DInputStream.h"
#include "microedition/lcdui/DDisplay.h"
#include "platform/windows.h"

#include <memory>

#include <map>
#include <string>
#include <vector>

namespace shelltest {

// A PNG of w x h pixels of one colour (0xRRGGBB).
std::string png(int w, int h, uint32_t rgb);

// RGB565 of 0xRRGGBB.
constexpr uint16_t rgb565(uint32_t rgb)
{
    return static_cast<uint16_t>(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 |
                                 ((rgb >> 3) & 31));
}

// The highscore table kept in the named record store, read from its bytes: one "name score"
// line per entry in table order; {"<no store>"} when the store does not exist.
std::vector<std::string> storedTable(const char16_t* store);

// Puts a game into its main-menu slot (0 to 2) for the rest of the test. Every test starts with
// the program's three slots holding only the games' names, folders and icons, so that the main
// menu shows its five icons, the sound question sets each game's levels and a graphics set
// redirects each game's folder, while choosing a game there makes none.
void putGame(int slot, const gamelib::GameEntry& game);

// Plain shell state for tests that need no display: screen size, resource lookup, input.
class ShellTest : public DeviceTest
{
  protected:
    ShellTest();
    ~ShellTest() override;

    // Packs the entries into game.dat in the program folder and opens it.
    void openArchive(const std::map<std::string, std::string>& entries);
    // A plain file of the program folder.
    void writeFile(const std::string& name, const std::string& bytes) { folder.write(name, bytes); }
    // The records start as the given records file holds them (before anything opened them).
    void useRecordsFile(const std::string& path);
    // Every byte of the resource stream.
    static std::string readAll(qev::io::DInputStreamPtr in);

    testsupport::TempFolder folder;
};

// ShellTest with a headless window and a display, and a GameLib as the application's MIDlet.
// The window's pixels are what the player sees after a flush.
class ShellDisplayTest : public ShellTest
{
  protected:
    ShellDisplayTest();
    ~ShellDisplayTest() override;

    // Screen of the given size; makes the GameLib and the display (no start-up yet).
    void startDisplay(int width = 240, int height = 320);
    // Makes the canvas as start-up does, without the rest of start-up.
    void makeCanvas();
    // The window's RGB565 pixel at (x, y).
    uint16_t windowPixel(int x, int y) const;
    bool pixelIs(int x, int y, uint32_t rgb) const { return windowPixel(x, y) == rgb565(rgb); }

    // One 25 ms step of the fake clock through the GameLib, which updates and paints.
    void step();
    void steps(int n);
    // A press and a release, each applied in its own step.
    void press(int32_t code);

    HWND window = nullptr;
    std::unique_ptr<ScreenHAL::DisplayContext> context;
    qev::lang::DPtr<gamelib::GameLib> lib;
    qev::microedition::lcdui::DDisplayPtr display;
};

} // namespace shelltest
