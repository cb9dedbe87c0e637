// The real program played by one key-only script on every screen size the data carries: from
// the start-up questions through the three games (play, pause menu, help page, key dialog) and
// the gallery to the exit entry of the main menu. Every size must get through without an error
// box, an exception or a missing resource or text, and draw screens of its own size that differ
// where the walk changed the screen. The screens stay in the build folder for looking at.
#include "ScriptedRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct ScreenSize
{
    int width;
    int height;
};

using testsupport::readFile;

std::string name(const ScreenSize& s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// The manifest as file name -> hash.
std::map<std::string, std::string> readManifest(const std::string& text)
{
    std::map<std::string, std::string> hashes;
    std::istringstream lines(text);
    std::string pass, file, hash;
    while (lines >> pass >> file >> hash)
        hashes[file] = hash;
    return hashes;
}

// Width and height from a PNG's header, or 0 x 0 when the file is no PNG.
ScreenSize pngSize(const std::string& path)
{
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    auto be32 = [&bytes](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
        return v;
    };
    return {be32(16), be32(20)};
}

// A dumped screen as 0xRRGGBB pixels; empty when it cannot be read.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    uint32_t at(int x, int y) const
    {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
};

Picture readPicture(const std::string& path)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb = std::move(rgb);
    return picture;
}

// The screen stores 16-bit colours: a colour comes back within a few steps per channel.
bool near(uint32_t got, uint32_t want)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((got >> shift) & 0xFF);
        const int b = static_cast<int>((want >> shift) & 0xFF);
        if (a - b > 8 || b - a > 8)
            return false;
    }
    return true;
}

// How many pixels of the column x, rows from..to (exclusive), are none of the colours.
int strayPixels(const Picture& p, int x, int from, int to, std::initializer_list<uint32_t> colours)
{
    int stray = 0;
    for (int y = from; y < to; ++y) {
        bool known = false;
        for (uint32_t c : colours)
            known = known || near(p.at(x, y), c);
        stray += known ? 0 : 1;
    }
    return stray;
}

// Every screen the script dumps, in the order it shows them.
const std::vector<std::string> kScreens = {
    "language",  "sound",     "main-menu",      "tesk-menu",     "tesk-play",   "tesk-paused",
    "tesk-help", "tesk-keys", "main-menu-back", "mirf-menu",     "mirf-play",   "mirf-paused",
    "mirf-help", "mirf-keys", "corv-menu",      "corv-play",     "corv-paused", "corv-help",
    "corv-keys", "gallery",   "gallery-step",   "main-menu-last"};

// Pairs of screens that must differ: the walk went from one to the other, or they belong to
// different games.
const std::vector<std::pair<std::string, std::string>> kDifferent = {
    {"language", "sound"},        {"sound", "main-menu"},       {"main-menu", "tesk-menu"},
    {"tesk-menu", "tesk-play"},   {"tesk-play", "tesk-paused"}, {"tesk-paused", "tesk-help"},
    {"tesk-paused", "tesk-keys"}, {"tesk-help", "tesk-keys"},   {"tesk-paused", "tesk-scores"},
    {"main-menu", "mirf-menu"},   {"mirf-menu", "mirf-play"},   {"mirf-play", "mirf-paused"},
    {"mirf-paused", "mirf-help"}, {"mirf-paused", "mirf-keys"}, {"main-menu", "corv-menu"},
    {"corv-menu", "corv-play"},   {"corv-play", "corv-paused"}, {"corv-paused", "corv-help"},
    {"corv-paused", "corv-keys"}, {"main-menu", "gallery"},     {"tesk-menu", "mirf-menu"},
    {"mirf-menu", "corv-menu"},   {"tesk-menu", "corv-menu"},   {"tesk-play", "mirf-play"},
    {"mirf-play", "corv-play"},   {"tesk-help", "mirf-help"},   {"mirf-help", "corv-help"},
    {"tesk-keys", "mirf-keys"},   {"main-menu-back", "gallery"}};

// One run per size: every check below looks at the same walk.
class EverySize : public ::testing::TestWithParam<ScreenSize>
{
  protected:
    void SetUp() override
    {
        out = std::string(PH_SIZE_FRAMES) + "/" + name(GetParam());
        std::error_code ec;
        std::filesystem::remove_all(out, ec);
        std::filesystem::create_directories(out, ec);
        const testsupport::ScriptedRun run =
            testsupport::runScript(PH_PROGRAM, PH_SIZE_SCRIPT, out,
                                   {{"PH_SCREEN_WIDTH", std::to_string(GetParam().width)},
                                    {"PH_SCREEN_HEIGHT", std::to_string(GetParam().height)}});
        exitStatus = run.status;
        log = run.log;
        hashes = readManifest(run.manifest);
    }

