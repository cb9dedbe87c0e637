// helplines: the lines of help pages as a game's menu breaks them on the 240x320 screen, from a
// game.dat, so that the data's tests check the help texts against the game's own rule.
//
//   helplines <folder holding game.dat> <out folder> <entry>...
//
// For each entry: a line "== <entry>", then each line of the page in UTF-8 (an empty line for
// an empty or picture line).
#include "ToolSession.h"

#include "gamelib/GameMenu.h"
#include "gamelib/ScreenCanvas.h"

#include "lang/DString.h"
#include "microedition/lcdui/DImage.h"

#include <cstdio>
#include <string>
#include <vector>

using gamelib::GameMenu;
using qev::lang::DString;
using qev::lang::DStringPtr;

namespace {

std::vector<std::string> entries;

std::string utf8(const DStringPtr& text)
{
    std::string out;
    for (int32_t i = 0; i < text->length(); ++i) {
        const char16_t c = text->charAt(i);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

int printPages(toolsupport::ToolSession& session)
{
    if (!session.openScreen(240, 320))
        return 1;
    for (const std::string& entry : entries) {
        // A game's menu as the games set it up: their menu shade halves the margin.
        qev::lang::DPtr<GameMenu> menu = new GameMenu();
        menu->setBackground(qev::microedition::lcdui::DImage::createImage(gamelib::screenWidth,
                                                                          gamelib::screenHeight),
                            GameMenu::kShadeMenu);
        menu->setHelpText(DStringPtr(std::u16string(entry.begin(), entry.end()).c_str()),
                          qev::lang::DObjectArrayPtr());
        std::printf("== %s\n", entry.c_str());
        for (int32_t i = 0; i < GameMenu::helpLineCount; ++i) {
            DStringPtr line = qev::lang::dcast<DString>((*GameMenu::helpLines)[i]);
            std::printf("%s\n", line ? utf8(line).c_str() : "");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    toolsupport::ToolSession session("helplines");
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: helplines <folder holding game.dat> <out folder> <entry>...\n");
        return 2;
    }
    entries.assign(argv + 3, argv + argc);
    if (!session.parseArguments(3, argv))
        return 2;
    return session.run(printPages);
}

// The system font library keeps caches for the life of the process; not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
