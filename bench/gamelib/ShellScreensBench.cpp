// One 25 ms step (update and paint) of the shell's screens on a 240 x 320 screen: the main menu
// with its five springing icons and sliding logo, and the gallery while it slides between two
// pictures (composing the next picture whenever a slide ends). Data are plain files of a
// temporary program folder.
#include "gallery/Gallery.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/DeviceProfile.h"

#include <benchmark/benchmark.h>

#include "PngBytes.h"
#include "TempFolder.h"

#include <string>

using namespace gamelib;

namespace {

// A PNG of one colour whose blue steps along the pixels, so that it does not pack to nothing.
std::string solidPng(int w, int h, uint32_t rgb)
{
    return testsupport::pngOf(w, h, [w, rgb](int x, int y) {
        const uint32_t i = static_cast<uint32_t>(y * w + x) * 3;
        return (rgb & 0xFFFF00) | ((rgb + i) & 0xFF);
    });
}

// Made by every benchmark run for itself, so that the runs hold in any order.
struct ShellBench
{
    ShellBench()
    {
        write("graphics/common/menu/back.jpg", solidPng(240, 320, 0x304060));
        std::string list;
        for (const char* name : {"tesk", "mirf", "corv", "gallery", "exit"})
            list += std::string(name) + ".png;0;0;32;32\r\n" + name + "_s.png;32;0;32;32\r\n";
        for (const char* name : {"logoTesk", "logoMirf", "logoCorv", "logoGallery", "logoExit"})
            list += std::string(name) + ".png;0;32;150;40\r\n";
        write("graphics/common/menu/small_icons.txt", list);
        write("graphics/common/menu/small_icons.png", solidPng(160, 80, 0x20A040));
        write("graphics/common/img/all.txt", "0   a\r\n1   b\r\n");
        write("graphics/common/img/a.jpg", solidPng(240, 320, 0x806020));
        write("graphics/common/img/b.jpg", solidPng(240, 320, 0x206080));
        write("graphics/button.png", solidPng(48, 20, 0x404040));
        platform::DeviceProfile& profile = platform::DeviceProfile::current();
        profile.programFile = folder.path() + "/game.exe";
        profile.registryPath = folder.path() + "/registry.sqlite";
        lib = new GameLib();
        screenWidth = 240;
        screenHeight = 320;
        screen = qev::microedition::lcdui::DImage::createImage(240, 320);
        screenGraphics = screen->getGraphics();
        GameStatics::init();
        loadImageFonts();
        GameMenu::saveOption(u"openimgs", 0x3);
    }
    ~ShellBench()
    {
        GameStatics::release();
        screen = nullptr;
        lib = nullptr;
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        folder.write(name, bytes);
    }

    testsupport::TempFolder folder;
    GameLibPtr lib;
    qev::microedition::lcdui::DImagePtr screen;
};

void BM_MainMenuStep(benchmark::State& state)
{
    ShellBench b;
    qev::lang::DPtr<MainMenu> menu = new MainMenu();
    menu->start();
    int64_t steps = 0;
    for (auto _ : state) {
        // A navigation key every 20 steps keeps icons and logo moving.
        keyDown = steps % 20 == 0 ? 1 : 0;
        menu->update();
        menu->paint();
        ++steps;
        benchmark::ClobberMemory();
    }
    keyDown = 0;
    state.SetItemsProcessed(steps);
}
BENCHMARK(BM_MainMenuStep);

void BM_GallerySlidingStep(benchmark::State& state)
{
    ShellBench b;
    qev::lang::DPtr<gallery::Gallery> viewer = new gallery::Gallery();
    viewer->start();
    if (viewer->current != 0) {
        state.SkipWithError("the bench pictures are not unlocked");
        return;
    }
    int64_t steps = 0;
    for (auto _ : state) {
        // Held: a new slide starts whenever the last one has ended.
        keyRight = 1;
        viewer->update();
        viewer->paint();
        ++steps;
        benchmark::ClobberMemory();
    }
    keyRight = 0;
    state.SetItemsProcessed(steps);
}
BENCHMARK(BM_GallerySlidingStep);

} // namespace
