// The game menu: breaking a help text of the usual size (about 2,500 characters in 40
// paragraphs) into page lines, and painting the help page and a nine-item list, on a 240 x 320
// screen. Fonts and the text are plain files of a temporary program folder.
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/DeviceProfile.h"

#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace gamelib;
using qev::lang::DStringPtr;

namespace {

const std::string kGlyphs = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,";

std::string strip(int w, int h)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 0x40);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
    out.resize(size);
    return out;
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

struct MenuFixture
{
    MenuFixture()
    {
        char pattern[] = "/tmp/ph-bench-menu-XXXXXX";
        folder = mkdtemp(pattern);
        std::string desc(1, static_cast<char>(kGlyphs.size()));
        for (char c : kGlyphs)
            desc += record(std::string(1, c)) + std::string(1, '\6');
        for (const char* name : {"menu", "menusel", "hud0", "hud1", "num0", "num1", "small"}) {
            const std::string base = std::string("graphics/fonts/") + name + "/font_0";
            write(base, desc);
            write(base + ".png", strip(static_cast<int>(kGlyphs.size()) * 6, 10));
        }
        write("txt/bench/en_help.txt", helpText());
        platform::DeviceProfile::current().programFile = folder + "/game.exe";
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
        std::filesystem::remove_all(folder);
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::path path = std::filesystem::path(folder) / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string folder;
    qev::microedition::lcdui::DImagePtr screen;
    GameMenuPtr menu;
};

MenuFixture& menuFixture()
{
    static MenuFixture f;
    return f;
}

void BM_HelpTextBreak(benchmark::State& state)
{
    MenuFixture& f = menuFixture();
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
    MenuFixture& f = menuFixture();
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
    MenuFixture& f = menuFixture();
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
