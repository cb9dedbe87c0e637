#include "wireless/messaging/Messaging.h"

#include "lang/DExceptionBase.h"
#include "platform/EmulatedDevice.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "util/DVector.h"
#include "wireless/messaging/MAPIAdviseSink.h"
#include "wireless/messaging/WatchCounter.h"

#include <cstring>

namespace qev::wireless::messaging {

using namespace qev::lang;

namespace {

constexpr ULONG kWatchedFolderTag = PROP_TAG(PT_BINARY, 0x8106);

// Every pointer is cleared as its object is released, so that teardown can run from any state.
struct Watch
{
    HMODULE sms = nullptr;
    FARPROC smsOpen = nullptr;
    FARPROC smsClose = nullptr;
    FARPROC smsSendMessage = nullptr;
    qev::util::DVectorPtr connections;
    bool initialized = false;
    IMAPISession* session = nullptr;
    IMsgStore* store = nullptr;
    IUnknown* folder = nullptr;
    LPSPropValue folderIdBlock = nullptr; // the property block that holds the folder's ID
    MAPIAdviseSink* sink = nullptr;
    ULONG connection = 0;
    bool advised = false;
};

Watch& watch()
{
    static auto* w = new Watch;
    return *w;
}

template <class T> void releaseObject(T*& object)
{
    if (object) {
        T* o = object;
        object = nullptr;
        o->Release();
    }
}

// Releases every messaging object in the order the watch was built backwards: subscription,
// folder ID, folder, store, session, initialisation, sink and mutex.
void teardown()
{
    Watch& w = watch();
    MAPIFreeBuffer(w.folderIdBlock);
    w.folderIdBlock = nullptr;
    if (w.advised && w.store)
        w.store->Unadvise(w.connection);
    w.advised = false;
    w.connection = 0;
    releaseObject(w.folder);
    releaseObject(w.store);
    releaseObject(w.session);
    if (w.initialized) {
        w.initialized = false;
        MAPIUninitialize();
    }
    releaseObject(w.sink);
    if (HANDLE m = watchCounter().mutex.exchange(nullptr))
        CloseHandle(m);
}

DMAPIEntryPtr entryOf(const SRow& row)
{
    DMAPIEntryPtr e = new DMAPIEntry;
    for (ULONG i = 0; i < row.cValues && row.lpProps; ++i) {
        const SPropValue& v = row.lpProps[i];
        if (v.ulPropTag == PR_DISPLAY_NAME_W && v.Value.lpszW) {
            e->name = new DString(v.Value.lpszW);
        } else if (v.ulPropTag == PR_ENTRYID) {
            e->entryId = new DbyteArray(static_cast<int32_t>(v.Value.bin.cb));
            if (v.Value.bin.cb && v.Value.bin.lpb)
                std::memcpy(e->entryId->getData(), v.Value.bin.lpb, v.Value.bin.cb);
        }
    }
    return e;
}

// The steps of the start after MAPIInitialize; false at the first that fails.
bool subscribe(HWND window)
{
    Watch& w = watch();
    if (FAILED(MAPILogonEx(reinterpret_cast<ULONG_PTR>(window), u"", u"", 0, &w.session))) {
        w.session = nullptr;
        return false;
    }
    DMAPIEntryArrayPtr stores = listMessageStores(w.session);
    DMAPIEntryPtr sms;
    for (int32_t i = 0; stores && i < stores->length && !sms; ++i) {
        DMAPIEntryPtr e = (*stores)[i];
        if (e && e->name && e->entryId && e->name->equals(u"SMS"))
            sms = e;
    }
    if (!sms)
        return false;
    if (FAILED(w.session->OpenMsgStore(0, static_cast<ULONG>(sms->entryId->length),
                                       reinterpret_cast<LPENTRYID>(sms->entryId->getData()),
                                       nullptr, MDB_NO_DIALOG | MAPI_BEST_ACCESS, &w.store))) {
        w.store = nullptr;
        return false;
    }
    SizedSPropTagArray(1, tags) = {1, {kWatchedFolderTag}};
    ULONG count = 0;
    HRESULT hr = w.store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count,
                                   &w.folderIdBlock);
    if (FAILED(hr) || count != 1 || !w.folderIdBlock ||
        w.folderIdBlock[0].ulPropTag != kWatchedFolderTag)
        return false;
    const SBinary id = w.folderIdBlock[0].Value.bin;
    ULONG type = 0;
    if (FAILED(w.store->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, 2, &type,
                                  &w.folder))) {
        w.folder = nullptr;
        return false;
    }
    w.sink = new MAPIAdviseSink(id.lpb, id.cb);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"dsmsaccess");
    if (!mutex)
        return false; // the sink goes with the rest, never to Advise
    watchCounter().mutex = mutex;
    if (FAILED(w.store->Advise(0, nullptr, fnevObjectCreated, w.sink, &w.connection)))
        return false;
    w.advised = true;
    return true;
}

} // namespace

