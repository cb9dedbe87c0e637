#include "gamelib/SpriteAtlas.h"
#include "GamelibTestSupport.h"
#include "ShellFixture.h"
#include "gamelib/Animation.h"
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include <functional>

using namespace gamelib;
using namespace gamelibtest;
using namespace qev::lang;
using qev::microedition::lcdui::DGraphics;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

constexpr int kSheetW = 100;
constexpr int kSheetH = 50;
constexpr uint16_t kWhite = 0xFFFF;

// Every sheet pixel has its own colour, so a drawn pixel tells where in the sheet it came from.
uint16_t sheetCode(int x, int y)
{
    return static_cast<uint16_t>(1 + x + kSheetW * y);
}

class SpriteAtlases : public shelltest::ShellTest
{
  protected:
    SpriteAtlases()
    {
        graphicsSet = u"gs";
        releaseAtlas();
        canvas = DImage::createImage(60, 60);
        g = canvas->getGraphics();
        screenGraphics = g;
    }
    ~SpriteAtlases() override
    {
        releaseAtlas();
        screenGraphics = nullptr;
    }

    void writeAtlas(const std::string& list)
    {
        writeFile("graphics/gs/tesk/sheet.txt", list);
        writeFile("graphics/gs/tesk/sheet.png",
                  pngOf(kSheetW, kSheetH, [](int x, int y) { return rgbOf565(sheetCode(x, y)); }));
    }

    static std::vector<int> rect(const GameImagePtr& image)
    {
        return {image->x, image->y, image->w, image->h, image->transform};
    }

    // Checks the w x h block at (x0, y0) of the canvas against the sheet pixel that source(i, j)
    // names, and that the pixels around the block stayed white.
    void expectBlock(int x0, int y0, int w, int h,
                     const std::function<std::pair<int, int>(int, int)>& source)
    {
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x) {
                const int i = x - x0, j = y - y0;
                if (i >= 0 && i < w && j >= 0 && j < h) {
                    auto [sx, sy] = source(i, j);
                    ASSERT_EQ(sheetCode(sx, sy), pixelAt(canvas, x, y))
                        << "at " << x << "," << y << " from " << sx << "," << sy;
                } else {
                    ASSERT_EQ(kWhite, pixelAt(canvas, x, y)) << "outside at " << x << "," << y;
                }
            }
        }
    }

    DImagePtr canvas;
    DGraphicsPtr g;
};

} // namespace

TEST_F(SpriteAtlases, SuffixesSelectTheTurnedPiece)
{
    writeAtlas("ship.png;10;0;20;30\r\nrock.png;50;10;5;5\r\n");
    loadAtlas(u"/tesk/sheet");
    EXPECT_EQ(kSheetW, atlasWidth);
    EXPECT_EQ(kSheetH, atlasHeight);
    EXPECT_EQ((std::vector<int>{10, 0, 20, 30, 0}), rect(GameImage::fromAtlas(u"ship.png")));
    EXPECT_EQ((std::vector<int>{70, 0, 20, 30, 2}), rect(GameImage::fromAtlas(u"ship.png_mr")));
    EXPECT_EQ((std::vector<int>{10, 0, 20, 30, 3}), rect(GameImage::fromAtlas(u"ship.png_lv")));
    EXPECT_EQ((std::vector<int>{20, 10, 30, 20, 5}), rect(GameImage::fromAtlas(u"ship.png_dn")));
    EXPECT_EQ((std::vector<int>{0, 70, 30, 20, 6}), rect(GameImage::fromAtlas(u"ship.png_up")));
    EXPECT_EQ((std::vector<int>{50, 10, 5, 5, 0}), rect(GameImage::fromAtlas(u"rock.png")));
    EXPECT_EQ(nullptr, GameImage::fromAtlas(u"wreck.png"));
    EXPECT_EQ(nullptr, GameImage::fromAtlas(u"ship.png_xx"));
    EXPECT_EQ(nullptr, GameImage::fromAtlas(u"_up"));
}

TEST_F(SpriteAtlases, EachTransformDrawsThePieceTurned)
{
    writeAtlas("ship.png;10;0;20;30\r\n");
    loadAtlas(u"/tesk/sheet");
    struct Case
    {
        const char16_t* name;
        int w, h;
        std::function<std::pair<int, int>(int, int)> source; // canvas (i, j) -> sheet (x, y)
    };
    const Case cases[] = {
        {u"ship.png", 20, 30,
         [](int i, int j) {
             return std::pair{10 + i, j};
         }},
        {u"ship.png_mr", 20, 30,
         [](int i, int j) {
             return std::pair{29 - i, j};
         }},
        {u"ship.png_lv", 20, 30,
         [](int i, int j) {
             return std::pair{29 - i, 29 - j};
         }},
        // Quarter turn clockwise: the top row is the left column read upwards.
        {u"ship.png_dn", 30, 20,
         [](int i, int j) {
             return std::pair{10 + j, 29 - i};
         }},
        {u"ship.png_up", 30, 20,
         [](int i, int j) {
             return std::pair{29 - j, i};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)));
        g->setColor(0xFFFFFF);
        g->setClip(0, 0, 60, 60);
        g->fillRect(0, 0, 60, 60);
        g->setClip(3, 4, 50, 51);
        GameImage::fromAtlas(c.name)->draw(5, 7);
        expectBlock(5, 7, c.w, c.h, c.source);
        // The caller's clip is back.
        EXPECT_EQ(3, g->getClipX());
        EXPECT_EQ(4, g->getClipY());
        EXPECT_EQ(50, g->getClipWidth());
        EXPECT_EQ(51, g->getClipHeight());
    }
}

