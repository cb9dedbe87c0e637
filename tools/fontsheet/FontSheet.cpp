// fontsheet: draws every bitmap font of a game.dat the way the game draws it, on a dark and on
// a light ground, into a PNG, so that glyphs, outlines, spacing and wrapping can be looked at.
//
//   fontsheet <folder holding game.dat> <out.png>
#include "ToolSession.h"

#include "gamelib/GameLib.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "io/D7zipInputStream.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DImage.h"
#include "platform/DeviceProfile.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace gamelib;
using qev::lang::DStringArrayPtr;
using qev::lang::DStringPtr;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

constexpr int kColumn = 240; // one screen width per ground
constexpr int kSheetWidth = 2 * kColumn;
constexpr int kMargin = 4;

const char* const kFontNames[FONT_COUNT] = {"menu", "menusel", "hud0", "hud1",
                                            "num0", "num1",    "small"};

DStringPtr str(const std::string& text)
{
    return DStringPtr(new qev::lang::DString(std::u16string(text.begin(), text.end()).c_str()));
}

// What each font is for: menu texts of the current language, numbers, or every character.
std::vector<DStringPtr> samples(int font)
{
    std::vector<DStringPtr> out;
    switch (font) {
    case FONT_NUM0:
    case FONT_NUM1:
        out.push_back(str("0123456789"));
        out.push_back(str("000120  37"));
        break;
    case FONT_SMALL:
        out.push_back(str("!\"#$%&'()*+,-./0123456789:;<=>?@"));
        out.push_back(str("ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"));
        out.push_back(str("abcdefghijklmnopqrstuvwxyz{|}~"));
        out.push_back(getText(u"noimages") + u" - " + getText(u"entername"));
        break;
    default:
        out.push_back(getText(u"start") + u" " + getText(u"continue") + u" " + getText(u"gallery") +
                      u" " + getText(u"highscores") + u" " + getText(u"help") + u" " +
                      getText(u"soundfxnormal") + u" " + getText(u"exit"));
        out.push_back(str("ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 *.,:!?-"));
        out.push_back(getText(u"level") + u" 7 " + getText(u"score") + u" 12040");
        break;
    }
    return out;
}

// Height of the block that font i takes, its samples wrapped to one column.
int blockHeight(int i)
{
    const ImageFont& small = *(*imageFonts)[FONT_SMALL];
    const ImageFont& font = *(*imageFonts)[i];
    int h = small.getHeight() + 2;
    for (const DStringPtr& s : samples(i))
        h += font.wrapText(s, kColumn - 2 * kMargin)->length * (font.getHeight() + 1);
    return h + kMargin;
}

int run(const std::string& folder, const char* outPath)
{
    platform::DeviceProfile::current().programFile = folder + "/game.exe";
    qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
    screenWidth = 240;
    screenHeight = 320;
    try {
        loadTextFile(u"/txt/res_en", true);
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "fontsheet: no English texts (code 0x%x); keys shown instead\n",
                     static_cast<unsigned>(e->code));
        delete e;
    }
    loadImageFonts();
    int height = kMargin;
    for (int i = 0; i < FONT_COUNT; ++i)
        height += blockHeight(i);
    DImagePtr sheet = DImage::createImage(kSheetWidth, height);
    DGraphicsPtr g = sheet->getGraphics();
    g->setColor(0x1B2333);
    g->fillRect(0, 0, kColumn, height);
    g->setColor(0xE8E4DA);
    g->fillRect(kColumn, 0, kColumn, height);
    const ImageFont& small = *(*imageFonts)[FONT_SMALL];
    int y = kMargin;
    for (int i = 0; i < FONT_COUNT; ++i) {
        const ImageFont& font = *(*imageFonts)[i];
        std::fprintf(stderr, "fontsheet: %-8s %d page(s), %d pixels high\n", kFontNames[i],
                     font.pageCount, font.getHeight());
        for (int side = 0; side < 2; ++side) {
            const int x0 = side * kColumn + kMargin;
            int line = y;
            small.drawString(g, str(std::to_string(i) + " " + kFontNames[i]), x0, line, 0);
            line += small.getHeight() + 2;
            for (const DStringPtr& s : samples(i)) {
                DStringArrayPtr lines = font.wrapText(s, kColumn - 2 * kMargin);
                for (int32_t l = 0; l < lines->length; ++l) {
                    font.drawString(g, (*lines)[l], x0, line, 0);
                    line += font.getHeight() + 1;
                }
            }
        }
        y += blockHeight(i);
    }
    if (!toolsupport::writePng(sheet, outPath)) {
        std::fprintf(stderr, "fontsheet: cannot write %s\n", outPath);
        return 1;
    }
    std::fprintf(stderr, "fontsheet: wrote %s (%d x %d)\n", outPath, kSheetWidth, height);
    releaseImageFonts();
    textTable = nullptr;
    qev::io::D7zipInputStream::closeArchive();
    return 0;
}

} // namespace

// The system font library keeps caches for the life of the process; not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fontsheet <folder holding game.dat> <out.png>\n");
        return 2;
    }
    try {
        return run(argv[1], argv[2]);
    } catch (qev::lang::DExceptionBase* e) {
        std::fprintf(stderr, "fontsheet: exception 0x%x\n", static_cast<unsigned>(e->code));
        delete e;
        return 1;
    }
}
