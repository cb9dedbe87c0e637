#include "TessarineFixture.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/FakeClock.h"

#include <vector>

namespace tessatest {

using namespace tessarine;

namespace {

struct Piece
{
    std::string name;
    int w;
    int h;
    uint32_t colour;
};

// Every piece the game names, and the animation frames of the list below.
std::vector<Piece> pieces()
{
    std::vector<Piece> out = {
        {"b_flash.png", 19, 9, kFlash},
        {"b1_0.png", 19, 9, 0xC03090},
        {"b1_1.png", 19, 9, 0xA02070},
        {"b2_0.png", 19, 9, 0x9050D0},
        {"b2_1.png", 19, 9, 0x7040B0},
        {"b2_2.png", 19, 9, 0x503090},
        {"b3_0.png", 19, 9, 0xD0A020},
        {"b4.png", 19, 9, 0x2080E0},
        {"b5.png", 19, 9, 0x808890},
        {"b6.png", 19, 9, kPlain6},
        {"b7.png", 19, 9, 0x30D020},
        {"b8_0.png", 19, 9, 0xE040C0},
        {"b9_0.png", 19, 9, 0xE0E0F0},
        {"b9_p0.png", 9, 4, 0x101010},
        {"b9_p1.png", 9, 4, 0x202020},
        {"b9_p2.png", 9, 4, 0x303030},
        {"b9_p3.png", 9, 4, 0x404040},
        {"t1_L.png", 8, 16, kWallColour},
        {"t2_L.png", 8, 16, kWallColour},
        {"t3_L.png", 8, 16, kWallColour},
        {"t4_L.png", 8, 12, kWallColour},
        {"lifeIcon.png", 12, 8, 0xE02020},
        {"ballSmall.png", 5, 5, kBallColour},
        {"ball1.png", 7, 7, kBallColour},
        {"ballBig.png", 11, 11, kBallColour},
        {"bullet.png", 3, 6, 0xF0F0A0},
        {"bomba-monstr_0.png", 5, 7, 0x602000},
        {"fire_s.png", 5, 5, 0xF08000},
        {"fire_n.png", 7, 7, 0xF08000},
        {"fire_b.png", 11, 11, 0xF08000},
        {"monst.png", 11, 11, 0x80F080},
        {"bon.png", 16, 8, 0xF0C0C0},
        {"pad_n.png", 30, 6, kPaddleColour},
        {"pad_s.png", 20, 6, kPaddleColour},
        {"pad_b.png", 44, 6, kPaddleColour},
        {"pad_ns.png", 25, 6, kPaddleColour},
        {"pad_nb.png", 37, 6, kPaddleColour},
        {"armed.png", 30, 4, 0x505050},
        {"guns.png", 34, 6, 0x606060},
        {"eng.png", 30, 4, 0x707070},
        {"eng_t.png", 30, 4, 0x907070},
        {"flame.png", 10, 4, 0xF06000},
        {"gilz.png", 12, 6, 0xF0F060},
        {"clue.png", 30, 8, 0x60F0F0},
        {"exit.png", 24, 8, 0x404080},
        {"b3dis.png", 19, 9, 0xB08010},
        {"iskra.png", 7, 7, 0xFFFFE0},
        {"det.png", 31, 31, 0xF0A000},
    };
    return out;
}

const int kSheetWidth = 256;

struct Layout
{
    std::string list;
    std::vector<std::tuple<int, int, int, int, uint32_t>> rects;
    int height = 0;
};

Layout layout()
{
    Layout l;
    int x = 0, y = 0, rowH = 0;
    for (const Piece& p : pieces()) {
        if (x + p.w > kSheetWidth) {
            x = 0;
            y += rowH;
            rowH = 0;
        }
        l.list += p.name + ";" + std::to_string(x) + ";" + std::to_string(y) + ";" +
                  std::to_string(p.w) + ";" + std::to_string(p.h) + "\r\n";
        l.rects.emplace_back(x, y, p.w, p.h, p.colour);
        x += p.w;
        rowH = std::max(rowH, p.h);
    }
    l.height = y + rowH;
    return l;
}

std::string animList()
{
    std::string out;
    auto add = [&out](const std::string& key, const std::string& frames) {
        out += key + "=" + frames + "\r\n";
    };
    add("ballFireSmall", "fire_s.png;fire_s.png");
    add("ballFire", "fire_n.png;fire_n.png");
    add("ballFireBig", "fire_b.png;fire_b.png");
    for (int i = 0; i < 3; ++i)
        add("monst" + std::to_string(i), "monst.png;monst.png");
    for (int i = 1; i <= 12; ++i)
        add("tesk_bon" + std::to_string(i), "bon.png;bon.png");
    add("small", "pad_n.png;pad_ns.png;pad_s.png");
    add("desmall", "pad_s.png;pad_ns.png;pad_n.png");
    add("bigger", "pad_n.png;pad_nb.png;pad_b.png");
    add("debigger", "pad_b.png;pad_nb.png;pad_n.png");
    add("armed", "armed.png;armed.png;armed.png");
    add("dearmed", "guns.png;armed.png");
    add("turbo", "eng.png;eng_t.png");
    add("deturbo", "eng_t.png;eng.png");
    add("flames", "flame.png;flame.png");
    add("flames2", "flame.png_mr;flame.png_mr");
    add("gilzLeft1", "gilz.png;gilz.png");
    add("gilzRight1", "gilz.png_mr;gilz.png_mr");
    add("Clue", "clue.png;clue.png;clue.png;clue.png");
    add("exit", "exit.png;exit.png;exit.png");
    add("b3dis", "b3dis.png;b3dis.png;b3dis.png");
    add("b3app", "b3dis.png;b3dis.png;b3dis.png");
    add("iskra", "iskra.png;iskra.png");
    add("detonation", "det.png;det.png;det.png");
    return out;
}

} // namespace

std::string levelFile(const std::vector<std::string>& rows)
{
    std::string out;
    for (int r = 0; r < 21; ++r)
        out += (r < static_cast<int>(rows.size()) ? rows[r] : std::string("...........")) + "\r\n";
    return out;
}

TessarineTest::TessarineTest() = default;

TessarineTest::~TessarineTest()
{
    if (m_game)
        m_game->stop();
    m_game = nullptr;
    gamelib::currentScreen = nullptr;
    tessarine::releaseModule();
}

void TessarineTest::startGame(const std::map<int, std::string>& levels,
                              const std::map<std::string, std::string>& extra)
{
    const Layout l = layout();
    std::map<std::string, std::string> entries = {
        {"graphics/common/tesk/all.txt", l.list},
        {"graphics/common/tesk/all.png",
         gamelibtest::pngOf(kSheetWidth, l.height,
                            [&l](int x, int y) -> uint32_t {
                                for (const auto& [rx, ry, rw, rh, c] : l.rects)
                                    if (x >= rx && x < rx + rw && y >= ry && y < ry + rh)
                                        return c;
                                return 0xFF00FF;
                            })},
        {"tesk/anim.txt", animList()},
        {"graphics/common/tesk/splash.jpg", shelltest::png(120, 80, 0x402060)},
        {"graphics/pause.png", shelltest::png(20, 16, 0x202080)},
        {"graphics/arrowUp.png", shelltest::png(8, 8, 0x808000)},
        {"graphics/arrowDown.png", shelltest::png(8, 8, 0x808000)},
        {"graphics/common/tesk/gameover.jpg", shelltest::png(240, 100, 0x600000)},
        {"txt/res_en.txt",
         utf({"start=START", "continue=CONTINUE", "exit=EXIT", "level=LEVEL", "score=SCORE",
              "gameover=GAME OVER", "pak=PRESS A KEY", "quit=BACK", "next=NEXT", "noimages=NONE"})},
    };
    for (const auto& [n, text] : levels) {
        char name[64];
        std::snprintf(name, sizeof name, "data/tesk/data/round%02d.txt", n);
        entries[name] = text;
    }
    for (const auto& [name, bytes] : extra)
        entries[name] = bytes;
    startToMainMenu(entries);
    restartGame();
}

void TessarineTest::restartGame()
{
    if (m_game)
        m_game->stop();
    m_game = new Tessarine();
    gamelib::currentScreen = m_game;
    // The loading screen stays up for a while by the clock: let every read move it on.
    platform::FakeClock::autoAdvance(1000);
    m_game->start();
    platform::FakeClock::autoAdvance(0);
    step();
}

void TessarineTest::startPlaying()
{
    ASSERT_EQ(STATE_MENU, gameState);
    game().chooseMenuItem(Tessarine::ITEM_START);
    ASSERT_EQ(STATE_GET_READY, gameState);
    steps(61);
    ASSERT_EQ(STATE_PLAYING, gameState);
}

void TessarineTest::launch()
{
    gamelib::keyFire = 1;
    step();
    gamelib::keyFire = 0;
}

void TessarineTest::holdKey(uint8_t& flag, int n)
{
    for (int i = 0; i < n; ++i) {
        flag = 1;
        step();
    }
    flag = 0;
}

} // namespace tessatest
