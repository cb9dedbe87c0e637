// Any bytes as a brick-breaker level file, loaded into the grid of a 240 x 320 screen. Loading
// raises nothing; every cell holds what its byte says (21 lines of bytes up to a CR, the byte
// after it dropped; short, empty and missing lines give empty cells), the hit points needed to
// clear are those of the bricks that count, and only those carry a bonus (1 to 12).
#include "ProgramFolder.h"

#include "tessarine/Brick.h"
#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "util/DRandom.h"

#include <cstdlib>
#include <string>
#include <vector>

using namespace qev::lang;

namespace {

using tessarine::kColumns;
using tessarine::kRows;

// The grid's pieces, as the game's atlas names them.
void writeAtlas()
{
    struct Piece
    {
        const char* name;
        int w;
        int h;
    };
    const Piece pieces[] = {
        {"b_flash.png", 19, 9}, {"b1_0.png", 19, 9}, {"b1_1.png", 19, 9}, {"b2_0.png", 19, 9},
        {"b2_1.png", 19, 9},    {"b2_2.png", 19, 9}, {"b3_0.png", 19, 9}, {"b4.png", 19, 9},
        {"b5.png", 19, 9},      {"b6.png", 19, 9},   {"b7.png", 19, 9},   {"b8_0.png", 19, 9},
        {"b9_0.png", 19, 9},    {"b9_p0.png", 9, 4}, {"b9_p1.png", 9, 4}, {"b9_p2.png", 9, 4},
        {"b9_p3.png", 9, 4},    {"t1_L.png", 8, 16}, {"t2_L.png", 8, 16}, {"t3_L.png", 8, 16},
        {"t4_L.png", 8, 12},
    };
    std::string list;
    int x = 0;
    for (const Piece& p : pieces) {
        list += std::string(p.name) + ";" + std::to_string(x) + ";0;" + std::to_string(p.w) + ";" +
                std::to_string(p.h) + "\r\n";
        x += p.w;
    }
    fuzzsupport::writeFile("/graphics/fz/tesk/all.png", fuzzsupport::png(x, 16, 0x8040C0));
    fuzzsupport::writeFile("/graphics/fz/tesk/all.txt", list);
    // The bricks' own animations, which the brick list cannot do without.
    fuzzsupport::writeFile("/tesk/anim.txt", "b3dis=b3_0.png\r\nb3app=b3_0.png\r\n"
                                             "iskra=b_flash.png\r\ndetonation=b9_0.png\r\n");
}

// The level's background picture does not depend on the file, and shading it took nearly all
// of the time: it is left out.
class PlainBrickList : public tessarine::BrickList
{
  public:
    using tessarine::BrickList::BrickList;
    void buildBackground() override {}
};

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // The game-wide tables the level reader looks cells up in.
    gamelib::GameStatics::init();
    fuzzsupport::useScreen(240, 320);
    gamelib::graphicsSet = u"fz";
    gamelib::sharedRandom = new qev::util::DRandom(1);
    writeAtlas();
    gamelib::loadAtlas(u"/tesk/all");
    gamelib::loadTexts(gamelib::GameLib::getResourceAsStream(u"/tesk/anim.txt"), false);
    tessarine::paddle = new tessarine::Platform();
    tessarine::brickList = new PlainBrickList(3);
}

// The 21 lines as the file format gives them: bytes up to a CR, the next byte dropped; the end
// of the file ends a line, and every line after the end is empty.
std::vector<std::string> linesOf(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (lines.size() < kRows) {
        std::string line;
        while (i < size && data[i] != 13)
            line.push_back(static_cast<char>(data[i++]));
        if (i < size)
            i += 2; // the CR and the byte after it
        lines.push_back(line);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    prepareOnce();
    // Levels 1 to 50 name their own file and picture.
    const int32_t level = 1 + static_cast<int32_t>(size % 50);
    const std::string name = std::string("/data/tesk/data/round") + (level < 10 ? "0" : "") +
                             std::to_string(level) + ".txt";
    fuzzsupport::writeFile(name, data, size);
    tessarine::BrickList& list = *tessarine::brickList;
    try {
        list.loadLevel(level);
    } catch (DExceptionBase* e) {
        fuzzsupport::expectOnly(e, {});
        std::abort();
    }
    const std::vector<std::string> lines = linesOf(data, size);
    int32_t toClear = 0;
    for (int32_t r = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            const std::string& line = lines[static_cast<size_t>(r)];
            // Each cell holds the kind of its byte; a short line leaves the rest empty.
            int32_t type = 0;
            int32_t hits = 0;
            if (c < static_cast<int32_t>(line.size()))
                tessarine::BrickList::cellOf(static_cast<uint8_t>(line[static_cast<size_t>(c)]),
                                             type, hits);
            const tessarine::Brick* b = list.brickAt(r, c);
            if (!b || b->type != type || b->hits != hits)
                std::abort();
            const bool counts = tessarine::Brick::counts(type);
            if (counts)
                toClear += hits;
            if (b->bonus < 0 || b->bonus > 12 || (!counts && b->bonus != 0))
                std::abort();
        }
    }
    if (list.remaining != toClear || list.standingHitPoints() != toClear)
        std::abort();
    list.animateBricks();
    return 0;
}
