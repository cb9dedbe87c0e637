// The messaging simulation's own guarantees, on which the SMS watch tests rely: no messaging
// system unless switched on, one row per query, every object and buffer accounted for.
#include "platform/sim/MapiSimulation.h"
#include "platform/DeviceProfile.h"

#include <gtest/gtest.h>

using platform::sim::MapiSimulation;

namespace {

struct CountingSink : IMAPIAdviseSink
{
    HRESULT QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    ULONG OnNotify(ULONG count, LPNOTIFICATION) override
    {
        notified += static_cast<int>(count);
        return 0;
    }
    std::atomic<ULONG> refs{1};
    std::atomic<int> notified{0};
};

struct MapiSim : ::testing::Test
{
    void TearDown() override
    {
        MapiSimulation::uninstall();
        platform::DeviceProfile::reset();
    }
};

} // namespace

TEST_F(MapiSim, OffUnlessSwitchedOn)
{
    EXPECT_EQ(E_FAIL, MAPIInitialize(nullptr));
    IMAPISession* session = nullptr;
    EXPECT_EQ(E_FAIL, MAPILogonEx(0, u"", u"", 0, &session));
    EXPECT_EQ(nullptr, session);
    // The profile's switch gives a messaging system without stores.
    platform::DeviceProfile::current().mapiAvailable = true;
    ASSERT_EQ(S_OK, MAPIInitialize(nullptr));
    ASSERT_EQ(S_OK, MAPILogonEx(0, u"", u"", 0, &session));
    IMAPITable* table = nullptr;
    ASSERT_EQ(S_OK, session->GetMsgStoresTable(MAPI_UNICODE, &table));
    LPSRowSet rows = nullptr;
    ASSERT_EQ(S_OK, table->QueryRows(1, 0, &rows));
    EXPECT_EQ(0u, rows->cRows);
    FreeProws(rows);
    table->Release();
    session->Release();
    MAPIUninitialize();
    EXPECT_EQ(0, MapiSimulation::liveObjects());
    EXPECT_EQ(0, MapiSimulation::liveBuffers());
}

TEST_F(MapiSim, RowsObjectsBuffersAndSubscriptionsAreCounted)
{
    platform::sim::MapiConfig c;
    c.stores = {{u"A", {1}, {}}, {u"SMS", {2, 3}, {9}}};
    c.folders = {{9}};
    MapiSimulation::install(c);
    ASSERT_EQ(S_OK, MAPIInitialize(nullptr));
    IMAPISession* session = nullptr;
    ASSERT_EQ(S_OK, MAPILogonEx(0, u"", u"", 0, &session));
    IMAPITable* table = nullptr;
    ASSERT_EQ(S_OK, session->GetMsgStoresTable(MAPI_UNICODE, &table));
    LPSRowSet first = nullptr, second = nullptr;
    ASSERT_EQ(S_OK, table->QueryRows(1, 0, &first));
    ASSERT_EQ(S_OK, table->QueryRows(1, 0, &second));
    ASSERT_EQ(1u, second->cRows);
    EXPECT_EQ(std::u16string(u"SMS"), second->aRow[0].lpProps[1].Value.lpszW);
    // A row set is two buffers: freeing only the set leaves the row's block behind.
    EXPECT_EQ(4, MapiSimulation::liveBuffers());
    LPSPropValue firstRow = first->aRow[0].lpProps;
    MAPIFreeBuffer(first);
    EXPECT_EQ(3, MapiSimulation::liveBuffers());
    FreeProws(second);
    MAPIFreeBuffer(first); // a second free is noticed, not done
    EXPECT_EQ(1, MapiSimulation::counters().badFrees);
    table->Release();

    const BYTE id[] = {2, 3};
    IMsgStore* store = nullptr;
    ASSERT_EQ(S_OK, session->OpenMsgStore(0, 2, reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(id)),
                                          nullptr, 0, &store));
    CountingSink sink;
    ULONG connection = 0;
    ASSERT_EQ(S_OK, store->Advise(0, nullptr, fnevObjectCreated, &sink, &connection));
    EXPECT_EQ(2u, sink.refs.load());
    MapiSimulation::fireObjectCreated({9}, 2);
    EXPECT_EQ(2, sink.notified.load());
    // Releasing the store ends its subscription and gives the sink's reference back.
    store->Release();
    EXPECT_EQ(0, MapiSimulation::liveSubscriptions());
    EXPECT_EQ(1u, sink.refs.load());
    session->Release();
    MAPIUninitialize();
    EXPECT_EQ(0, MapiSimulation::liveObjects());
    EXPECT_EQ(1, MapiSimulation::liveBuffers()); // the first set's row block
    MAPIFreeBuffer(firstRow);
    EXPECT_EQ(0, MapiSimulation::liveBuffers());
}

TEST_F(MapiSim, UninstallingForgetsWhatTheLastInstallationCounted)
{
    MapiSimulation::install({});
    ASSERT_EQ(S_OK, MAPIInitialize(nullptr));
    IMAPISession* session = nullptr;
    ASSERT_EQ(S_OK, MAPILogonEx(0, u"", u"", 0, &session));
    session->Release();
    MAPIUninitialize();
    EXPECT_EQ(1, MapiSimulation::counters().initializes);
    EXPECT_EQ(1, MapiSimulation::counters().logons);
    MapiSimulation::uninstall();
    // Without a messaging system nothing has been counted, as in a fresh process.
    EXPECT_EQ(0, MapiSimulation::counters().initializes);
    EXPECT_EQ(0, MapiSimulation::counters().uninitializes);
    EXPECT_EQ(0, MapiSimulation::counters().logons);
}
