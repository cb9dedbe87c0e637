#include "platform/sim/MapiSimulation.h"

#include "MapiInternal.h"
#include "platform/DeviceProfile.h"
#include "platform/modules/ModuleTable.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

namespace platform::sim {

namespace {

struct State
{
    std::mutex lock;
    bool installed = false;
    MapiConfig config;
    MapiCounters counters;
    std::set<void*> buffers;
};

State& state()
{
    static auto* s = new State;
    return *s;
}

std::atomic<int> g_liveObjects{0};

struct Subscription
{
    ULONG connection;
    ULONG mask;
    IMAPIAdviseSink* sink;
};

std::vector<Subscription>& subscriptions()
{
    static auto* v = new std::vector<Subscription>;
    return *v;
}

template <class Interface> class SimObject : public Interface
{
  public:
    SimObject() { ++g_liveObjects; }
    ~SimObject() override { --g_liveObjects; }
    HRESULT QueryInterface(REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOTIMPL;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

  private:
    std::atomic<ULONG> m_refs{1};
};

bool sameBytes(ULONG cb, const void* bytes, const std::vector<uint8_t>& id)
{
    return bytes && cb == id.size() && std::memcmp(bytes, id.data(), cb) == 0;
}

// One property block: the values, then the text and binary data they point to.
LPSPropValue propBlock(const std::vector<std::pair<ULONG, std::vector<uint8_t>>>& values)
{
    // Each value's data starts on an 8-byte boundary, as text must be aligned for its units.
    auto padded = [](size_t n) { return (n + sizeof(char16_t) + 7) & ~size_t{7}; };
    size_t size = values.size() * sizeof(SPropValue);
    for (const auto& v : values)
        size += padded(v.second.size());
    auto* props = static_cast<LPSPropValue>(mapi::allocate(size));
    if (!props)
        return nullptr;
    auto* data = reinterpret_cast<uint8_t*>(props + values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const auto& [tag, bytes] = values[i];
        props[i].ulPropTag = tag;
        props[i].dwAlignPad = 0;
        if (!bytes.empty())
            std::memcpy(data, bytes.data(), bytes.size());
        std::memset(data + bytes.size(), 0, sizeof(char16_t));
        if (PROP_TYPE(tag) == PT_UNICODE) {
            props[i].Value.lpszW = reinterpret_cast<LPWSTR>(data);
        } else if (PROP_TYPE(tag) == PT_ERROR) {
            props[i].Value.err = MAPI_E_NOT_FOUND;
        } else {
            props[i].Value.bin.cb = static_cast<ULONG>(bytes.size());
            props[i].Value.bin.lpb = data;
        }
        data += padded(bytes.size());
    }
    return props;
}

std::vector<uint8_t> textBytes(const std::u16string& text)
{
    std::vector<uint8_t> b(text.size() * sizeof(char16_t));
    if (!b.empty())
        std::memcpy(b.data(), text.data(), b.size());
    return b;
}

class Table : public SimObject<IMAPITable>
{
  public:
    explicit Table(std::vector<MapiStore> stores) : m_stores(std::move(stores)) {}

    HRESULT SetColumns(LPSPropTagArray columns, ULONG) override
    {
        if (!columns || mapi::failing(MapiStep::SetColumns))
            return E_FAIL;
        m_columns.assign(columns->aulPropTag, columns->aulPropTag + columns->cValues);
        return S_OK;
    }

    HRESULT QueryRows(LONG count, ULONG, LPSRowSet* rows) override
    {
        if (!rows || count < 1)
            return E_INVALIDARG;
        *rows = nullptr;
        const size_t n = std::min<size_t>(static_cast<size_t>(count), m_stores.size() - m_next);
        auto* set = static_cast<LPSRowSet>(
            mapi::allocate(sizeof(SRowSet) + (n > 0 ? n - 1 : 0) * sizeof(SRow)));
        if (!set)
            return E_OUTOFMEMORY;
        set->cRows = 0;
        // Like the real system, every row's properties are a block of their own.
        for (size_t i = 0; i < n; ++i, ++m_next) {
            const MapiStore& store = m_stores[m_next];
            std::vector<std::pair<ULONG, std::vector<uint8_t>>> values;
            for (ULONG tag : m_columns) {
                if (tag == PR_ENTRYID)
                    values.push_back({tag, store.entryId});
                else if (tag == PR_DISPLAY_NAME_W)
                    values.push_back({tag, textBytes(store.name)});
                else
                    values.push_back({PROP_TAG(PT_ERROR, PROP_ID(tag)), {}});
            }
            SRow& row = set->aRow[i];
            row.ulAdrEntryPad = 0;
            row.cValues = static_cast<ULONG>(values.size());
            row.lpProps = propBlock(values);
            set->cRows = static_cast<ULONG>(i + 1);
        }
        *rows = set;
        return S_OK;
    }

  private:
    std::vector<MapiStore> m_stores;
    std::vector<ULONG> m_columns = {PR_ENTRYID, PR_DISPLAY_NAME_W};
    size_t m_next = 0;
};

class Folder : public SimObject<IMAPIFolder>
{
  public:
    HRESULT GetProps(LPSPropTagArray, ULONG, ULONG* count, LPSPropValue* values) override
    {
        if (count)
            *count = 0;
        if (values)
            *values = nullptr;
        return E_NOTIMPL;
    }
};

class Store : public SimObject<IMsgStore>
{
  public:
    explicit Store(MapiStore store) : m_store(std::move(store)) {}
    ~Store() override
    {
        // Releasing a store ends its subscriptions, and with them the sinks' references.
        std::vector<IMAPIAdviseSink*> sinks;
        {
            std::lock_guard<std::mutex> g(state().lock);
            auto& subs = subscriptions();
            for (auto it = subs.begin(); it != subs.end();) {
                if (m_connections.count(it->connection)) {
                    sinks.push_back(it->sink);
                    it = subs.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (IMAPIAdviseSink* s : sinks)
            s->Release();
    }

    HRESULT GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override
    {
        if (!tags || !count || !values)
            return E_INVALIDARG;
        *count = 0;
        *values = nullptr;
        if (mapi::failing(MapiStep::GetProps))
            return E_FAIL;
        FolderPropertyAnswer answer;
        {
            std::lock_guard<std::mutex> g(state().lock);
            answer = state().config.folderProperty;
        }
        std::vector<std::pair<ULONG, std::vector<uint8_t>>> v;
        HRESULT result = S_OK;
        for (ULONG i = 0; i < tags->cValues; ++i) {
            const ULONG tag = tags->aulPropTag[i];
            if (tag == PROP_TAG(PT_BINARY, 0x8106) && answer != FolderPropertyAnswer::Error) {
                v.push_back({tag, m_store.watchedFolderId});
            } else {
                v.push_back({PROP_TAG(PT_ERROR, PROP_ID(tag)), {}});
                result = MAPI_W_ERRORS_RETURNED;
            }
        }
        if (answer == FolderPropertyAnswer::TwoValues)
            v.push_back({PR_ENTRYID, m_store.entryId});
        *values = propBlock(v);
        if (!*values)
            return E_OUTOFMEMORY;
        *count = static_cast<ULONG>(v.size());
        return result;
    }

    HRESULT Advise(ULONG, LPENTRYID, ULONG mask, IMAPIAdviseSink* sink, ULONG* connection) override
    {
        if (!sink || !connection)
            return E_INVALIDARG;
        if (mapi::failing(MapiStep::Advise))
            return E_FAIL;
        static std::atomic<ULONG> next{1};
        sink->AddRef();
        *connection = next++;
        std::lock_guard<std::mutex> g(state().lock);
        subscriptions().push_back({*connection, mask, sink});
        m_connections.insert(*connection);
        ++state().counters.advises;
        return S_OK;
    }

    HRESULT Unadvise(ULONG connection) override
    {
        IMAPIAdviseSink* sink = nullptr;
        {
            std::lock_guard<std::mutex> g(state().lock);
            auto& subs = subscriptions();
            auto it = std::find_if(subs.begin(), subs.end(), [&](const Subscription& s) {
                return s.connection == connection && m_connections.count(connection);
            });
            if (it == subs.end())
                return MAPI_E_NOT_FOUND;
            sink = it->sink;
            subs.erase(it);
            m_connections.erase(connection);
            ++state().counters.unadvises;
        }
        sink->Release();
        return S_OK;
    }

    HRESULT OpenEntry(ULONG cb, LPENTRYID id, LPIID, ULONG, ULONG* type, IUnknown** object) override
    {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (mapi::failing(MapiStep::OpenEntry))
            return E_FAIL;
        std::lock_guard<std::mutex> g(state().lock);
        for (const auto& folder : state().config.folders) {
            if (sameBytes(cb, id, folder)) {
                if (type)
                    *type = MAPI_FOLDER;
                *object = new Folder;
                return S_OK;
            }
        }
        return MAPI_E_NOT_FOUND;
    }

  private:
    MapiStore m_store;
    std::set<ULONG> m_connections;
};

class Session : public SimObject<IMAPISession>
{
  public:
    HRESULT GetMsgStoresTable(ULONG, IMAPITable** table) override
    {
        if (!table)
            return E_INVALIDARG;
        *table = nullptr;
        if (mapi::failing(MapiStep::StoresTable))
            return E_FAIL;
        std::lock_guard<std::mutex> g(state().lock);
        *table = new Table(state().config.stores);
        return S_OK;
    }

    HRESULT OpenMsgStore(ULONG_PTR, ULONG cb, LPENTRYID id, LPIID, ULONG,
                         IMsgStore** store) override
    {
        if (!store)
            return E_INVALIDARG;
        *store = nullptr;
        if (mapi::failing(MapiStep::OpenMsgStore))
            return E_FAIL;
        std::lock_guard<std::mutex> g(state().lock);
        for (const MapiStore& s : state().config.stores) {
            if (sameBytes(cb, id, s.entryId)) {
                *store = new Store(s);
                return S_OK;
            }
        }
        return MAPI_E_NOT_FOUND;
    }
};

HRESULT smsFails()
{
    return E_FAIL;
}

} // namespace

namespace mapi {

bool available()
{
    {
        std::lock_guard<std::mutex> g(state().lock);
        if (state().installed)
            return true;
    }
    return DeviceProfile::current().mapiAvailable;
}

bool failing(MapiStep step)
{
    std::lock_guard<std::mutex> g(state().lock);
    return state().installed && state().config.failAt == step;
}

void countInitialize()
{
    std::lock_guard<std::mutex> g(state().lock);
    ++state().counters.initializes;
}

void countUninitialize()
{
    std::lock_guard<std::mutex> g(state().lock);
    ++state().counters.uninitializes;
}

IMAPISession* newSession()
{
    {
        std::lock_guard<std::mutex> g(state().lock);
        ++state().counters.logons;
    }
    return new Session;
}

void* allocate(size_t size)
{
    void* p = std::calloc(1, size ? size : 1);
    if (p) {
        std::lock_guard<std::mutex> g(state().lock);
        state().buffers.insert(p);
    }
    return p;
}

bool release(void* buffer)
{
    {
        std::lock_guard<std::mutex> g(state().lock);
        if (!state().buffers.erase(buffer)) {
            ++state().counters.badFrees;
            return false;
        }
    }
    std::free(buffer);
    return true;
}

} // namespace mapi

void MapiSimulation::install(const MapiConfig& config)
{
    std::lock_guard<std::mutex> g(state().lock);
    state().installed = true;
    state().config = config;
    state().counters = {};
}

void MapiSimulation::uninstall()
{
    std::lock_guard<std::mutex> g(state().lock);
    state().installed = false;
    state().config = {};
    // A fresh process has counted nothing: what the last installation counted must not show
    // through to a run without a messaging system.
    state().counters = {};
}

bool MapiSimulation::installed()
{
    std::lock_guard<std::mutex> g(state().lock);
    return state().installed;
}

MapiConfig& MapiSimulation::config()
{
    return state().config;
}

MapiCounters MapiSimulation::counters()
{
    std::lock_guard<std::mutex> g(state().lock);
    return state().counters;
}

int MapiSimulation::liveObjects()
{
    return g_liveObjects;
}

int MapiSimulation::liveBuffers()
{
    std::lock_guard<std::mutex> g(state().lock);
    return static_cast<int>(state().buffers.size());
}

int MapiSimulation::liveSubscriptions()
{
    std::lock_guard<std::mutex> g(state().lock);
    return static_cast<int>(subscriptions().size());
}

void MapiSimulation::fireObjectCreated(const std::vector<uint8_t>& parentId, int count)
{
    std::vector<IMAPIAdviseSink*> sinks;
    {
        std::lock_guard<std::mutex> g(state().lock);
        for (const Subscription& s : subscriptions()) {
            if (s.mask & fnevObjectCreated) {
                s.sink->AddRef();
                sinks.push_back(s.sink);
            }
        }
    }
    std::thread messaging([&] {
        std::vector<uint8_t> parent = parentId;
        uint8_t entry[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        for (IMAPIAdviseSink* sink : sinks) {
            for (int i = 0; i < count; ++i) {
                NOTIFICATION n{};
                n.ulEventType = fnevObjectCreated;
                n.info.obj.cbEntryID = sizeof entry;
                n.info.obj.lpEntryID = reinterpret_cast<LPENTRYID>(entry);
                n.info.obj.ulObjType = MAPI_MESSAGE;
                n.info.obj.cbParentID = static_cast<ULONG>(parent.size());
                n.info.obj.lpParentID =
                    parent.empty() ? nullptr : reinterpret_cast<LPENTRYID>(parent.data());
                sink->OnNotify(1, &n);
            }
        }
    });
    messaging.join();
    for (IMAPIAdviseSink* sink : sinks)
        sink->Release();
}

void MapiSimulation::setSmsLibraryPresent(bool present)
{
    ModuleTable::define("sms.dll",
                        {{"SmsOpen", exportOf(smsFails)},
                         {"SmsClose", exportOf(smsFails)},
                         {"SmsSendMessage", exportOf(smsFails)}},
                        present);
}

} // namespace platform::sim
