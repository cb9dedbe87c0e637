#include "MenuOwnerFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/TextTable.h"

#include "platform/testing/FakeClock.h"

namespace menutest {

using gamelibtest::pngOf;
using gamelibtest::record;

void MenuOwner::update()
{
    if (view == View::Controls) {
        const int32_t result = controls->update();
        if (result != gamelib::CustomControls::KEEP_SHOWING) {
            controlsResult = result;
            ++controlsExits;
        }
        return;
    }
    menu->update();
    if (menu->chosen)
        choices.push_back(menu->selected);
}

void MenuOwner::paint()
{
    if (view == View::Controls) {
        gamelib::screenGraphics->setColor(0xFFFFFF);
        gamelib::screenGraphics->fillRect(0, 0, gamelib::screenWidth, gamelib::screenHeight);
        controls->paint(gamelib::screenGraphics);
        return;
    }
    menu->paint();
}

namespace {

// A font page of the glyphs, each `advance` wide: solid colour, the space (glyph 0) transparent.
void addFont(std::map<std::string, std::string>& entries, const std::string& name,
             const std::string& glyphs, int advance, int height, uint32_t colour)
{
    const std::string base = "graphics/fonts/" + name + "/font_0";
    std::string desc(1, static_cast<char>(glyphs.size()));
    for (char c : glyphs)
        desc += record(std::string(1, c)) + std::string(1, static_cast<char>(advance));
    entries[base] = desc;
    entries[base + ".png"] = pngOf(static_cast<int>(glyphs.size()) * advance, height,
                                   [=](int x, int) { return x < advance ? 0xFF00FFu : colour; });
}

} // namespace

std::string MenuOwnerTest::utf(const std::vector<std::string>& records)
{
    std::string out;
    for (const std::string& r : records)
        out += record(r);
    return out;
}

std::map<std::string, std::string> MenuOwnerTest::entries() const
{
    const std::string upper = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_<?%.,:!'";
    const std::string small = upper + "abcdefghijklmnopqrstuvwxyz";
    std::map<std::string, std::string> e = {
        {"240x320", "graphics=big\r\n"},
        {"graphics/arrowUp.png", shelltest::png(kArrowWidth, kArrowHeight, kArrowColour)},
        {"graphics/arrowDown.png", shelltest::png(kArrowWidth, kArrowHeight, kArrowColour)},
        {"graphics/pause.png", shelltest::png(8, 8, 0x000000)},
        {"graphics/selected.png", shelltest::png(4, 4, 0xFFFF00)},
        {"graphics/common/input/input_top.png", shelltest::png(140, 8, kFrameColour)},
        {"graphics/common/input/input_midd.png", shelltest::png(140, 136, 0x101010)},
        {"graphics/common/input/input_bot.png", shelltest::png(140, 8, kFrameColour)},
        {"txt/res_en.txt",
         utf({"empty=nobody", "help=Help", "quit=Back", "down=More", "entername=Name",
              "set_default=Defaults", "ok=Ok", "cancel=Cancel",
              "ctrl_actions_testgame=Left;Right;Fire", "soundfxlow=Quiet", "musichigh=Loud"})},
    };
    addFont(e, "menu", upper, kMenuAdvance, kMenuHeight, kMenuColour);
    addFont(e, "menusel", upper, kMenuSelAdvance, kMenuSelHeight, kMenuSelColour);
    addFont(e, "hud0", upper, kHudAdvance, kHudHeight, kHudColour);
    addFont(e, "small", small, kSmallAdvance, kSmallHeight, kSmallColour);
    return e;
}

void MenuOwnerTest::startOwner(const std::map<std::string, std::string>& extra, bool menuImages)
{
    std::map<std::string, std::string> all = entries();
    for (const auto& [name, bytes] : extra) {
        if (bytes == kRemove)
            all.erase(name);
        else
            all[name] = bytes;
    }
    openArchive(all);
    startDisplay(240, 320);
    makeCanvas();
    gamelib::screenSupported = gamelib::GameLib::loadScreenConfig() ? 1 : 0;
    ASSERT_TRUE(gamelib::screenSupported);
    gamelib::GameStatics::init();
    gamelib::loadImageFonts();
    ASSERT_EQ(kMenuHeight, (*gamelib::imageFonts)[gamelib::FONT_MENU]->getHeight());
    ASSERT_EQ(kSmallHeight, (*gamelib::imageFonts)[gamelib::FONT_SMALL]->getHeight());
    gamelib::loadTextFile(u"/txt/res_en", true);
    // The menus' shared state starts afresh.
    gamelib::GameMenu::lastActionTime = 0;
    gamelib::GameMenu::nameReady = 0;
    gamelib::GameMenu::enteredName = nullptr;
    gamelib::GameMenu::releaseHelp();
    if (menuImages)
        gamelib::GameMenu::loadMenuImages();
    owner = new MenuOwner();
    menu = owner->menu.get();
    gamelib::currentScreen = owner;
    gamelib::GameLib::resetFrameTimer();
}

void MenuOwnerTest::showItems(int n)
{
    qev::lang::DStringArrayPtr items = new qev::lang::DStringArray(n);
    for (int i = 0; i < n; ++i)
        (*items)[i] = gamelibtest::str("item" + std::to_string(i));
    menu->setItems(items);
    menu->selected = 0;
    menu->first = 0;
    menu->state = gamelib::GameMenu::STATE_LIST;
}

} // namespace menutest
