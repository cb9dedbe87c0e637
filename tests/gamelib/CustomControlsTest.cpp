// The key-configuration dialog as a game shows it: default keys on first use, capture with "?",
// duplicate removal, set-default, ok and cancel by keys and taps, and the store "keys_<game>".
#include "MenuOwnerFixture.h"

#include "gamelib/CustomControls.h"
#include "gamelib/TextTable.h"

#include "microedition/lcdui/DeviceKeys.h"
#include "microedition/rms/DRecordStore.h"

using qev::microedition::lcdui::kKeyAction;
using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeySoftRight;

using gamelib::CustomControls;
using qev::lang::dcast;
using qev::lang::DintArray;
using qev::microedition::rms::DRecordStore;
using namespace menutest;

namespace {

constexpr int32_t kFire = '5';
constexpr int32_t kUp = '2';
constexpr int32_t kDown = '8';
constexpr int32_t kRight = '6';
// Left, right and fire.
constexpr int32_t kMask = 28;

class CustomControlsTest : public MenuOwnerTest
{
  protected:
    void SetUp() override
    {
        startOwner();
        controls = new CustomControls(kMask);
        controls->init(u"testgame");
        keys = controls->loadKeys();
        owner->controls = controls;
        owner->view = View::Controls;
        step();
    }
    int32_t key(int32_t action, int32_t column) const
    {
        return (*dcast<DintArray>((*keys)[action]))[column];
    }
    // Centre of cell (row, column) and of a button row.
    int cellX(int column) const { return 10 + 110 + column * 55 + 27; }
    int rowY(int row) const { return 10 + row * controls->rowHeight + controls->rowHeight / 2; }
    int buttonY(int index) const { return rowY(index + 1); }
    // Records of the store, each as bytes.
    static std::vector<std::string> records()
    {
        qev::microedition::rms::DRecordStorePtr s =
            DRecordStore::openRecordStore(u"keys_testgame", true);
        std::vector<std::string> out;
        for (int32_t id = 1; id <= s->getNumRecords(); ++id) {
            qev::lang::DbyteArrayPtr r = s->getRecord(id);
            out.emplace_back(reinterpret_cast<const char*>(r->getData()),
                             static_cast<size_t>(r->length));
        }
        s->closeRecordStore();
        return out;
    }
    static std::string be32(int32_t v)
    {
        const uint32_t u = static_cast<uint32_t>(v);
        return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                static_cast<char>(u)};
    }

    gamelib::CustomControlsPtr controls;
    qev::lang::DObjectArrayPtr keys;
};

TEST_F(CustomControlsTest, WithoutABackgroundTheDialogIsDrawnOnBlackNotOverTheGame)
{
    // The owner paints the screen white first, as a game's last screen would leave it.
    EXPECT_TRUE(pixelIs(5, 160, 0x000000));
    EXPECT_TRUE(pixelIs(120, 290, 0x000000));
    EXPECT_TRUE(pixelIs(10, 12, controls->gridColour)) << "the grid is drawn over it";
}

TEST_F(CustomControlsTest, FirstUseShowsTheCanvasDefaultKeysWithoutStoringThem)
{
    EXPECT_EQ(3, controls->count);
    EXPECT_FALSE((*keys)[0]) << "up is not configurable with this mask";
    EXPECT_EQ('4', key(2, 0));
    EXPECT_EQ(37, key(2, 1));
    EXPECT_EQ('6', key(3, 0));
    EXPECT_EQ(kKeyAction, key(4, 1));
    EXPECT_TRUE(records().empty());
    // "4" in the first cell, "Left" in the second, the action name at the left.
    EXPECT_TRUE(pixelIs(cellX(0), rowY(0), kSmallColour));
    EXPECT_TRUE(pixelIs(cellX(1) - 8, rowY(0), kSmallColour));
    EXPECT_TRUE(pixelIs(65, rowY(0), kHudColour));
    EXPECT_TRUE(pixelIs(120, buttonY(3), kMenuColour)) << "set_default";
    EXPECT_TRUE(pixelIs(2, 316, kHudColour)) << "the ok soft key";
    EXPECT_TRUE(pixelIs(237, 316, kHudColour)) << "the cancel soft key";
}

