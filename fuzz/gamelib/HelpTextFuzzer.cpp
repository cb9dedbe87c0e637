// Any bytes as a game's help text (UTF records, one a line), read into a game menu's help page
// and shown page by page. Reading raises nothing; the page holds at most its 250 lines, each an
// empty line, a line of text without line feeds or one of the pictures passed (an odd-sized
// input passes three, as "%0" to "%2"). Every page paints, showing lines of the text only.
#include "ProgramFolder.h"

#include "gamelib/Animation.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameMenu.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"

#include "lang/DString.h"
#include "lang/DStringArray.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace qev::lang;

namespace {

const std::string kFontFolder = "/graphics/fonts/fz";
const char16_t* const kHelp = u"/txt/fz/en_help.txt";
constexpr int32_t kPictures = 3;

// One font page of capitals, digits and a few signs, each glyph five pixels wide.
std::string fontDescriptor()
{
    const std::string glyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,%";
    std::string out(1, static_cast<char>(glyphs.size()));
    for (char c : glyphs) {
        out += std::string("\0\1", 2);
        out += c;
        out += '\5';
    }
    return out;
}

DObjectArrayPtr prepareOnce()
{
    static DObjectArrayPtr pictures = [] {
        fuzzsupport::useScreen(240, 320);
        gamelib::graphicsSet = u"fz";
        fuzzsupport::writeFile(kFontFolder + "/font_0.png", fuzzsupport::png(39 * 5, 8, 0x202020));
        fuzzsupport::writeFile(kFontFolder + "/font_0", fontDescriptor());
        gamelib::imageFonts = new gamelib::ImageFontArray(gamelib::FONT_COUNT);
        for (int32_t i = 0; i < gamelib::FONT_COUNT; ++i) {
            (*gamelib::imageFonts)[i] = new gamelib::ImageFont();
            (*gamelib::imageFonts)[i]->load(DStringPtr(
                new DString(std::u16string(kFontFolder.begin(), kFontFolder.end()).c_str())));
        }
        fuzzsupport::writeFile("/graphics/fz/pics.png", fuzzsupport::png(20, 30, 0xFF8000));
        fuzzsupport::writeFile("/graphics/fz/pics.txt", "pic.png;0;0;20;30\r\n");
        gamelib::loadAtlas(u"/pics");
        DObjectArrayPtr out = new DObjectArray(kPictures);
        for (int32_t i = 0; i < kPictures; ++i) {
            DStringArrayPtr names = new DStringArray(1);
            (*names)[0] = DStringPtr(u"pic.png");
            (*out)[i] = new gamelib::Animation(names);
        }
        return out;
    }();
    return pictures;
}

bool isPicture(const DObjectPtr& entry, const DObjectArrayPtr& pictures)
{
    for (int32_t i = 0; pictures && i < pictures->length; ++i)
        if ((*pictures)[i] == entry)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const DObjectArrayPtr all = prepareOnce();
    const DObjectArrayPtr pictures = size % 2 ? all : DObjectArrayPtr();
    fuzzsupport::writeFile("/txt/fz/en_help.txt", data, size);

    gamelib::GameMenuPtr menu = new gamelib::GameMenu();
    try {
        menu->setHelpText(kHelp, pictures);
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
        std::abort();
    }
    using gamelib::GameMenu;
    const int32_t n = GameMenu::helpLineCount;
    if (n < 0 || n > GameMenu::kMaxHelpLines || !GameMenu::helpLines ||
        GameMenu::helpLines->length != GameMenu::kMaxHelpLines || GameMenu::helpLineChars < 1)
        std::abort();
    for (int32_t i = 0; i < n; ++i) {
        DObjectPtr entry = (*GameMenu::helpLines)[i];
        if (!entry || isPicture(entry, pictures))
            continue;
        auto* text = dynamic_cast<DString*>(entry.get());
        if (!text)
            std::abort();
        for (int32_t j = 0; j < text->length(); ++j)
            if (text->charAt(j) == u'\n')
                std::abort();
    }

    // Page by page as the page key moves on: the last line shown starts the next page.
    menu->state = GameMenu::STATE_TEXT;
    for (int32_t page = 0; page <= GameMenu::kMaxHelpLines; ++page) {
        menu->lastShown = -1;
        menu->paintHelp();
        if (n == 0 || menu->visible <= 0)
            break;
        if (menu->lastShown < menu->first || menu->lastShown >= n)
            std::abort();
        if (menu->first + menu->visible >= n || menu->lastShown == menu->first)
            break;
        menu->first = std::min(menu->lastShown, n - menu->visible);
    }
    GameMenu::releaseHelp();
    return 0;
}
