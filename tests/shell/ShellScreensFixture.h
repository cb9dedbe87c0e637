// The shell's own screens on a small archive: a backdrop, the icon atlas, two languages, the
// gallery's picture list and its pictures, all in plain colours so that what a screen shows can
// be told by its pixels. Start-up runs with the real language, sound and main menus; every step
// is 25 ms of the fake clock and paints.
#pragma once

#include "../gamelib/GamelibTestSupport.h"
#include "../gamelib/ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/testing/FakeClock.h"

#include <initializer_list>
#include <map>
#include <string>

namespace shelltest {

// Colours of the fixture's images.
constexpr uint32_t kBackdrop = 0x808080;
constexpr uint32_t kButton = 0xC08000;
// Icon i is kIcon + i * 0x10, its selected form kSelected + i * 0x10, its logo kLogo + i * 0x10.
constexpr uint32_t kIcon = 0x00C000;
constexpr uint32_t kSelected = 0xC00000;
constexpr uint32_t kLogo = 0x0000C0;
constexpr int kIconSize = 30;
constexpr int kLogoWidth = 90;
constexpr int kLogoHeight = 30;
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 24;
// Every font of the fixture: capitals and space, each glyph a solid block of this colour.
constexpr uint32_t kGlyph = 0xF0F0F0;
constexpr int kGlyphWidth = 6;
constexpr int kFontHeight = 10;
// Gallery: every picture i of the list is one colour, kPicture + i (set by pictureList).
constexpr uint32_t kPicture = 0x204000;

class ShellScreens : public ShellDisplayTest
{
  protected:
    // Every entry the shell's screens read, plus `extra` (which may replace one of them).
    void shellArchive(const std::map<std::string, std::string>& extra = {},
                      const std::string& langs = "English;Deutsch",
                      const std::string& snames = "en;de");
    // Archive, display and start-up up to the language question.
    void startUp(const std::map<std::string, std::string>& extra = {});
    // Answers both questions (language 0, no sound) and runs until the main menu is idle.
    void startToMainMenu(const std::map<std::string, std::string>& extra = {});

    void tap(int32_t x, int32_t y)
    {
        gamelib::screenCanvas->pointerPressed(x, y);
        step();
        gamelib::screenCanvas->pointerReleased(x, y);
    }
    template <class T> T* current() const { return dynamic_cast<T*>(gamelib::currentScreen.get()); }

    static std::string utf(std::initializer_list<std::string> records);
    // The icon atlas's list: per entry its icon, selected icon and logo.
    static std::string iconList();
};

} // namespace shelltest
