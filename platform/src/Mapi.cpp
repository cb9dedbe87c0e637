#include "platform/mapi.h"

#include "sim/MapiInternal.h"

#include <atomic>

namespace {

std::atomic<int> g_initialized{0};

} // namespace

namespace mapi = platform::sim::mapi;
using platform::sim::MapiStep;

HRESULT MAPIInitialize(LPVOID)
{
    // No messaging system on Linux unless the simulation stands in for one.
    if (!mapi::available() || mapi::failing(MapiStep::Initialize))
        return E_FAIL;
    ++g_initialized;
    mapi::countInitialize();
    return S_OK;
}

void MAPIUninitialize()
{
    // Only calls that match an initialisation count, so tests see unbalanced calls.
    if (g_initialized > 0) {
        --g_initialized;
        mapi::countUninitialize();
    }
}

HRESULT MAPILogonEx(ULONG_PTR, LPCWSTR, LPCWSTR, ULONG, IMAPISession** session)
{
    if (!session)
        return E_INVALIDARG;
    *session = nullptr;
    if (g_initialized == 0 || mapi::failing(MapiStep::Logon))
        return E_FAIL;
    *session = mapi::newSession();
    return *session ? S_OK : E_OUTOFMEMORY;
}

HRESULT MAPIAllocateBuffer(ULONG size, LPVOID* buffer)
{
    if (!buffer)
        return E_INVALIDARG;
    *buffer = mapi::allocate(size);
    return *buffer ? S_OK : E_OUTOFMEMORY;
}

ULONG MAPIFreeBuffer(LPVOID buffer)
{
    if (buffer)
        mapi::release(buffer);
    return 0;
}

void FreeProws(LPSRowSet rows)
{
    if (!rows)
        return;
    for (ULONG i = 0; i < rows->cRows; ++i)
        MAPIFreeBuffer(rows->aRow[i].lpProps);
    MAPIFreeBuffer(rows);
}