TEST_F(CustomControlsTest, ACapturedKeyIsBoundAndRemovedFromTheOtherCells)
{
    press(kRight);
    press(kFire);
    EXPECT_TRUE(controls->capturing);
    EXPECT_FALSE(pixelIs(cellX(1) - 8, rowY(0), kSmallColour)) << "\"?\" replaces \"Left\"";
    EXPECT_TRUE(pixelIs(cellX(1), rowY(0), kSmallColour));
    EXPECT_FALSE(pixelIs(2, 316, kHudColour)) << "no ok soft key while capturing";
    press('6');
    EXPECT_FALSE(controls->capturing);
    EXPECT_EQ('6', key(2, 1));
    EXPECT_EQ(-1, key(3, 0)) << "the right action lost its key";
    EXPECT_EQ(39, key(3, 1));
    EXPECT_FALSE(pixelIs(cellX(0), rowY(1), kSmallColour)) << "an empty cell";

    controls->duplicatesAllowed = true;
    press(kFire);
    press(39);
    EXPECT_EQ(39, key(2, 1));
    EXPECT_EQ(39, key(3, 1)) << "duplicates allowed: the other cell keeps it";
}

TEST_F(CustomControlsTest, OkStoresOneRecordPerActionAndSavingAgainOverwrites)
{
    press(kFire);
    press('Q');
    for (int i = 0; i < 4; ++i)
        press(kDown);
    EXPECT_TRUE(pixelIs(120, buttonY(4), kMenuSelColour)) << "ok is selected";
    press(kFire);
    EXPECT_EQ(CustomControls::CONFIRMED, owner->controlsResult);
    EXPECT_EQ((std::vector<std::string>{be32('Q') + be32(37), be32('6') + be32(39),
                                        be32('5') + be32(kKeyAction)}),
              records());

    press(kFire); // the selection is still on ok: fire here means the left soft key
    EXPECT_EQ(2, owner->controlsExits);
    EXPECT_EQ(CustomControls::CONFIRMED, owner->controlsResult);
    controls->row = 2;
    controls->column = 1;
    press(kFire);
    press('F');
    press(kKeySoftLeft);
    const std::vector<std::string> stored = records();
    ASSERT_EQ(3u, stored.size()) << "records 1 to 3 overwritten in place";
    EXPECT_EQ(be32('5') + be32('F'), stored[2]);

    gamelib::CustomControlsPtr other = new CustomControls(kMask);
    other->init(u"testgame");
    qev::lang::DObjectArrayPtr loaded = other->loadKeys();
    EXPECT_EQ('Q', (*dcast<DintArray>((*loaded)[2]))[0]);
    EXPECT_EQ('F', (*dcast<DintArray>((*loaded)[4]))[1]);
}

TEST_F(CustomControlsTest, CancelRestoresTheStoredKeysInTheArraysTheGameHolds)
{
    qev::lang::DintArrayPtr fireKeys = dcast<DintArray>((*keys)[4]);
    controls->saveKeys();
    controls->row = 2;
    press(kFire);
    press('Z');
    EXPECT_EQ('Z', key(4, 0));
    press(kKeySoftRight);
    EXPECT_EQ(CustomControls::CANCELLED, owner->controlsResult);
    EXPECT_EQ('5', key(4, 0));
    EXPECT_EQ(fireKeys.get(), (*keys)[4].get()) << "the game's arrays are updated in place";
    EXPECT_EQ('5', (*fireKeys)[0]);
}

TEST_F(CustomControlsTest, TheDialogsKeysReachTheCanvasMapOfTheGame)
{
    gamelib::screenCanvas->setKeyMapping(gamelib::screenCanvas->getKeySet(), keys);
    gamelib::screenCanvas->rebuildKeyMap(gamelib::screenCanvas->getKeySet());
    EXPECT_EQ(4, gamelib::screenCanvas->getGameAction('5'));
    controls->row = 2;
    press(kFire);
    press('M');
    press(kKeySoftLeft);
    // The game applies the same table again when the dialog closes.
    gamelib::screenCanvas->rebuildKeyMap(gamelib::screenCanvas->getKeySet());
    EXPECT_EQ(4, gamelib::screenCanvas->getGameAction('M'));
}

