#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "microedition/lcdui/DImage.h"
#include "raster/ImageHolder.h"

#include <climits>

using gamelib::GameLib;
using qev::microedition::lcdui::DGraphicsPtr;
using qev::microedition::lcdui::DImage;
using qev::microedition::lcdui::DImagePtr;

namespace {

// A 40x40 target on which a 20x20 background is centred at (10, 10); overlays are 2x2 pixels.
class PictureComposer : public shelltest::ShellTest
{
  protected:
    PictureComposer()
    {
        gamelib::screenWidth = 40;
        gamelib::screenHeight = 40;
        target = DImage::createImage(40, 40);
        g = target->getGraphics();
    }
    void archive(const std::string& list)
    {
        openArchive({{"240x320", "graphics=big\r\n"},
                     {"graphics/common/img/all.txt", list},
                     {"graphics/common/img/sea.jpg", shelltest::png(20, 20, 0x0000FF)},
                     {"graphics/common/img/hill.jpg", shelltest::png(20, 20, 0x00FF00)},
                     {"graphics/common/img/dress/boat.png", shelltest::png(2, 2, 0xFF0000)},
                     {"graphics/common/img/dress/sun.png", shelltest::png(2, 2, 0xFFFF00)}});
        gamelib::screenWidth = 240;
        gamelib::screenHeight = 320;
        ASSERT_TRUE(GameLib::loadScreenConfig());
        gamelib::screenWidth = 40;
        gamelib::screenHeight = 40;
    }
    uint16_t pixel(int x, int y) const
    {
        const Surface* s = target->getHolder()->surface;
        return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(s->pixels) +
                                                 y * s->pitch)[x];
    }
    DImagePtr target;
    DGraphicsPtr g;
};

// Group 1: sea, boat at (1, 2), sun at (5, 6). Group 2: hill alone.
const char* const kList = "1   sea\r\n1   boat;1;2\r\n1   sun;5;6\r\n2   hill\r\n";

constexpr uint16_t kWhite = 0xFFFF, kBlue = 0x001F, kGreen = 0x07E0, kRed = 0xF800,
                   kYellow = 0xFFE0;

TEST_F(PictureComposer, TheFirstLineOfAGroupShowsEveryOverlay)
{
    archive(kList);
    GameLib::drawPicture(1, g);
    // Around a background smaller than the screen the picture is black, as the other screens
    // frame a smaller set's pictures; only a picture without background stays blank.
    EXPECT_EQ(0, pixel(5, 5));
    EXPECT_EQ(0, pixel(39, 39));
    EXPECT_EQ(kBlue, pixel(10, 10));
    EXPECT_EQ(kRed, pixel(11, 12));
    EXPECT_EQ(kYellow, pixel(15, 16));
}

TEST_F(PictureComposer, LaterLinesShowOnlyTheOverlaysBelowThem)
{
    archive(kList);
    GameLib::drawPicture(2, g);
    EXPECT_EQ(kBlue, pixel(11, 12));
    EXPECT_EQ(kYellow, pixel(15, 16));
    GameLib::drawPicture(3, g);
    EXPECT_EQ(kBlue, pixel(15, 16)) << "the last line of a group has no overlay";
    GameLib::drawPicture(4, g);
    EXPECT_EQ(kGreen, pixel(20, 20));
}

TEST_F(PictureComposer, NumbersWrapAroundTheList)
{
    archive(kList);
    GameLib::drawPicture(8, g);
    EXPECT_EQ(kGreen, pixel(20, 20));
}

TEST_F(PictureComposer, NumbersWithoutLineLeaveThePictureBlank)
{
    archive(kList);
    // 0 and -1 give the lines -1 and -2: none. The number before the first wraps, as on the
    // device, to the largest one: its remainder picks the last line.
    for (int32_t n : {0, -1}) {
        GameLib::drawPicture(n, g);
        EXPECT_EQ(kWhite, pixel(20, 20)) << n;
    }
    GameLib::drawPicture(INT_MIN, g);
    EXPECT_EQ(kGreen, pixel(20, 20));
}

TEST_F(PictureComposer, AnEmptyListLeavesThePictureBlank)
{
    archive("");
    GameLib::drawPicture(1, g);
    EXPECT_EQ(kWhite, pixel(20, 20));
}

TEST_F(PictureComposer, ABrokenOverlayLineStopsAfterTheBackground)
{
    for (const char* list : {"1   sea\r\n1   boat;x;2\r\n", "1   sea\r\n1   boat\r\n"}) {
        archive(list);
        GameLib::drawPicture(1, g);
        EXPECT_EQ(kBlue, pixel(11, 12)) << list;
    }
}

TEST_F(PictureComposer, OverlayPositionsAtTheEndsOfTheIntegersWrapOffThePicture)
{
    // The boat's x plus the background's left edge wraps to a large negative number; the sun,
    // drawn before it, is unaffected.
    archive("1   sea\r\n1   boat;2147483647;2\r\n1   boat;-2147483648;-2147483648\r\n"
            "1   sun;5;6\r\n");
    GameLib::drawPicture(1, g);
    EXPECT_EQ(kYellow, pixel(15, 16));
    EXPECT_EQ(kBlue, pixel(11, 12));
    EXPECT_EQ(kBlue, pixel(10, 10));
}

} // namespace
