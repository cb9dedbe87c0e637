// A small screen that owns a GameMenu and a key dialog as a game does, on an archive with bitmap
// fonts whose glyphs are solid blocks of one colour per font (so that pixels tell which font
// drew where), the menu images and the keyboard frame. Every step is 25 ms of the fake clock
// through GameLib and paints.
#pragma once

#include "GamelibTestSupport.h"
#include "ShellFixture.h"

#include "gamelib/CustomControls.h"
#include "gamelib/GameInterface.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/testing/FakeClock.h"

#include <map>
#include <string>
#include <vector>

namespace menutest {

using shelltest::rgb565;

// Font colours, glyph advances and heights.
constexpr uint32_t kMenuColour = 0x00FF00;
constexpr uint32_t kMenuSelColour = 0xFF0000;
constexpr uint32_t kHudColour = 0x0000FF;
constexpr uint32_t kSmallColour = 0x804000;
constexpr int kMenuAdvance = 6;
constexpr int kMenuHeight = 10;
constexpr int kMenuSelAdvance = 7;
constexpr int kMenuSelHeight = 12;
constexpr int kHudAdvance = 5;
constexpr int kHudHeight = 9;
// The small font spaces its glyphs by one more pixel.
constexpr int kSmallAdvance = 4;
constexpr int kSmallHeight = 8;
// Menu images.
constexpr uint32_t kArrowColour = 0x00FFFF;
constexpr int kArrowWidth = 16;
constexpr int kArrowHeight = 8;
constexpr uint32_t kFrameColour = 0x303030;

// As the bytes of an extra entry: leave that entry out of the archive.
inline const std::string kRemove = "<remove>";

// What the owning screen shows.
enum class View { Menu, Controls };

class MenuOwner : public gamelib::GameInterface
{
  public:
    void update() override;
    void paint() override;

    gamelib::GameMenuPtr menu = new gamelib::GameMenu();
    gamelib::CustomControlsPtr controls;
    View view = View::Menu;
    // Each step in which the menu reported a choice: the selected index.
    std::vector<int32_t> choices;
    // What the key dialog returned when it last asked to be left, and how often it did.
    int32_t controlsResult = 0;
    int32_t controlsExits = 0;
};

class MenuOwnerTest : public shelltest::ShellDisplayTest
{
  protected:
    // The archive's entries: fonts, texts, menu images, keyboard frame, plus extra.
    std::map<std::string, std::string> entries() const;
    // Archive, display, canvas, shared data, fonts and texts; the owner becomes the current
    // screen. menuImages: load the arrows and selection images. An extra entry replaces the
    // entry of that name (kRemove: drops it).
    void startOwner(const std::map<std::string, std::string>& extra = {}, bool menuImages = true);

    // Press, wait until more than the menu's 200 ms have passed, release.
    void pressGated(int32_t code)
    {
        press(code);
        steps(8);
    }
    void tap(int32_t x, int32_t y)
    {
        gamelib::screenCanvas->pointerPressed(x, y);
        step();
        gamelib::screenCanvas->pointerReleased(x, y);
        step();
    }
    // Items "item0" ... as the list of the owner's menu, shown from the top.
    void showItems(int n);

    static std::string utf(const std::vector<std::string>& records);

    qev::lang::DPtr<MenuOwner> owner;
    gamelib::GameMenu* menu = nullptr;
};

} // namespace menutest