TEST_F(CustomControlsTest, AStoreWithAShortRecordGivesTheDefaultKeys)
{
    qev::microedition::rms::DRecordStorePtr s =
        DRecordStore::openRecordStore(u"keys_testgame", true);
    for (const std::string& bytes : {be32('A') + be32('B'), be32('C') + be32('D'), be32('E')}) {
        qev::lang::DbyteArrayPtr r = new qev::lang::DbyteArray(static_cast<int32_t>(bytes.size()));
        for (size_t i = 0; i < bytes.size(); ++i)
            (*r)[static_cast<int32_t>(i)] = static_cast<int8_t>(bytes[i]);
        s->addRecord(r, 0, r->length);
    }
    s->closeRecordStore();
    EXPECT_EQ(keys.get(), controls->loadKeys().get());
    EXPECT_EQ('4', key(2, 0)) << "the damaged table is not half used";
    EXPECT_EQ('6', key(3, 0));
    EXPECT_EQ(kKeyAction, key(4, 1));
}

TEST_F(CustomControlsTest, TheSelectionWrapsBetweenTheFirstRowAndCancel)
{
    press(kUp);
    EXPECT_EQ(5, controls->row);
    EXPECT_TRUE(pixelIs(120, buttonY(5), kMenuSelColour)) << "cancel is selected";
    press(kDown);
    EXPECT_EQ(0, controls->row);
    EXPECT_TRUE(pixelIs(120, buttonY(5), kMenuColour));
    controls->buttonsHidden = true;
    press(kUp);
    EXPECT_EQ(3, controls->row) << "without buttons the last row is set_default";
}

TEST_F(CustomControlsTest, SetDefaultBringsBackTheCanvasKeys)
{
    press(kFire);
    press('K');
    EXPECT_EQ('K', key(2, 0));
    controls->row = 3;
    press(kFire);
    EXPECT_EQ('4', key(2, 0));
    EXPECT_EQ(0, owner->controlsExits) << "the dialog stays";
}

TEST_F(CustomControlsTest, ASecondTapOnACellStartsCaptureAndTheSoftKeysWaitWhileCapturing)
{
    steps(9);
    tap(cellX(0), rowY(1));
    EXPECT_EQ(1, controls->row);
    EXPECT_FALSE(controls->capturing);
    steps(9);
    tap(cellX(0), rowY(1));
    EXPECT_TRUE(controls->capturing);
    press(kKeySoftLeft);
    EXPECT_TRUE(controls->capturing) << "the left soft key cannot be bound";
    press(kKeySoftRight);
    EXPECT_FALSE(controls->capturing);
    EXPECT_EQ('6', key(3, 0)) << "the right soft key ends capture without binding";
    EXPECT_EQ(0, owner->controlsExits);

    steps(9);
    tap(cellX(1), rowY(4) - 1 + controls->rowHeight / 2);
    EXPECT_EQ(0, owner->controlsExits) << "a tap on the empty row does nothing";
    steps(9);
    tap(5, 316);
    EXPECT_EQ(CustomControls::CONFIRMED, owner->controlsResult) << "the ok soft-key label";
    steps(9);
    tap(235, 316);
    EXPECT_EQ(CustomControls::CANCELLED, owner->controlsResult) << "the cancel soft-key label";
}

} // namespace

TEST_F(CustomControlsTest, KeysTheTextsNameShowThoseNamesAndOtherKeysTheCanvasNames)
{
    // The fixture's texts name no key: the canvas's names.
    EXPECT_EQ("Action", gamelibtest::ascii(gamelib::keyLabel(kKeyAction)));
    EXPECT_EQ("Left", gamelibtest::ascii(gamelib::keyLabel(37)));
    // The action key's cell: "Action" in six small letters, centred in the cell.
    const int y = rowY(2);
    EXPECT_TRUE(pixelIs(cellX(1) - 2 * kSmallAdvance - 1, y, kSmallColour));

    gamelib::textTable->put(gamelibtest::str("keyname_10002"), gamelibtest::str("Go"));
    EXPECT_EQ("Go", gamelibtest::ascii(gamelib::keyLabel(kKeyAction)));
    EXPECT_EQ("Left", gamelibtest::ascii(gamelib::keyLabel(37))) << "only the named key changes";
    EXPECT_EQ("6", gamelibtest::ascii(gamelib::keyLabel(kRight)));
    step();
    // Now two letters: the cell's left part stays empty, its middle is written.
    EXPECT_FALSE(pixelIs(cellX(1) - 2 * kSmallAdvance - 1, y, kSmallColour));
    EXPECT_TRUE(pixelIs(cellX(1) - 3, y, kSmallColour));
}
