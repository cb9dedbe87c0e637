// The SMS watch over the simulated messaging system: start-up failing at each step, teardown,
// and new messages counted from the messaging system's own thread.
#include "lang/DExceptionBase.h"
#include "platform/modules/ModuleTable.h"
#include "platform/sim/MapiSimulation.h"
#include "platform/testing/ThreadFaults.h"
#include "platform/threads.h"
#include "wireless/messaging/Messaging.h"

#include <gtest/gtest.h>

using namespace qev::lang;
using namespace qev::wireless::messaging;
using platform::sim::FolderPropertyAnswer;
using platform::sim::MapiSimulation;
using platform::sim::MapiStep;

namespace {

const std::vector<uint8_t> kWatched = {0xF0, 0xF1, 0xF2};
const std::vector<uint8_t> kOtherFolder = {0xF0, 0xF1, 0xF3};

platform::sim::MapiConfig smsDevice()
{
    platform::sim::MapiConfig c;
    c.stores = {{u"Outlook", {1, 2, 3, 4}, {9, 9}},
                {u"SMSx", {5, 5}, kOtherFolder},
                {u"SMS", {7, 8, 9}, kWatched}};
    c.folders = {kWatched, kOtherFolder};
    return c;
}

struct CountingListener : DMessageListener
{
    void notifyIncomingMessage(DPtr<DMessageConnection> connection) override
    {
        ++count;
        last = connection.get();
    }
    int count = 0;
    DMessageConnection* last = nullptr;
};

DMessageConnectionPtr connectionWith(DPtr<CountingListener> listener)
{
    DMessageConnectionPtr c = new DMessageConnection;
    c->setMessageListener(listener);
    return c;
}

class SmsWatch : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        stopMessaging();
        expectNothingAlive();
        setMessagingEnabled(false);
        platform::setMutexCreationFails(false);
        MapiSimulation::setSmsLibraryPresent(false);
        MapiSimulation::uninstall();
    }

    static void expectNothingAlive()
    {
        EXPECT_FALSE(messagingWatching());
        EXPECT_EQ(0, MapiSimulation::liveObjects());
        EXPECT_EQ(0, MapiSimulation::liveBuffers());
        EXPECT_EQ(0, MapiSimulation::liveSubscriptions());
        const auto c = MapiSimulation::counters();
        EXPECT_EQ(c.initializes, c.uninitializes);
        EXPECT_EQ(0, c.badFrees);
    }
};

} // namespace

TEST_F(SmsWatch, WithoutAMessagingSystemTheWatchStaysOff)
{
    startMessaging(nullptr);
    EXPECT_FALSE(messagingWatching());
    auto listener = DPtr<CountingListener>(new CountingListener);
    registerMessageConnection(connectionWith(listener));
    pollMessages();
    EXPECT_EQ(0, listener->count);
    stopMessaging();
    stopMessaging();
    EXPECT_EQ(0, MapiSimulation::counters().initializes);
}

TEST_F(SmsWatch, WatchesTheStoreNamedSmsAndStopReleasesEverything)
{
    MapiSimulation::install(smsDevice());
    MapiSimulation::setSmsLibraryPresent(true);
    startMessaging(nullptr);
    ASSERT_TRUE(messagingWatching());
    EXPECT_EQ(1, platform::ModuleTable::loadCount("sms.dll"));
    EXPECT_EQ(1, MapiSimulation::liveSubscriptions());
    EXPECT_EQ(3, MapiSimulation::liveObjects()); // session, store, folder
    EXPECT_EQ(1, MapiSimulation::liveBuffers()); // the folder's ID
    // The named mutex exists while the watch runs.
    HANDLE m = CreateMutexW(nullptr, FALSE, u"dsmsaccess");
    EXPECT_EQ(ERROR_ALREADY_EXISTS, static_cast<int>(GetLastError()));
    CloseHandle(m);
    stopMessaging();
    expectNothingAlive();
    EXPECT_EQ(0, platform::ModuleTable::loadCount("sms.dll"));
    // Starting again after a stop works the same.
    startMessaging(nullptr);
    EXPECT_TRUE(messagingWatching());
}

TEST_F(SmsWatch, EachFailingStepLeavesTheWatchOffWithNothingAlive)
{
    for (MapiStep step :
         {MapiStep::Initialize, MapiStep::Logon, MapiStep::StoresTable, MapiStep::SetColumns,
          MapiStep::OpenMsgStore, MapiStep::GetProps, MapiStep::OpenEntry, MapiStep::Advise}) {
        SCOPED_TRACE(static_cast<int>(step));
        auto config = smsDevice();
        config.failAt = step;
        MapiSimulation::install(config);
        startMessaging(nullptr);
        expectNothingAlive();
        stopMessaging();
        expectNothingAlive();
    }
    // The store answers without the folder property, or with more than was asked.
    for (auto answer : {FolderPropertyAnswer::Error, FolderPropertyAnswer::TwoValues}) {
        auto config = smsDevice();
        config.folderProperty = answer;
        MapiSimulation::install(config);
        startMessaging(nullptr);
        expectNothingAlive();
    }
    // No store named exactly "SMS", and a watched folder the store cannot open.
    auto noSms = smsDevice();
    noSms.stores.pop_back();
    MapiSimulation::install(noSms);
    startMessaging(nullptr);
    expectNothingAlive();
    auto noFolder = smsDevice();
    noFolder.folders = {kOtherFolder};
    MapiSimulation::install(noFolder);
    startMessaging(nullptr);
    expectNothingAlive();
    // Without its mutex the sink is released and never handed to the store.
    MapiSimulation::install(smsDevice());
    platform::setMutexCreationFails(true);
    startMessaging(nullptr);
    platform::setMutexCreationFails(false);
    expectNothingAlive();
    EXPECT_EQ(0, MapiSimulation::counters().advises);
}

