#include "MirrowfenFixture.h"

#include "GamelibTestSupport.h"

#include "gallery/Gallery.h"
#include "gamelib/GameStatics.h"

#include <algorithm>
#include <vector>

namespace mirrowfentest {

namespace {

struct Piece
{
    std::string name;
    int w;
    int h;
    uint32_t colour;
};

std::vector<Piece> pieces(bool withShip, const Ufo3Size& ufo3)
{
    std::vector<Piece> list;
    auto add = [&](const std::string& n, int w, int h, uint32_t c) {
        list.push_back({n, w, h, c});
    };
    for (int s = 1; s <= 4; ++s) {
        if (withShip)
            add("spaceship" + std::to_string(s), kShipSize, kShipSize, kShipColour);
        add("bb" + std::to_string(s), 4, 4, kShotColour);
    }
    for (int f = 0; f < 15; ++f) {
        add("ufo1" + std::to_string(f), 16, 9, kUfoColour);
        add("ufo2" + std::to_string(f), 20, 11, kUfoColour);
        add("a12" + std::to_string(f), kLargeRock, kLargeRock, kRockColour);
        add("a21" + std::to_string(f), kMediumRock, kMediumRock, kRockColour);
        add("a33" + std::to_string(f), kSmallRock, kSmallRock, kRockColour);
    }
    for (int f = 0; f < 4; ++f) {
        add("a11" + std::to_string(f), kLargeRock, kLargeRock, kRockColour);
        add("a22" + std::to_string(f), kMediumRock, kMediumRock, kRockColour);
        add("a31" + std::to_string(f), kSmallRock, kSmallRock, kRockColour);
        add("a32" + std::to_string(f), kSmallRock, kSmallRock, kRockColour);
        add("rocket" + std::to_string(f), 5, 11, kShotColour);
    }
    add("ufo3", ufo3.w, ufo3.h, kUfoColour);
    add("ufo3_blink0", ufo3.w, ufo3.h, kUfoColour);
    add("ufo3_blink1", ufo3.w, ufo3.h, kUfoColour);
    for (int d = 1; d <= 3; ++d)
        add("ufo3_damaged" + std::to_string(d), ufo3.markW, ufo3.markH, kEffectColour);
    for (int s = 1; s <= 3; ++s)
        for (int f = 1; f <= 7; ++f)
            add("wave" + std::to_string(s) + "_" + std::to_string(f), 8, 8, kEffectColour);
    for (int i = 0; i < 5; ++i)
        add("bp" + std::to_string(i), 3, 3, kEffectColour);
    for (int i = 1; i <= 13; ++i)
        add("p" + std::to_string(i), 3, 3, kEffectColour);
    add("lifePanel", 44, 14, kPanelColour);
    add("scorePanel", 64, 14, kPanelColour);
    return list;
}

} // namespace

std::map<std::string, std::string> atlasEntries(bool withShip, Ufo3Size ufo3)
{
    // One cell per piece, ten cells a row.
    const int kCellW = std::max(64, ufo3.w);
    const int kCellH = std::max(32, ufo3.h);
    const std::vector<Piece> list = pieces(withShip, ufo3);
    const int rows = static_cast<int>(list.size() + 9) / 10;
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) {
        const int x = static_cast<int>(i % 10) * kCellW;
        const int y = static_cast<int>(i / 10) * kCellH;
        text += list[i].name + ";" + std::to_string(x) + ";" + std::to_string(y) + ";" +
                std::to_string(list[i].w) + ";" + std::to_string(list[i].h) + "\r\n";
    }
    const std::string sheet = gamelibtest::pngOf(10 * kCellW, rows * kCellH, [&](int x, int y) {
        const size_t i = static_cast<size_t>(y / kCellH * 10 + x / kCellW);
        if (i >= list.size() || x % kCellW >= list[i].w || y % kCellH >= list[i].h)
            return 0xFF00FFu;
        return list[i].colour;
    });
    return {{"graphics/common/mirf/all.txt", text}, {"graphics/common/mirf/all.png", sheet}};
}

MirrowfenTest::~MirrowfenTest()
{
    m_game = nullptr;
    mirrowfen::resetGlobals();
    gallery::Gallery::forgetMask();
}

