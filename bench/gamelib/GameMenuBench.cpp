// The game menu: breaking a help text of the usual size (about 2,500 characters in 40
// paragraphs) into page lines, and painting the help page and a nine-item list, on a 240 x 320
// screen. Fonts and the text are plain files of a temporary program folder.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/DeviceProfile.h"

#include <benchmark/benchmark.h>

#include "PngBytes.h"
#include "TempFolder.h"

#include <string>

using namespace gamelib;
using qev::lang::DStringPtr;

namespace {

const std::string kGlyphs = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,";

std::string strip(int w, int h)
{
    return testsupport::solidPng(w, h, 0x404040);
}

std::string record(const std::string& text)
{
    return std::string{static_cast<char>(text.size() >> 8), static_cast<char>(text.size())} + text;
}

// Forty paragraphs of about 62 characters: most break into two page lines.
std::string helpText()
{
    std::string out;
    for (int i = 0; i < 40; ++i)
        out += record("Paragraph " + std::to_string(i) +
                      " tells how the paddle moves and what bonus falls.");
    return out;
}

// Made by every benchmark run for itself, so that the runs hold in any order.
struct MenuFixture
{
    MenuFixture()
    {
        std::string desc(1, static_cast<char>(kGlyphs.size()));
        for (char c : kGlyphs)
            desc += record(std::string(1, c)) + std::string(1, '\6');
        for (const char* name : {"menu", "menusel", "hud0", "hud1", "num0", "num1", "small"}) {
            const std::string base = std::string("graphics/fonts/") + name + "/font_0";
            write(base, desc);
            write(base + ".png", strip(static_cast<int>(kGlyphs.size()) * 6, 10));
        }
        write("txt/bench/en_help.txt", helpText());
        platform::DeviceProfile::current().programFile = folder.path() + "/game.exe";
        screenWidth = 240;
        screenHeight = 320;
        screen = qev::microedition::lcdui::DImage::createImage(240, 320);
        screenGraphics = screen->getGraphics();
        loadImageFonts();
        menu = new GameMenu();
    }
    ~MenuFixture()
    {
        menu = nullptr;
        GameMenu::releaseHelp();
        releaseImageFonts();
        screenGraphics = nullptr;
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        folder.write(name, bytes);
    }

    testsupport::TempFolder folder;
    qev::microedition::lcdui::DImagePtr screen;
    GameMenuPtr menu;
};

void BM_HelpTextBreak(benchmark::State& state)
{
    MenuFixture f;
    for (auto _ : state) {
        f.menu->setHelpText(u"/txt/bench/en_help.txt", nullptr);
        benchmark::DoNotOptimize(GameMenu::helpLineCount);
    }
    if (GameMenu::helpLineCount < 40)
        state.SkipWithError("the help text did not load");
}
BENCHMARK(BM_HelpTextBreak)->Unit(benchmark::kMicrosecond);

void BM_HelpPagePaint(benchmark::State& state)
{
    MenuFixture f;
    f.menu->setHelpText(u"/txt/bench/en_help.txt", nullptr);
    f.menu->state = GameMenu::STATE_TEXT;
    f.menu->paint(); // the first paint makes the system font of the page
    for (auto _ : state) {
        f.menu->paint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HelpPagePaint)->Unit(benchmark::kMicrosecond);

void BM_MenuListPaint(benchmark::State& state)
{
    MenuFixture f;
    qev::lang::DStringArrayPtr items = new qev::lang::DStringArray(9);
    for (int32_t i = 0; i < 9; ++i)
        (*items)[i] = DStringPtr(u"Menu item ") + i;
    f.menu->setItems(items);
    f.menu->state = GameMenu::STATE_LIST;
    f.menu->visible = 15;
    for (auto _ : state) {
        f.menu->paint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MenuListPaint)->Unit(benchmark::kMicrosecond);

} // namespace
