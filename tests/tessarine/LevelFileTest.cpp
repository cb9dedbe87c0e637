// Level files into the grid: cell letters, hit points to clear, bonuses, damaged files, the
// grid geometry, the pictures of the levels, and the stored highest level.
#include "TessarineFixture.h"

#include "gallery/Gallery.h"
#include "gamelib/GameMenu.h"

#include "lang/DExceptionBase.h"

using namespace tessarine;
using tessatest::levelFile;

namespace {

class LevelFileTest : public tessatest::TessarineTest
{
};

TEST_F(LevelFileTest, EveryLetterGivesItsTypeAndHitPoints)
{
    startGame({{1, levelFile({"abcdefghijk", "..........."})}});
    bricks().loadLevel(1);
    const int types[11] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 9, 0};
    const int hits[11] = {2, 3, 1, 1, 1, 1, 1, 1, 2, 5, 0};
    for (int c = 0; c < 11; ++c) {
        EXPECT_EQ(types[c], brick(0, c).type) << "column " << c;
        EXPECT_EQ(hits[c], brick(0, c).hits) << "column " << c;
    }
    // Regenerating and hard bricks are not needed to clear the level.
    EXPECT_EQ(2 + 3 + 1 + 1 + 1 + 1 + 2 + 5, bricks().remaining);
    EXPECT_EQ(0, brick(1, 0).type);
    // Only bricks that count carry a bonus, and only kinds 1..12.
    for (int c = 0; c < 11; ++c) {
        EXPECT_GE(brick(0, c).bonus, 0);
        EXPECT_LE(brick(0, c).bonus, 12);
    }
    EXPECT_EQ(0, brick(0, 2).bonus);
    EXPECT_EQ(0, brick(0, 4).bonus);
}

TEST_F(LevelFileTest, ShortEmptyAndMissingRowsBecomeEmptyCells)
{
    // Row 0 short, row 1 empty, the file ends after row 2 without its line end.
    startGame({{1, levelFile({"fff"})}, {2, "ff\r\n\r\nggggggggggg"}});
    bricks().loadLevel(2);
    EXPECT_EQ(6, brick(0, 0).type);
    EXPECT_EQ(6, brick(0, 1).type);
    EXPECT_EQ(0, brick(0, 2).type);
    EXPECT_EQ(0, brick(1, 0).type);
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(7, brick(2, c).type);
    for (int r = 3; r < 21; ++r)
        EXPECT_EQ(0, brick(r, 5).type);
    EXPECT_EQ(13, bricks().remaining);
}

TEST_F(LevelFileTest, APlainFileBesideTheProgramEndsItsRowsAtItsEndLikeAnArchiveEntry)
{
    // The level is not in the archive, so the file beside the program is read; such files
    // raise EOFException at their end where archive entries answer -1.
    startGame({{1, levelFile({"fff"})}});
    folder.write("data/tesk/data/round07.txt", "gg\r\n\r\nhhh");
    bricks().loadLevel(7);
    EXPECT_EQ(7, brick(0, 0).type);
    EXPECT_EQ(0, brick(0, 2).type);
    EXPECT_EQ(0, brick(1, 0).type);
    EXPECT_EQ(8, brick(2, 2).type) << "a last row without its line end";
    EXPECT_EQ(0, brick(2, 3).type);
    EXPECT_EQ(0, brick(20, 0).type);
    EXPECT_EQ(2 + 3, bricks().remaining);

    // Empty, and cut right after a CR.
    folder.write("data/tesk/data/round08.txt", "");
    bricks().loadLevel(8);
    EXPECT_EQ(0, bricks().remaining);
    folder.write("data/tesk/data/round09.txt", "a\r");
    bricks().loadLevel(9);
    EXPECT_EQ(1, brick(0, 0).type);
    EXPECT_EQ(2, bricks().remaining);
}

