// The brick-breaker on the real game data at every screen size the archive supports: the
// field is centred and fits, the HUD stays on the field above the bricks, the paddle with its
// engine and flames stays on the screen and keeps its flames and flashes at its ends, a
// monster is painted where its body is, and the pictures and menus cover the screen (176 x 220
// shows the shorter 176 x 208 graphics). Checked on the painted screen.
#ifdef PH_GAME_DATA_FOLDER

#include "RealTessarine.h"
#include "ShellFixture.h"

#include "tessarine/BrickList.h"
#include "tessarine/Enemy.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "microedition/lcdui/DImage.h"
#include "platform/testing/FakeClock.h"
#include "raster/ImageHolder.h"

#include <algorithm>
#include <climits>
#include <ostream>
#include <vector>

using namespace tessarine;
using qev::microedition::lcdui::DImagePtr;

namespace {

struct ScreenSize
{
    int w;
    int h;
};

std::ostream& operator<<(std::ostream& out, const ScreenSize& s)
{
    return out << s.w << "x" << s.h;
}

// A rectangle of screen pixels, right and bottom exclusive; empty when nothing was found.
struct Box
{
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    bool empty() const { return right < left; }
    void add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + 1);
        bottom = std::max(bottom, y + 1);
    }
};

uint16_t pixel(const DImagePtr& image, int x, int y)
{
    return image->getHolder()->surface->row(y)[x];
}

class ScreenSizeLayout : public shelltest::ShellTest,
                         public ::testing::WithParamInterface<ScreenSize>
{
  protected:
    ScreenSizeLayout() : W(GetParam().w), H(GetParam().h) {}

    // Level 1 in play with nothing moving: the ball held on the paddle, no monster, no spark.
    void playLevelOne()
    {
        m_game->level = 1;
        m_game->resetActors();
        brickList->loadLevel(1);
        m_game->setState(STATE_PLAYING);
    }

    // Where the screen shows something other than the walls and bricks behind it, within the
    // given rectangle of the screen.
    Box drawnOver(int left, int top, int right, int bottom) const
    {
        Box b;
        const DImagePtr& behind = brickList->bricksLayer;
        for (int y = std::max(0, top); y < std::min(H, bottom); ++y)
            for (int x = std::max(0, left); x < std::min(W, right); ++x)
                if (pixel(m_screen, x, y) != pixel(behind, x, y))
                    b.add(x, y);
        return b;
    }

    const int W;
    const int H;
    tessarinetest::RealTessarine m_real{W, H};
    const bool m_supported = m_real.supported;
    DImagePtr& m_screen = m_real.screen;
    TessarinePtr& m_game = m_real.game;
};

TEST_P(ScreenSizeLayout, TheFieldIsCentredBetweenWallsThatFitTheScreenWithRoomForThePaddle)
{
    ASSERT_TRUE(m_supported);
    BrickList& list = *brickList;
    const int wall = (*list.leftWall)[0]->w;
    const int leftSpace = gridLeft - wall;
    const int rightSpace = W - (gridLeft + list.gridWidth + wall);
    EXPECT_GE(leftSpace, 0);
    EXPECT_GE(rightSpace, 0);
    EXPECT_LE(std::abs(leftSpace - rightSpace), 1);
    // The bricks are drawn for the size: cells are not shrunk to fit.
    EXPECT_EQ((*list.brickImages)[0]->w + 1, list.cellWidth);
    EXPECT_EQ((*list.brickImages)[0]->h + 1, list.cellHeight);
    EXPECT_GE(list.gridTop, (*list.leftWall)[3]->h);
    // A ball can pass under the lowest row and above the paddle.
    const int ballRadius = (*m_game->balls)[0]->radius;
    EXPECT_LE(list.gridTop + list.gridHeight + 2 * ballRadius, paddle->y);
}

TEST_P(ScreenSizeLayout, TheHudStaysOnTheFieldAboveTheBricksAndOffTheWalls)
{
    ASSERT_TRUE(m_supported);
    playLevelOne();
    brickList->score = 8888;
    m_game->paint();
    BrickList& list = *brickList;
    const int fieldRight = gridLeft + list.gridWidth;
    // Every level leaves the two top rows empty for the HUD.
    const int firstBricks = list.gridTop + 2 * list.cellHeight;
    const int pauseW = gamelib::pauseImage->getWidth();
    const int pauseH = gamelib::pauseImage->getHeight();
    for (int y = 0; y < firstBricks; ++y)
        for (int x = 0; x < W; ++x) {
            if (pixel(m_screen, x, y) == pixel(list.bricksLayer, x, y))
                continue;
            const bool onPause = x >= W - pauseW && y < pauseH;
            const bool onField = x >= gridLeft && x < fieldRight && y >= list.gridTop;
            ASSERT_TRUE(onPause || onField) << "HUD pixel at " << x << "," << y;
        }
    // Lives on the left, the score on the right, both drawn.
    const int middle = gridLeft + list.gridWidth / 2;
    EXPECT_FALSE(drawnOver(gridLeft, list.gridTop, middle, firstBricks).empty());
    EXPECT_FALSE(
        drawnOver(middle, list.gridTop, std::min(fieldRight, W - pauseW), firstBricks).empty());
}