TEST_F(SpriteAtlases, AnImageThatNoPointerHoldsDrawsAndLives)
{
    writeAtlas("ship.png;10;0;20;30\r\n");
    loadAtlas(u"/tesk/sheet");
    GameImage piece(10, 0, 20, 30);
    piece.draw(5, 7);
    expectBlock(5, 7, 20, 30, [](int i, int j) { return std::pair{10 + i, j}; });
    EXPECT_EQ(0, piece.getRefCount());
}

TEST_F(SpriteAtlases, AnUnknownTransformDrawsNothing)
{
    writeAtlas("ship.png;10;0;20;30\r\n");
    loadAtlas(u"/tesk/sheet");
    GameImagePtr ship = GameImage::fromAtlas(u"ship.png");
    ship->setTransform(1);
    EXPECT_EQ((std::vector<int>{10, 0, 20, 30, 1}), rect(ship));
    g->setClip(1, 2, 30, 30);
    drawGameImage(g, 0, 0, ship);
    expectBlock(0, 0, 0, 0, nullptr);
    EXPECT_EQ(1, g->getClipX());
    EXPECT_EQ(30, g->getClipWidth());
}

TEST_F(SpriteAtlases, DamagedListsRaiseTheirExceptions)
{
    writeAtlas("ship.png;10;0;20\r\n");
    EXPECT_THROWS_CODE(ExceptionCode::ArrayIndexOutOfBoundsException, loadAtlas(u"/tesk/sheet"));
    writeAtlas("ship.png;10;zero;20;30\r\n");
    EXPECT_THROWS_CODE(ExceptionCode::NumberFormatException, loadAtlas(u"/tesk/sheet"));
    // A new load starts from an empty table: nothing of an earlier atlas survives.
    writeAtlas("a.png;0;0;1;1\r\n\r\nb.png;0;0;1;1\r\n");
    loadAtlas(u"/tesk/sheet");
    EXPECT_NE(nullptr, GameImage::fromAtlas(u"a.png"));
    EXPECT_EQ(nullptr, GameImage::fromAtlas(u"b.png")); // after the empty line
    EXPECT_EQ(1, atlasPieces->size());
    // No list at all: the stream's exception reaches the caller.
    EXPECT_THROWS_CODE(ExceptionCode::IOException, loadAtlas(u"/tesk/none"));
}

// The code and message of what `body` threw (0 and "" when it threw nothing).
template <class Body> std::pair<int32_t, std::string> failureOf(Body body)
{
    try {
        body();
    } catch (DExceptionBase* e) {
        const std::pair<int32_t, std::string> out{
            e->code,
            std::string(e->message, e->message + std::char_traits<char16_t>::length(e->message))};
        delete e;
        return out;
    }
    return {0, ""};
}

TEST_F(SpriteAtlases, DamagedListsAndMissingPiecesNameTheListLineAndPiece)
{
    writeAtlas("a.png;0;0;1;1\r\nship.png;10;0;20\r\n");
    EXPECT_EQ(std::make_pair(ExceptionCode::ArrayIndexOutOfBoundsException,
                             std::string("/tesk/sheet.txt line 2: fewer than five fields")),
              failureOf([] { loadAtlas(u"/tesk/sheet"); }));
    writeAtlas("ship.png;10;zero;20;30\r\n");
    EXPECT_EQ(std::make_pair(ExceptionCode::NumberFormatException,
                             std::string("/tesk/sheet.txt line 1: not a number")),
              failureOf([] { loadAtlas(u"/tesk/sheet"); }));

    // A screen that cannot do without a piece or an animation says which, and where.
    writeAtlas("f0.png;0;0;1;1\r\n");
    loadAtlas(u"/tesk/sheet");
    EXPECT_EQ(2, requirePiece(u"f0.png_mr")->transform);
    EXPECT_EQ(std::make_pair(ExceptionCode::IOException,
                             std::string("no piece ship.png in /tesk/sheet.txt")),
              failureOf([] { requirePiece(u"ship.png"); }));
    DStringArrayPtr frames(new DStringArray(2));
    (*frames)[0] = DStringPtr(u"f0.png");
    (*frames)[1] = DStringPtr(u"gone.png");
    EXPECT_EQ(std::make_pair(ExceptionCode::IOException,
                             std::string("fire of /tesk/anim.txt: no piece gone.png in "
                                         "/tesk/sheet.txt")),
              failureOf([&] { requireAnimation(frames, u"fire", u"/tesk/anim.txt"); }));
    EXPECT_EQ(std::make_pair(ExceptionCode::IOException,
                             std::string("fire of /tesk/anim.txt: no frames")),
              failureOf([] {
                  requireAnimation(DStringArrayPtr(new DStringArray(0)), u"fire",
                                   u"/tesk/anim.txt");
              }));
    (*frames)[1] = DStringPtr(u"f0.png_up");
    EXPECT_EQ(2, requireAnimation(frames, u"fire", u"/tesk/anim.txt")->frames->length);
}