TEST_F(SmsWatch, NewMessagesAreCountedFromTheMessagingThreadAndHandedOutOnePerTick)
{
    MapiSimulation::install(smsDevice());
    startMessaging(nullptr);
    ASSERT_TRUE(messagingWatching());
    auto listener = DPtr<CountingListener>(new CountingListener);
    DMessageConnectionPtr connection = connectionWith(listener);
    registerMessageConnection(connection);
    // As the program leaves it, the flag is off: nothing is counted.
    MapiSimulation::fireObjectCreated(kWatched, 3);
    EXPECT_EQ(0, pendingMessageCount());
    pollMessages();
    EXPECT_EQ(0, listener->count);

    setMessagingEnabled(true);
    MapiSimulation::fireObjectCreated(kWatched, 3);
    MapiSimulation::fireObjectCreated(kOtherFolder, 2);
    MapiSimulation::fireObjectCreated({0xF0, 0xF1}, 1); // a prefix of the ID is not the folder
    EXPECT_EQ(3, pendingMessageCount());
    for (int tick = 1; tick <= 4; ++tick) {
        pollMessages();
        EXPECT_EQ(std::min(tick, 3), listener->count) << tick;
    }
    EXPECT_EQ(connection.get(), listener->last);
    EXPECT_EQ(0, pendingMessageCount());

    // Two connections with listeners and one without: one message each per tick.
    auto second = DPtr<CountingListener>(new CountingListener);
    registerMessageConnection(new DMessageConnection);
    registerMessageConnection(connectionWith(second));
    MapiSimulation::fireObjectCreated(kWatched, 3);
    pollMessages();
    EXPECT_EQ(4, listener->count);
    EXPECT_EQ(1, second->count);
    pollMessages();
    EXPECT_EQ(5, listener->count);
    EXPECT_EQ(1, second->count);
}

TEST_F(SmsWatch, StoreListGivesNamesAndIdsAndFreesEveryRow)
{
    MapiSimulation::install(smsDevice());
    ASSERT_EQ(S_OK, MAPIInitialize(nullptr));
    IMAPISession* session = nullptr;
    ASSERT_EQ(S_OK, MAPILogonEx(0, u"", u"", 0, &session));
    DMAPIEntryArrayPtr stores = listMessageStores(session);
    ASSERT_TRUE(stores);
    ASSERT_EQ(3, stores->length);
    EXPECT_TRUE((*stores)[0]->name->equals(u"Outlook"));
    EXPECT_TRUE((*stores)[2]->name->equals(u"SMS"));
    ASSERT_EQ(3, (*stores)[2]->entryId->length);
    EXPECT_EQ(8, (*(*stores)[2]->entryId)[1]);
    EXPECT_EQ(0, MapiSimulation::liveBuffers());
    auto config = smsDevice();
    config.failAt = MapiStep::SetColumns;
    MapiSimulation::config() = config;
    EXPECT_TRUE(listMessageStores(session).isNull());
    session->Release();
    MAPIUninitialize();
}

namespace {

// Stops the whole watch when told of a message, as an application closing its connection might.
struct StoppingListener : DMessageListener
{
    void notifyIncomingMessage(DPtr<DMessageConnection>) override
    {
        ++count;
        stopMessaging();
    }
    int count = 0;
};

} // namespace

TEST_F(SmsWatch, AListenerThatStopsTheWatchEndsTheTickCleanly)
{
    MapiSimulation::install(smsDevice());
    startMessaging(nullptr);
    ASSERT_TRUE(messagingWatching());
    setMessagingEnabled(true);
    auto stopping = DPtr<StoppingListener>(new StoppingListener);
    auto counting = DPtr<CountingListener>(new CountingListener);
    DMessageConnectionPtr first = new DMessageConnection;
    first->setMessageListener(stopping);
    registerMessageConnection(first);
    registerMessageConnection(connectionWith(counting));
    MapiSimulation::fireObjectCreated(kWatched, 2);
    ASSERT_EQ(2, pendingMessageCount());
    bool threw = false;
    try {
        pollMessages();
    } catch (DExceptionBase* e) {
        threw = true;
        delete e;
    }
    EXPECT_FALSE(threw);
    EXPECT_EQ(1, stopping->count);
    EXPECT_EQ(0, counting->count); // the watch was gone before its turn
    expectNothingAlive();
    pollMessages();
    EXPECT_EQ(1, stopping->count);
}