TEST_P(ScreenSizeLayout, ThePaddleWithItsEngineAndFlamesStaysOnTheScreen)
{
    ASSERT_TRUE(m_supported);
    playLevelOne();
    Platform& p = *paddle;
    p.morph(Platform::MORPH_TURBO);
    p.morphing = 0;
    const int halfScreen = W / 2;
    for (int direction : {1, 0}) {
        p.x = halfScreen;
        p.move(direction);
        m_game->paint();
        const Box drawn = drawnOver(0, p.y - H / 8, W, H);
        ASSERT_FALSE(drawn.empty());
        // Nothing of the paddle reaches the screen's last row: it is not cut off below.
        EXPECT_LT(drawn.bottom, H) << (direction ? "right" : "left");
        // The flames trail from the paddle's end, no further out than their own width.
        const int half = p.imageWidth() / 2;
        const int flame = (*p.flamesAnimation->frames)[0]->w;
        if (direction == 1)
            EXPECT_GE(drawn.left, p.x - half - flame);
        else
            EXPECT_LE(drawn.right, p.x + half + flame);
    }
}

TEST_P(ScreenSizeLayout, GunFlashesShowOverTheGunsAtThePaddlesEnds)
{
    ASSERT_TRUE(m_supported);
    playLevelOne();
    Platform& p = *paddle;
    p.morph(Platform::MORPH_GUNS);
    p.morphing = 0;
    p.gunsOn = 1;
    (*m_game->balls)[0]->setActive(false);
    m_game->paint();
    std::vector<uint16_t> before;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            before.push_back(pixel(m_screen, x, y));
    p.startGunFlash();
    m_game->paint();
    Box left;
    Box right;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (pixel(m_screen, x, y) != before[static_cast<size_t>(y) * W + x])
                (x < p.x ? left : right).add(x, y);
    ASSERT_FALSE(left.empty());
    ASSERT_FALSE(right.empty());
    // Each flash's middle is over the paddle's outer sixth, where its gun is.
    const int leftEnd = p.x - p.width / 2;
    const int rightEnd = p.x + p.width / 2;
    const int gun = p.width / 6;
    EXPECT_GE((left.left + left.right) / 2, leftEnd);
    EXPECT_LE((left.left + left.right) / 2, leftEnd + gun);
    EXPECT_GE((right.left + right.right) / 2, rightEnd - gun);
    EXPECT_LE((right.left + right.right) / 2, rightEnd);
}

TEST_P(ScreenSizeLayout, AMonsterIsPaintedCentredOnItsBodyAndMeetsBallsWhereItShows)
{
    ASSERT_TRUE(m_supported);
    playLevelOne();
    Enemy& e = *(*m_game->enemies)[0];
    e.appear(Enemy::PLAIN);
    e.x = W / 2;
    e.y = H / 2;
    (*m_game->balls)[0]->setActive(false);
    m_game->paint();
    // Between the HUD and the paddle.
    const int below = brickList->gridTop + 2 * brickList->cellHeight;
    const Box drawn = drawnOver(gridLeft, below, gridLeft + brickList->gridWidth, paddle->y - 1);
    ASSERT_FALSE(drawn.empty());
    EXPECT_NEAR(e.x, (drawn.left + drawn.right) / 2, 1);
    EXPECT_NEAR(e.y, (drawn.top + drawn.bottom) / 2, 1);
    EXPECT_LE(drawn.right - drawn.left, e.width);
    EXPECT_LE(drawn.bottom - drawn.top, e.height);

    // A ball just touching the right edge of what shows destroys it.
    Ball& b = *(*m_game->balls)[1];
    b.setKind(1);
    b.setActive(true);
    b.setPosition(drawn.right - 1 + b.radius, e.y);
    const int before = brickList->score;
    m_game->processEnemies();
    EXPECT_FALSE(e.active);
    EXPECT_EQ(before + 1, brickList->score);
}

// A row of one colour throughout, other than black, is a blank band the picture left.
void expectNoBlankBand(const DImagePtr& picture, const char* what)
{
    ASSERT_TRUE(picture) << what;
    for (int y = 0; y < picture->getHeight(); ++y) {
        const uint16_t first = pixel(picture, 0, y);
        bool uniform = true;
        for (int x = 1; x < picture->getWidth() && uniform; ++x)
            uniform = pixel(picture, x, y) == first;
        EXPECT_FALSE(uniform && first != 0) << what << ": row " << y << " is all " << first;
    }
}

TEST_P(ScreenSizeLayout, PicturesBetweenLevelsFillTheScreenOrLeaveBlackBands)
{
    ASSERT_TRUE(m_supported);
    playLevelOne();
    expectNoBlankBand(brickList->picture, "level picture");
    brickList->remaining = 0;
    m_game->playStep();
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    expectNoBlankBand(brickList->picture, "level cleared");
    m_game->lives = 0;
    m_game->setState(STATE_GET_READY);
    expectNoBlankBand(brickList->picture, "game over");
}

TEST_P(ScreenSizeLayout, TheMenusPaintTheWholeScreen)
{
    ASSERT_TRUE(m_supported);
    qev::microedition::lcdui::DGraphics& g = *gamelib::screenGraphics;
    const uint16_t marker = 0x07E0;
    for (int state : {STATE_MENU, STATE_HIGHSCORES}) {
        g.setClip(0, 0, W, H);
        g.setColor(0x00FF00);
        g.fillRect(0, 0, W, H);
        ASSERT_EQ(marker, pixel(m_screen, 0, 0));
        m_game->setState(state);
        m_game->paint();
        int left = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                left += pixel(m_screen, x, y) == marker;
        EXPECT_EQ(0, left) << "state " << state;
    }
}

INSTANTIATE_TEST_SUITE_P(EverySize, ScreenSizeLayout,
                         ::testing::Values(ScreenSize{240, 320}, ScreenSize{320, 240},
                                           ScreenSize{240, 240}, ScreenSize{176, 208},
                                           ScreenSize{176, 220}, ScreenSize{480, 640},
                                           ScreenSize{640, 480}),
                         [](const ::testing::TestParamInfo<ScreenSize>& size) {
                             return std::to_string(size.param.w) + "x" +
                                    std::to_string(size.param.h);
                         });

} // namespace

#endif
