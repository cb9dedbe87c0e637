// The play field on screens of other sizes than 240 x 320: the big saucer's scorch marks follow
// its piece's size, and a level's background is empty space where the set's picture does not
// reach.
#include "MirrowfenFixture.h"

#include "gamelib/GameStatics.h"

#include <string>

namespace mirrowfentest {

namespace {

using mirrowfen::gameState;
using mirrowfen::STATE_LEVEL_CLEARED;
using mirrowfen::STATE_PLAYING;
using shelltest::rgb565;

constexpr uint32_t kPictureColour = 0x8080C0;

class ScreenSizeTest : public MirrowfenTest
{
  protected:
    // Plays level 1 on a screen of this size, the field emptied, the ship parked in a corner.
    void playAt(int width, int height, Ufo3Size ufo3, std::map<std::string, std::string> extra = {})
    {
        extra.merge(atlasEntries(true, ufo3));
        startGameAt(width, height, extra);
        play();
        ASSERT_EQ(STATE_PLAYING, gameState);
        mirrowfen::noDamage = 1;
        clearField();
        parkShip(width - 20, height - 40);
    }

    // A resting big saucer at (x, y) with one hit left: all three marks show.
    void bigSaucerAt(int x, int y)
    {
        mirrowfen::FlyingOPtr ufo = addUfo(0, x, y, 0, 0, 3);
        ufo->hits = 1;
        addRock(0, 10, 60, 0, 0, 3); // keeps the level from being cleared
    }

    // Every mark-coloured pixel of the screen, relative to (left, top).
    std::vector<std::pair<int, int>> markPixels(int left, int top) const
    {
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < gamelib::screenHeight; ++y)
            for (int x = 0; x < gamelib::screenWidth; ++x)
                if (windowPixel(x, y) == rgb565(kEffectColour))
                    found.emplace_back(x - left, y - top);
        return found;
    }

    // The picture list with every picture one colour and of the given size.
    static std::map<std::string, std::string> pictures(int w, int h)
    {
        std::map<std::string, std::string> entries;
        std::string list;
        for (int i = 0; i < 24; ++i) {
            list += std::to_string(i % 10) + "   p" + std::to_string(i) + "\r\n";
            entries["graphics/common/img/p" + std::to_string(i) + ".jpg"] =
                shelltest::png(w, h, kPictureColour);
        }
        entries["graphics/common/img/all.txt"] = list;
        return entries;
    }

    // Pixels of row y between x0 and x1 (exclusive) that are not black.
    int litPixels(int y, int x0, int x1) const
    {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += windowPixel(x, y) != 0 ? 1 : 0;
        return n;
    }
};

TEST_F(ScreenSizeTest, TheScorchMarksKeepTheirPlacesOnTheDesignSizedSaucer)
{
    // 240 x 320 with the saucer at its design size 44 x 34: the marks at the given corners.
    playAt(240, 320, {44, 34, 9, 7});
    bigSaucerAt(120, 200);
    steps(3);
    const int left = 120 - 22;
    const int top = 200 - 17;
    const std::vector<std::pair<int, int>> marks = markPixels(left, top);
    EXPECT_EQ(3u * 9u * 7u, marks.size());
    for (auto [x, y] : {std::pair{17, 27}, {24, 4}, {2, 15}}) {
        EXPECT_TRUE(pixelIs(left + x, top + y, kEffectColour)) << x << "," << y;
        EXPECT_FALSE(pixelIs(left + x - 1, top + y - 1, kEffectColour)) << x << "," << y;
    }
}

TEST_F(ScreenSizeTest, TheScorchMarksStayOnTheSmallSetsSaucer)
{
    // The 176 x 208 set draws the saucer 32 x 25 and its marks 7 x 5: the marks at the design's
    // offsets would hang below the hull.
    playAt(176, 208, {32, 25, 7, 5});
    bigSaucerAt(88, 120);
    steps(3);
    const int left = 88 - 16;
    const int top = 120 - 12;
    const std::vector<std::pair<int, int>> marks = markPixels(left, top);
    EXPECT_EQ(3u * 7u * 5u, marks.size()) << "all three marks show, none covering another";
    for (auto [x, y] : marks) {
        EXPECT_GE(x, 0);
        EXPECT_LT(x, 32);
        EXPECT_GE(y, 0);
        EXPECT_LT(y, 25) << "a mark below the saucer";
    }
}

TEST_F(ScreenSizeTest, TheScorchMarksFollowTheLargeSetsSaucer)
{
    // 480 x 640 draws everything at twice the size: the marks at twice the design's offsets.
    playAt(480, 640, {88, 68, 18, 14});
    bigSaucerAt(240, 400);
    steps(3);
    const int left = 240 - 44;
    const int top = 400 - 34;
    EXPECT_EQ(3u * 18u * 14u, markPixels(left, top).size());
    for (auto [x, y] : {std::pair{34, 54}, {48, 8}, {4, 30}}) {
        EXPECT_TRUE(pixelIs(left + x, top + y, kEffectColour)) << x << "," << y;
        EXPECT_FALSE(pixelIs(left + x - 1, top + y - 1, kEffectColour)) << x << "," << y;
    }
}

TEST_F(ScreenSizeTest, APictureShorterThanTheScreenLeavesEmptySpaceAboveAndBelow)
{
    // 176 x 220 shows the 176 x 208 set's pictures: 6 rows above and below stay uncovered.
    playAt(176, 220, {}, pictures(176, 208));
    // In play the bands are dark space (a star or two may cross them), not a grey shade.
    for (int y : {0, 5, 214, 219})
        EXPECT_LE(litPixels(y, 50, 110), 4) << "row " << y;
    EXPECT_NE(0, windowPixel(88, 100)) << "the shaded picture fills the middle";

    // The cleared field shows the next picture unshaded, on black.
    steps(3);
    ASSERT_EQ(STATE_LEVEL_CLEARED, gameState);
    steps(1);
    for (int y : {0, 5, 214, 219})
        EXPECT_EQ(0, litPixels(y, 0, 176)) << "row " << y;
    EXPECT_TRUE(pixelIs(4, 6, kPictureColour));
    EXPECT_TRUE(pixelIs(171, 213, kPictureColour));
}

} // namespace

} // namespace mirrowfentest