std::map<std::string, std::string>
MirrowfenTest::gameArchive(const std::map<std::string, std::string>& extra)
{
    std::map<std::string, std::string> entries = atlasEntries();
    entries["graphics/common/mirf/splash.jpg"] = shelltest::png(240, 320, 0x202040);
    entries["txt/res_en.txt"] = utf({"start=START",
                                     "continue=CONTINUE",
                                     "gallery=GALLERY",
                                     "highscores=HIGHSCORES",
                                     "help=HELP",
                                     "exit=EXIT",
                                     "boundson=BOUNCE",
                                     "boundsoff=WRAP",
                                     "cfg_keys=KEYS",
                                     "youwin=CLEARED",
                                     "gameover=GAME OVER",
                                     "level=LEVEL",
                                     "pak=PRESS A KEY",
                                     "Lives=3",
                                     "dx1k=4",
                                     "dy1k=-2",
                                     "dx2k=3",
                                     "dy2k=-3",
                                     "dx3k=2",
                                     "dy3k=-4",
                                     "dx4k=0",
                                     "dy4k=-4"});
    for (const auto& [name, bytes] : extra)
        entries[name] = bytes;
    return entries;
}

void MirrowfenTest::startGame(const std::map<std::string, std::string>& extra)
{
    startToMainMenu(gameArchive(extra));
    launch();
}

void MirrowfenTest::startGameAt(int width, int height,
                                const std::map<std::string, std::string>& extra)
{
    std::map<std::string, std::string> entries = gameArchive(extra);
    entries[std::to_string(width) + "x" + std::to_string(height)] = "graphics=big\r\n";
    shellArchive(entries);
    startDisplay(width, height);
    lib->startApp();
    // The language and sound questions, then the main menu's opening.
    step();
    press('5');
    press('5');
    steps(60);
    launch();
}

void MirrowfenTest::launch()
{
    shelltest::putGame(1, mirrowfen::gameEntry);
    gamelib::currentScreen->stop();
    gamelib::GameInterfacePtr made = mirrowfen::makeMirrowfen();
    m_game = dynamic_cast<mirrowfen::Mirrowfen*>(made.get());
    ASSERT_TRUE(m_game);
    gamelib::currentScreen = made;
    m_game->start();
    steps(10);
}

void MirrowfenTest::choose(int index)
{
    steps(10);
    while (m_game->menu->selected != index) {
        press('8');
        steps(8);
    }
    press('5');
}

void MirrowfenTest::newGame()
{
    choose(0);
}

void MirrowfenTest::play()
{
    newGame();
    for (int i = 0; i < 40 && mirrowfen::gameState != mirrowfen::STATE_PLAYING; ++i)
        step();
}

void MirrowfenTest::clearField(int rockSlots, int ufoSlots)
{
    m_game->rocks = new mirrowfen::FlyingOArray(rockSlots);
    m_game->ufos = new mirrowfen::FlyingOArray(ufoSlots);
    m_game->rockets = new mirrowfen::FlyingOArray(1);
}

mirrowfen::FlyingOPtr MirrowfenTest::addRock(int slot, int x, int y, int dx, int dy, int sizeClass,
                                             int variant)
{
    mirrowfen::FlyingOPtr rock =
        new mirrowfen::FlyingO(x, y, dx, dy, 1, sizeClass, variant, qev::lang::DStringPtr(), 0);
    (*m_game->rocks)[slot] = rock;
    return rock;
}

mirrowfen::FlyingOPtr MirrowfenTest::addUfo(int slot, int x, int y, int dx, int dy, int kind)
{
    mirrowfen::FlyingOPtr ufo =
        new mirrowfen::FlyingO(x, y, dx, dy, 1, 150, 150, qev::lang::DStringPtr(u"ufo") + kind, 0);
    (*m_game->ufos)[slot] = ufo;
    return ufo;
}

void MirrowfenTest::parkShip(int x, int y)
{
    ship().x = x;
    ship().y = y;
    ship().vx = ship().vy = 0;
    ship().step = 4;
    ship().quadrant = u"";
    ship().pendingTurns = 0;
    ship().invulnerable = 0;
}

int MirrowfenTest::liveRocks() const
{
    int n = 0;
    for (int i = 0; i < m_game->rocks->length; ++i)
        n += (*m_game->rocks)[i] ? 1 : 0;
    return n;
}

} // namespace mirrowfentest