WatchCounter& watchCounter()
{
    static auto* c = new WatchCounter;
    return *c;
}

DMAPIEntryArrayPtr listMessageStores(IMAPISession* session)
{
    IMAPITable* table = nullptr;
    if (!session || FAILED(session->GetMsgStoresTable(MAPI_UNICODE, &table)) || !table)
        return nullptr;
    SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME_W}};
    if (FAILED(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0))) {
        table->Release();
        return nullptr;
    }
    qev::util::DVectorPtr entries = new qev::util::DVector;
    try {
        for (;;) {
            LPSRowSet rows = nullptr;
            HRESULT hr = table->QueryRows(1, 0, &rows);
            if (FAILED(hr) || !rows || rows->cRows != 1) {
                FreeProws(rows);
                break;
            }
            DMAPIEntryPtr e;
            try {
                e = entryOf(rows->aRow[0]);
            } catch (...) {
                FreeProws(rows);
                throw;
            }
            // Rows are freed whole: the set and the property block of its row.
            FreeProws(rows);
            entries->addElement(e);
        }
    } catch (...) {
        table->Release();
        throw;
    }
    table->Release();
    DMAPIEntryArrayPtr result = new DMAPIEntryArray(entries->size());
    entries->copyInto(result);
    return result;
}

void startMessaging(HWND window)
{
    stopMessaging();
    Watch& w = watch();
    w.sms = LoadLibraryW(u"sms.dll");
    if (w.sms) {
        w.smsOpen = GetProcAddressW(w.sms, u"SmsOpen");
        w.smsClose = GetProcAddressW(w.sms, u"SmsClose");
        w.smsSendMessage = GetProcAddressW(w.sms, u"SmsSendMessage");
    }
    w.connections = new qev::util::DVector;
    watchCounter().pending = 0;
    if (FAILED(MAPIInitialize(nullptr)))
        return;
    w.initialized = true;
    bool watching = false;
    try {
        watching = subscribe(window);
    } catch (DExceptionBase* e) {
        if (!e->isException())
            throw;
        delete e;
    }
    if (!watching)
        teardown();
}

void stopMessaging()
{
    Watch& w = watch();
    if (w.sms) {
        w.smsOpen = w.smsClose = w.smsSendMessage = nullptr;
        FreeLibrary(w.sms);
        w.sms = nullptr;
    }
    w.connections = nullptr;
    teardown();
}

void pollMessages()
{
    Watch& w = watch();
    WatchCounter& c = watchCounter();
    // A listener may stop the watch: the list it walks stays alive, and a stopped watch (no
    // sink) hands out nothing more.
    qev::util::DVectorPtr connections = w.connections;
    if (!connections)
        return;
    for (int32_t i = 0; i < connections->size(); ++i) {
        DMessageConnectionPtr conn = dcast<DMessageConnection>(connections->elementAt(i));
        if (!w.sink || !conn || !conn->listener || c.pending < 1)
            continue;
        HANDLE m = c.mutex;
        bool taken = false;
        if (m && WaitForSingleObject(m, INFINITE) == WAIT_OBJECT_0) {
            if (c.pending >= 1) {
                --c.pending;
                taken = true;
            }
            ReleaseMutex(m);
        }
        // A message is handed out only once it has been taken from the count.
        if (taken)
            conn->listener->notifyIncomingMessage(conn);
    }
}

bool messagingWatching()
{
    Watch& w = watch();
    return w.session && w.store && w.folder && w.sink && w.advised && watchCounter().mutex;
}

int pendingMessageCount()
{
    return watchCounter().pending;
}

// A fresh device has no watch running and messaging switched off.
[[maybe_unused]] static const bool g_resetAdded = platform::EmulatedDevice::addReset([] {
    stopMessaging();
    setMessagingEnabled(false);
});

void setMessagingEnabled(bool enabled)
{
    watchCounter().enabled = enabled ? 1 : 0;
}

void registerMessageConnection(DMessageConnectionPtr connection)
{
    if (watch().connections)
        watch().connections->addElement(connection);
}

} // namespace qev::wireless::messaging