TEST_F(LevelFileTest, AMissingLevelFileRaisesAnIoError)
{
    startGame({{1, levelFile({"fff"})}});
    bool raised = false;
    try {
        bricks().loadLevel(7);
    } catch (qev::lang::DExceptionBase* e) {
        raised = (e->code & qev::lang::ExceptionCode::IOException) ==
                 qev::lang::ExceptionCode::IOException;
        delete e;
    }
    EXPECT_TRUE(raised);
}

TEST_F(LevelFileTest, ALeftOverBrickLosesItsOldBonus)
{
    startGame({{1, levelFile({"fff"})}});
    bricks().loadLevel(1);
    for (int c = 0; c < 11; ++c)
        brick(0, c).bonus = 12;
    // Repeated loads draw anew: a cell whose draw gives no bonus must not keep the old one.
    int none = 0;
    for (int i = 0; i < 20; ++i) {
        bricks().loadLevel(1);
        for (int c = 0; c < 3; ++c)
            none += brick(0, c).bonus == 0;
        EXPECT_EQ(0, brick(0, 5).bonus);
    }
    EXPECT_GT(none, 0);
}

TEST_F(LevelFileTest, GridFitsTheScreenBelowTheTopCorner)
{
    startGame({{1, levelFile({"fff"})}});
    BrickList& b = bricks();
    EXPECT_EQ(20, b.cellWidth);
    EXPECT_EQ(10, b.cellHeight);
    EXPECT_EQ(220, b.gridWidth);
    EXPECT_EQ(210, b.gridHeight);
    EXPECT_EQ(10, gridLeft);
    EXPECT_EQ(12, b.gridTop);
    EXPECT_EQ(16 * (10 + 2 * 20), b.columnLeft(2));
    EXPECT_EQ(16 * (10 + 3 * 20), b.columnRight(2));
    EXPECT_EQ(16 * (12 + 4 * 10), b.rowTop(4));
    EXPECT_EQ(16 * (12 + 5 * 10), b.rowBottom(4));
    EXPECT_EQ(3, b.columnAt(10 + 3 * 20 + 19));
    EXPECT_EQ(5, b.rowAt(12 + 50));
}

TEST_F(LevelFileTest, BothWallsShowTheirFullWidth)
{
    startGame({{1, levelFile({"fff"})}});
    bricks().loadLevel(1);
    startPlaying();
    // Left wall x 2..9, right wall x 230..237, both from below the top corner down.
    for (int x : {2, 9, 230, 237})
        EXPECT_TRUE(pixelIs(x, 100, tessatest::kWallColour)) << "x " << x;
    EXPECT_FALSE(pixelIs(238, 100, tessatest::kWallColour));
    EXPECT_FALSE(pixelIs(1, 100, tessatest::kWallColour));
}

TEST_F(LevelFileTest, EveryLevelHasAPictureAndClearingItUnlocksThatPicture)
{
    EXPECT_EQ(1, BrickList::pictureOf(1));
    EXPECT_EQ(13, BrickList::pictureOf(13));
    EXPECT_EQ(14, BrickList::pictureOf(14));
    EXPECT_EQ(1, BrickList::pictureOf(15));
    EXPECT_EQ(14, BrickList::pictureOf(28));
    EXPECT_EQ(14, BrickList::pictureOf(42));
    EXPECT_EQ(8, BrickList::pictureOf(50));
}

TEST_F(LevelFileTest, AStoredHighestLevelOutsideTheLevelsIsClamped)
{
    startGame({{1, levelFile({"fff"})}});
    for (auto [stored, expected] : {std::pair{0, 1}, {-7, 1}, {99, 50}, {12, 12}}) {
        gamelib::GameMenu::saveOption(u"tessarineopenlevel", stored);
        restartGame();
        EXPECT_EQ(expected, openLevel) << "stored " << stored;
    }
    // The level list of a clamped value has one entry per level and the exit.
    gamelib::GameMenu::saveOption(u"tessarineopenlevel", -3);
    restartGame();
    game().chooseMenuItem(Tessarine::ITEM_START);
    EXPECT_EQ(STATE_GET_READY, gameState) << "a first level only starts at once";
}

} // namespace
