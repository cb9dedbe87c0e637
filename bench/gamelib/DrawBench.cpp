// Drawing of the game library: a 30-character line in a bitmap font, and one 32 x 24 atlas
// piece blitted with each transform, on a 240 x 320 screen. The font and the atlas are written
// as plain files into a temporary program folder.
#include "gamelib/GameLib.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include "platform/DeviceProfile.h"

#include <benchmark/benchmark.h>

#include "PngBytes.h"
#include "TempFolder.h"

#include <string>

using namespace gamelib;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DImage;

namespace {

constexpr int kAdvance = 7;
constexpr int kGlyphHeight = 12;
const std::string kGlyphs = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A PNG with a pattern of magenta (transparent) and coloured pixels.
std::string png(int w, int h)
{
    return testsupport::pngOf(w, h, [w](int x, int y) {
        const int i = y * w + x;
        if ((i * 7) % 5 == 0)
            return 0xFF00FFu;
        return static_cast<uint32_t>(i & 0xFF) << 16 | static_cast<uint32_t>((i * 3) & 0xFF) << 8 |
               40u;
    });
}

std::string fontDescriptor()
{
    std::string d(1, static_cast<char>(kGlyphs.size()));
    for (char c : kGlyphs) {
        d += std::string{'\0', '\1', c};
        d += static_cast<char>(kAdvance);
    }
    return d;
}

// Made by every benchmark run for itself, so that the runs hold in any order: another
// benchmark may have changed the program folder, the screen or the atlas in between.
struct Fixture
{
    Fixture()
    {
        write("graphics/fonts/bench/font_0", fontDescriptor());
        write("graphics/fonts/bench/font_0.png",
              png(static_cast<int>(kGlyphs.size()) * kAdvance, kGlyphHeight));
        write("graphics/common/bench/sheet.txt", "ship.png;40;16;32;24\r\n");
        write("graphics/common/bench/sheet.png", png(128, 96));
        platform::DeviceProfile::current().programFile = folder.path() + "/game.exe";
        font = new ImageFont;
        font->load(u"/graphics/fonts/bench");
        loadAtlas(u"/bench/sheet");
        screen = DImage::createImage(240, 320);
        screenGraphics = screen->getGraphics();
    }
    ~Fixture()
    {
        screenGraphics = nullptr;
        releaseAtlas();
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        folder.write(name, bytes);
    }

    testsupport::TempFolder folder;
    ImageFontPtr font;
    qev::microedition::lcdui::DImagePtr screen;
};

void BM_DrawString30(benchmark::State& state)
{
    Fixture f;
    if (f.font->pageCount != 1) {
        state.SkipWithError("the bench font did not load");
        return;
    }
    const DStringPtr line(u"Score 000120 level 07 lives 03"); // 30 characters, upper-cased
    for (auto _ : state) {
        f.font->drawStringOnScreen(line, 120, 100, DGraphics::TOP | DGraphics::HCENTER);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * line->length());
}
BENCHMARK(BM_DrawString30);

// Argument: the piece's name suffix (0 none, 2 mirror, 3 half turn, 5 quarter, 6 three-quarter).
void BM_AtlasPiece(benchmark::State& state)
{
    Fixture f;
    const char16_t* names[] = {u"ship.png", u"ship.png_mr", u"ship.png_lv", u"ship.png_dn",
                               u"ship.png_up"};
    const int transforms[] = {0, 2, 3, 5, 6};
    GameImagePtr piece;
    for (int i = 0; i < 5; ++i)
        if (transforms[i] == state.range(0))
            piece = GameImage::fromAtlas(names[i]);
    if (!piece) {
        state.SkipWithError("the bench atlas did not load");
        return;
    }
    for (auto _ : state) {
        piece->draw(100, 150);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AtlasPiece)->Arg(0)->Arg(2)->Arg(3)->Arg(5)->Arg(6);

} // namespace

BENCHMARK_MAIN();