TEST_F(SpriteAtlases, TheCommonSetServesEveryGraphicsSet)
{
    writeFile("graphics/common/menu/icons.txt", "dot.png;1;1;2;2\r\n");
    writeFile("graphics/common/menu/icons.png",
              pngOf(4, 4, [](int x, int y) { return rgbOf565(sheetCode(x, y)); }));
    loadAtlas(u"/menu/icons");
    GameImage::fromAtlas(u"dot.png")->draw(0, 0);
    expectBlock(0, 0, 2, 2, [](int i, int j) { return std::pair{1 + i, 1 + j}; });
}

TEST_F(SpriteAtlases, ExtremeRectanglesFromTheListAreHandledWithoutOverflow)
{
    writeAtlas("big.png;2147483647;-2147483648;2147483647;5\r\n");
    loadAtlas(u"/tesk/sheet");
    // The arithmetic wraps as 32-bit numbers do on the device instead of being undefined.
    EXPECT_EQ((std::vector<int>{102, -2147483648, 2147483647, 5, 2}),
              rect(GameImage::fromAtlas(u"big.png_mr")));
    EXPECT_EQ((std::vector<int>{-2147483603, 2147483647, 5, 2147483647, 5}),
              rect(GameImage::fromAtlas(u"big.png_dn")));
    for (const char16_t* name :
         {u"big.png", u"big.png_mr", u"big.png_lv", u"big.png_dn", u"big.png_up"}) {
        GameImage::fromAtlas(name)->draw(-5, 40);
        GameImage::fromAtlas(name)->draw(2147483647, -2147483647);
    }
    // Nothing of the sheet lies at those places.
    expectBlock(0, 0, 0, 0, nullptr);
}

// Animations: frames of one colour each, told apart by the canvas pixel they leave.
class Animations : public SpriteAtlases
{
  protected:
    Animations()
    {
        writeAtlas("f0.png;0;0;1;1\r\nf1.png;1;0;1;1\r\nf2.png;2;0;1;1\r\n");
        loadAtlas(u"/tesk/sheet");
    }
    // The frame index that one paint at (0, 0) drew.
    int paintOnce(Animation& a)
    {
        a.paint(0, 0);
        return pixelAt(canvas, 0, 0) - 1;
    }
    static DStringArrayPtr names(std::initializer_list<const char16_t*> list)
    {
        DStringArrayPtr a(new DStringArray(static_cast<int32_t>(list.size())));
        int32_t i = 0;
        for (const char16_t* n : list)
            (*a)[i++] = DStringPtr(n);
        return a;
    }
};

TEST_F(Animations, FramesAdvanceAfterDrawing)
{
    Animation a(names({u"f0.png", u"f1.png", u"f2.png"}));
    EXPECT_EQ(2, a.ticksPerFrame);
    a.reset();
    std::vector<int> drawn, wrapped;
    for (int i = 0; i < 10; ++i) {
        drawn.push_back(paintOnce(a));
        wrapped.push_back(a.wrapped);
    }
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 1, 2, 2, 0, 0, 1}), drawn);
    // Set in the one paint where the last frame gave way to frame 0.
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}), wrapped);
}

TEST_F(Animations, AStoppedAnimationKeepsItsFrame)
{
    Animation a(names({u"f0.png", u"f1.png"}));
    a.reset();
    for (int i = 0; i < 3; ++i)
        paintOnce(a);
    a.playing = 0;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(1, paintOnce(a));
    EXPECT_EQ(0, a.wrapped);
    EXPECT_EQ(nullptr, a.toString());
}

TEST_F(Animations, ACounterLeftRunningForAgesWraps)
{
    Animation a(names({u"f0.png", u"f1.png"}));
    a.counter = 2147483647;
    EXPECT_EQ(0, paintOnce(a));
    EXPECT_EQ(-2147483647 - 1, a.counter);
    EXPECT_EQ(0, a.frame);
}

TEST_F(Animations, AMissingPieceIsANullFrame)
{
    Animation a(names({u"f0.png", u"gone.png"}));
    EXPECT_NE(nullptr, (*a.frames)[0].get());
    EXPECT_EQ(nullptr, (*a.frames)[1].get());
    a.frame = 1;
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, a.paint(0, 0));
    Animation empty;
    EXPECT_THROWS_CODE(ExceptionCode::NullPointerException, empty.paint(0, 0));
}
