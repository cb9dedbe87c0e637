#include "ShellFixture.h"

#include "gamelib/GameMenu.h"

#include "microedition/rms/DRecordStore.h"

#include "platform/registry.h"
#include "platform/testing/RegistryFaults.h"
#include "platform/window/WindowSystem.h"

#include <climits>

using gamelib::GameMenu;
using qev::lang::DbyteArray;
using qev::lang::DbyteArrayPtr;
using qev::microedition::rms::DRecordStore;
using qev::microedition::rms::DRecordStorePtr;

namespace {

class Options : public shelltest::ShellTest
{
  protected:
    // The store's records as they are kept, or -1 records when it does not exist.
    static int32_t records(const char16_t* store)
    {
        int32_t n = -1;
        try {
            DRecordStorePtr s = DRecordStore::openRecordStore(store, false);
            n = s->getNumRecords();
            s->closeRecordStore();
        } catch (qev::lang::DExceptionBase* e) {
            delete e;
        }
        return n;
    }
    static void writeRaw(const char16_t* store, std::initializer_list<int> bytes)
    {
        DRecordStorePtr s = DRecordStore::openRecordStore(store, true);
        DbyteArrayPtr a = new DbyteArray(static_cast<int32_t>(bytes.size()));
        int32_t i = 0;
        for (int b : bytes)
            a[i++] = static_cast<int8_t>(b);
        s->addRecord(a, 0, a->length);
        s->closeRecordStore();
    }
};

TEST_F(Options, AnOptionNeverWrittenGivesTheDefaultAndLeavesAnEmptyStore)
{
    EXPECT_EQ(-1, records(u"op_openimgs"));
    EXPECT_EQ(2, GameMenu::loadOption(u"openimgs", 2));
    EXPECT_EQ(0, records(u"op_openimgs"));
    EXPECT_EQ(7, GameMenu::loadOption(u"openimgs", 7));
}

TEST_F(Options, AValueIsFourBigEndianBytesInRecordOne)
{
    GameMenu::saveOption(u"tessarinesfx_level", 0x01020304);
    DRecordStorePtr s = DRecordStore::openRecordStore(u"op_tessarinesfx_level", false);
    DbyteArrayPtr r = s->getRecord(1);
    s->closeRecordStore();
    ASSERT_EQ(4, r->length);
    EXPECT_EQ(1, r[0]);
    EXPECT_EQ(2, r[1]);
    EXPECT_EQ(3, r[2]);
    EXPECT_EQ(4, r[3]);
}

TEST_F(Options, SavingAgainOverwritesTheOneRecord)
{
    GameMenu::saveOption(u"mirrowfenmusic_level", 3);
    GameMenu::saveOption(u"mirrowfenmusic_level", 1);
    EXPECT_EQ(1, records(u"op_mirrowfenmusic_level"));
    EXPECT_EQ(1, GameMenu::loadOption(u"mirrowfenmusic_level", 2));
}

TEST_F(Options, ExtremeAndNegativeValuesRoundTrip)
{
    for (int32_t v : {-1, INT_MIN, INT_MAX, 0}) {
        GameMenu::saveOption(u"corvantineopenlevel", v);
        EXPECT_EQ(v, GameMenu::loadOption(u"corvantineopenlevel", 1));
    }
}

TEST_F(Options, AShortRecordGivesTheDefault)
{
    writeRaw(u"op_short", {0, 5});
    EXPECT_EQ(9, GameMenu::loadOption(u"short", 9));
    // A later save repairs it.
    GameMenu::saveOption(u"short", 5);
    EXPECT_EQ(5, GameMenu::loadOption(u"short", 9));
}

TEST_F(Options, OptionsAreKeptApart)
{
    GameMenu::saveOption(u"a", 1);
    GameMenu::saveOption(u"b", 2);
    EXPECT_EQ(1, GameMenu::loadOption(u"a", 0));
    EXPECT_EQ(2, GameMenu::loadOption(u"b", 0));
}

// A full disk: the changes made meanwhile are lost, the player is told once, what was saved
// before stays, and the next change after room is made again is kept.
TEST_F(Options, ChangesOnAFullDiskAreToldOnceAndSavedAgainWhenThereIsRoom)
{
    profile().messageBoxes = platform::MessageBoxMode::Recorded;
    const size_t boxesBefore = platform::WindowSystem::recordedMessageBoxes().size();
    struct RoomAgain
    {
        ~RoomAgain() { platform::RegistryFaults::limitDiskRoom(-1); }
    } roomAgain;
    platform::Registry::closeDatabase();
    platform::RegistryFaults::limitDiskRoom(int64_t{1} << 30);
    GameMenu::saveOption(u"tessarinesfx_level", 3);

    platform::RegistryFaults::limitDiskRoom(0);
    GameMenu::saveOption(u"tessarinesfx_level", 1);
    GameMenu::saveOption(u"corvantinemusic_level", 0);
    EXPECT_EQ(3, GameMenu::loadOption(u"tessarinesfx_level", 2));
    EXPECT_EQ(-1, records(u"op_corvantinemusic_level"));
    const auto& boxes = platform::WindowSystem::recordedMessageBoxes();
    ASSERT_EQ(boxesBefore + 1, boxes.size());
    EXPECT_NE(std::string::npos, boxes.back().text.find("disk is full")) << boxes.back().text;

    platform::RegistryFaults::limitDiskRoom(-1);
    GameMenu::saveOption(u"tessarinesfx_level", 1);
    platform::Registry::closeDatabase();
    EXPECT_EQ(1, GameMenu::loadOption(u"tessarinesfx_level", 2));
    EXPECT_EQ(boxesBefore + 1, boxes.size());
}

} // namespace
