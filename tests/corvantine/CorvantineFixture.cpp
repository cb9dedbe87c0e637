#include "CorvantineFixture.h"

#include "GamelibTestSupport.h"

#include "gamelib/GameStatics.h"

#include <vector>

namespace corvtest {

using namespace corvantine;

namespace {

struct Piece
{
    std::string name;
    int w;
    int h;
    uint32_t colour;
};

constexpr int kCell = 24;
constexpr int kPerRow = 10;

std::vector<Piece> pieces()
{
    std::vector<Piece> list = {{"ship.png", kShipW, kShipH, kShipColour},
                               {"bullet.png", kBulletW, kBulletH, 0xFFFFFF},
                               {"life.png", kLifeW, kLifeH, kLifeColour},
                               {"level.png", kLevelW, kLevelH, kLevelColour}};
    for (int i = 1; i <= 4; ++i)
        list.push_back({"planet_" + std::to_string(i) + ".png", 16, 16, 0x604020});
    for (int k = 1; k <= 8; ++k)
        for (int n = 1; n <= 5; ++n)
            list.push_back({"fly" + std::to_string(k) + "_" + std::to_string(n) + ".png", 16, 16,
                            kAlienColour + (k - 1) * 0x10});
    for (int i = 1; i <= 2; ++i)
        list.push_back({"flame" + std::to_string(i) + ".png", 7, kFlameH, 0xFF4000});
    for (int i = 1; i <= kShipBoomFrames; ++i)
        list.push_back({"boom" + std::to_string(i) + ".png", 24, 24, 0xFF8000});
    for (int i = 1; i <= 2; ++i)
        list.push_back({"shot" + std::to_string(i) + ".png", 3, 8, 0xFFFFC0});
    for (int i = 1; i <= 5; ++i)
        list.push_back({"pop" + std::to_string(i) + ".png", 20, 20, 0xFFC000});
    return list;
}

std::string atlasList()
{
    std::string out;
    const std::vector<Piece> list = pieces();
    for (size_t i = 0; i < list.size(); ++i) {
        const int x = static_cast<int>(i % kPerRow) * kCell;
        const int y = static_cast<int>(i / kPerRow) * kCell;
        out += list[i].name + ";" + std::to_string(x) + ";" + std::to_string(y) + ";" +
               std::to_string(list[i].w) + ";" + std::to_string(list[i].h) + "\r\n";
    }
    return out;
}

std::string atlasSheet()
{
    const std::vector<Piece> list = pieces();
    const int rows = static_cast<int>((list.size() + kPerRow - 1) / kPerRow);
    return gamelibtest::pngOf(kPerRow * kCell, rows * kCell, [list](int x, int y) -> uint32_t {
        const size_t i = static_cast<size_t>(y / kCell * kPerRow + x / kCell);
        if (i >= list.size() || x % kCell >= list[i].w || y % kCell >= list[i].h)
            return 0xFF00FF;
        return list[i].colour;
    });
}

std::string animList()
{
    return "mainship=flame1.png;flame2.png\r\n"
           "explosion_ship=boom1.png;boom2.png;boom3.png;boom4.png;boom5.png;boom6.png;"
           "boom7.png\r\n"
           "bullet=shot1.png;shot2.png\r\n"
           "explosion_enemy=pop1.png;pop2.png;pop3.png;pop4.png;pop5.png\r\n";
}

// Picture i of the gallery list is one colour, kRewardColour + i.
void addPictures(std::map<std::string, std::string>& entries)
{
    std::string list;
    for (int i = 0; i < 24; ++i) {
        list += std::to_string(i % 10) + "   p" + std::to_string(i) + "\r\n";
        entries["graphics/common/img/p" + std::to_string(i) + ".jpg"] =
            shelltest::png(240, 320, kRewardColour + static_cast<uint32_t>(i));
    }
    entries["graphics/common/img/all.txt"] = list;
}

} // namespace

CorvantineTest::~CorvantineTest()
{
    if (gamelib::currentScreen)
        gamelib::currentScreen->stop();
    gamelib::currentScreen = nullptr;
    resetGlobals();
}

void CorvantineTest::startGameAt(int width, int height,
                                 const std::map<std::string, std::string>& extra)
{
    std::map<std::string, std::string> entries = {
        {"graphics/common/corv/all.txt", atlasList()},
        {"graphics/common/corv/all.png", atlasSheet()},
        {"graphics/common/corv/splash.jpg", shelltest::png(240, 200, 0x203040)},
        {"graphics/common/corv/gameover.jpg", shelltest::png(240, 320, kGameOverColour)},
        {"corv/anim.txt", animList()}};
    addPictures(entries);
    entries[std::to_string(width) + "x" + std::to_string(height)] = "graphics=big\r\n";
    for (const auto& [name, bytes] : extra)
        entries[name] = bytes;
    // As startToMainMenu, on this screen.
    shellArchive(entries);
    startDisplay(width, height);
    lib->startApp();
    step();
    press('5');
    press('5');
    steps(60);
    gamelib::currentScreen = makeCorvantine();
    gamelib::currentScreen->start();
}

void CorvantineTest::newGame()
{
    menuPress(key(4));
}

void CorvantineTest::toPlay()
{
    while (gameState == STATE_INTRO)
        step();
}

int32_t CorvantineTest::key(int32_t action)
{
    return (*gamelib::screenCanvas->getKeys(action, 1))[0];
}

Corvantine* CorvantineTest::game() const
{
    return current<Corvantine>();
}

AlienShip& CorvantineTest::ship(int row, int column)
{
    return *(*(*formation)[row])[column];
}

void CorvantineTest::leaveOnly(int row, int column)
{
    for (int r = 0; r < kRows; ++r) {
        AlienShipArrayPtr ships = (*formation)[r];
        for (int c = 0; c < ships->length; ++c) {
            if (r == row && c == column)
                continue;
            (*ships)[c]->state = AlienShip::DESTROYED;
        }
        (*gamelib::rowShipsLeft)[r] = r == row ? 1 : 0;
    }
    liveShips = 1;
}

} // namespace corvtest
