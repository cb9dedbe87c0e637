#include "ShellScreensFixture.h"

#include "gamelib/MainMenu.h"

namespace shelltest {

namespace {

constexpr int kSheetWidth = 3 * kIconSize + kLogoWidth;

// Column c of the sheet: icons, selected icons, logos; row i: entry i.
uint32_t sheetColour(int x, int y)
{
    const int entry = y / kLogoHeight;
    if (x < kIconSize)
        return kIcon + entry * 0x10;
    if (x < 2 * kIconSize)
        return kSelected + entry * 0x10;
    if (x < 3 * kIconSize)
        return 0xFF00FF;
    return kLogo + entry * 0x10;
}

// The seven fonts, all alike: one page with the capitals and the space.
void addFonts(std::map<std::string, std::string>& entries)
{
    const std::string glyphs = " ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string descriptor(1, static_cast<char>(glyphs.size()));
    for (char c : glyphs)
        descriptor += gamelibtest::record(std::string(1, c)) + static_cast<char>(kGlyphWidth);
    const std::string strip =
        gamelibtest::pngOf(static_cast<int>(glyphs.size()) * kGlyphWidth, kFontHeight,
                           [](int x, int) { return x < kGlyphWidth ? 0xFF00FFu : kGlyph; });
    for (const char* font : {"menu", "menusel", "hud0", "hud1", "num0", "num1", "small"}) {
        entries["graphics/fonts/" + std::string(font) + "/font_0"] = descriptor;
        entries["graphics/fonts/" + std::string(font) + "/font_0.png"] = strip;
    }
}

} // namespace

std::string ShellScreens::iconList()
{
    static const char* const kNames[] = {"tesk", "mirf", "corv", "gallery", "exit"};
    static const char* const kLogos[] = {"logoTesk", "logoMirf", "logoCorv", "logoGallery",
                                         "logoExit"};
    std::string list;
    for (int i = 0; i < 5; ++i) {
        const std::string y = std::to_string(i * kLogoHeight);
        list += std::string(kNames[i]) + ".png;0;" + y + ";30;30\r\n";
        list += std::string(kNames[i]) + "_s.png;30;" + y + ";30;30\r\n";
        list += std::string(kLogos[i]) + ".png;90;" + y + ";90;30\r\n";
    }
    return list;
}

std::string ShellScreens::utf(std::initializer_list<std::string> records)
{
    std::string out;
    for (const std::string& r : records)
        out += gamelibtest::record(r);
    return out;
}

void ShellScreens::shellArchive(const std::map<std::string, std::string>& extra,
                                const std::string& langs, const std::string& snames)
{
    std::map<std::string, std::string> entries = {
        {"240x320", "graphics=big\r\n"},
        {"graphics/logo.png", png(100, 60, 0x0000FF)},
        {"graphics/button.png", png(kButtonWidth, kButtonHeight, kButton)},
        {"graphics/common/menu/back.jpg", png(240, 320, kBackdrop)},
        {"graphics/common/menu/small_icons.txt", iconList()},
        {"graphics/common/menu/small_icons.png",
         gamelibtest::pngOf(kSheetWidth, 5 * kLogoHeight, sheetColour)},
        {"txt/lang.txt", utf({"LANGS=" + langs, "SNAMES=" + snames})},
        {"txt/res_en.txt", utf({"start=Start", "quit=Back", "next=Next", "noimages=NONE YET"})},
        {"txt/res_de.txt", utf({"start=Los", "quit=Zurueck", "next=Weiter", "noimages=Keine"})},
        {"data/keys.txt", "KEY_LEFT_SOFT2=112\r\n"},
    };
    addFonts(entries);
    for (const auto& [name, bytes] : extra)
        entries[name] = bytes;
    openArchive(entries);
}

void ShellScreens::startUp(const std::map<std::string, std::string>& extra)
{
    shellArchive(extra);
    startDisplay(240, 320);
    lib->startApp();
}

void ShellScreens::startToMainMenu(const std::map<std::string, std::string>& extra)
{
    startUp(extra);
    step();
    press('5');
    press('5');
    // The first menu of the run opens at once; the one that follows takes the opening time,
    // then its logo slides in.
    steps(60);
}

} // namespace shelltest