    std::string out;
    int exitStatus = -1;
    std::string log;
    std::map<std::string, std::string> hashes;
};

TEST_P(EverySize, TheWalkGetsEverywhereAndEndsNormally)
{
    {
        SCOPED_TRACE("the run");
        // Status 5 would be a message box, 4 an unexpected error, 2 a refused script.
        EXPECT_EQ(exitStatus, 0) << log;
        EXPECT_EQ(log.find("not found:"), std::string::npos) << log;
        EXPECT_EQ(log.find("Error!"), std::string::npos) << log;
        EXPECT_EQ(log.find("exception"), std::string::npos) << log;
        // The exit entry ended the program before the script's last pass, which dumps a screen.
        EXPECT_EQ(hashes.count("after-exit.png"), 0u) << log;
    }
    for (const std::string& screen : kScreens) {
        SCOPED_TRACE(screen);
        ASSERT_EQ(hashes.count(screen + ".png"), 1u) << log;
        const ScreenSize size = pngSize(out + "/" + screen + ".png");
        EXPECT_EQ(size.width, GetParam().width);
        EXPECT_EQ(size.height, GetParam().height);
    }
    // The walk really reached the pages it meant to: each draws something that no other screen
    // of the walk has in that place.
    for (const char* game : {"tesk", "mirf", "corv"}) {
        SCOPED_TRACE(game);
        const int w = GetParam().width, h = GetParam().height;
        // The help page's scroll bar: its track (light grey) and thumb (white, outlined black)
        // fill the column 5 pixels in from the right edge over the middle of the page.
        const Picture help = readPicture(out + "/" + game + "-help.png");
        ASSERT_EQ(help.width, w);
        EXPECT_EQ(strayPixels(help, w - 5, h / 3, 2 * h / 3, {0xCCCCCC, 0xFFFFFF, 0x000000}), 0);
        // The key dialog's grid: its top edge in the grid colour, 10 pixels from the top.
        const Picture keys = readPicture(out + "/" + game + "-keys.png");
        ASSERT_EQ(keys.width, w);
        EXPECT_EQ(strayPixels(keys, w / 2, 10, 11, {0x96A3C8}), 0);
        EXPECT_TRUE(near(keys.at(10, 12), 0x96A3C8));
    }
    for (const char* question : {"language", "sound"}) {
        // The start-up questions: the highlighted row (the first language; "no", the last of
        // the sound box's three rows) lies wholly on the screen, at the box's left edge.
        SCOPED_TRACE(question);
        const int w = GetParam().width, h = GetParam().height;
        const Picture p = readPicture(out + "/" + question + ".png");
        ASSERT_EQ(p.width, w);
        const int x = (w - 2 * (w / 3)) / 2 + 3;
        int first = -1, last = -1;
        for (int y = 0; y < h; ++y)
            if (near(p.at(x, y), 0x7381A9)) {
                first = first < 0 ? y : first;
                last = y;
            }
        EXPECT_GT(first, 0);
        EXPECT_LT(last, h - 1);
        EXPECT_GE(last - first + 1, 8) << "a row of the menu font";
    }
    {
        // The gallery with nothing unlocked: violet inside a light grey outline.
        SCOPED_TRACE("gallery");
        const Picture gallery = readPicture(out + "/gallery.png");
        ASSERT_EQ(gallery.width, GetParam().width);
        EXPECT_TRUE(near(gallery.at(GetParam().width / 2, GetParam().height / 4), 0x330066));
        EXPECT_TRUE(near(gallery.at(1, GetParam().height / 2), 0xCCCCCC));
    }
    for (const auto& [a, b] : kDifferent) {
        SCOPED_TRACE(a + " / " + b);
        EXPECT_NE(hashes[a + ".png"], hashes[b + ".png"]);
    }
}

// Test names and failure messages name the size ("240x320").
void PrintTo(const ScreenSize& size, std::ostream* os)
{
    *os << name(size);
}

std::string sizeName(const ::testing::TestParamInfo<ScreenSize>& param)
{
    return "s" + name(param.param);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EverySize,
                         ::testing::Values(ScreenSize{240, 320}, ScreenSize{320, 240},
                                           ScreenSize{240, 240}, ScreenSize{176, 208},
                                           ScreenSize{176, 220}, ScreenSize{480, 640},
                                           ScreenSize{640, 480}),
                         sizeName);

} // namespace
