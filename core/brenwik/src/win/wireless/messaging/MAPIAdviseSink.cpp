#include "wireless/messaging/MAPIAdviseSink.h"

#include "platform/threads.h"
#include "wireless/messaging/WatchCounter.h"

#include <cstring>

namespace qev::wireless::messaging {

MAPIAdviseSink::MAPIAdviseSink(const uint8_t* folderId, ULONG size)
    : m_folderId(folderId, folderId + (folderId ? size : 0))
{
}

HRESULT MAPIAdviseSink::QueryInterface(REFIID, void** object)
{
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

ULONG MAPIAdviseSink::AddRef()
{
    return ++m_refs;
}

ULONG MAPIAdviseSink::Release()
{
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

ULONG MAPIAdviseSink::OnNotify(ULONG count, LPNOTIFICATION notifications)
{
    WatchCounter& w = watchCounter();
    if (!w.enabled || count == 0 || !notifications)
        return 0;
    for (ULONG i = 0; i < count; ++i) {
        const NOTIFICATION& n = notifications[i];
        if (n.ulEventType != fnevObjectCreated || m_folderId.empty())
            continue;
        const OBJECT_NOTIFICATION& o = n.info.obj;
        if (o.cbParentID != m_folderId.size() || !o.lpParentID ||
            std::memcmp(o.lpParentID, m_folderId.data(), m_folderId.size()) != 0)
            continue;
        HANDLE m = w.mutex;
        if (m && WaitForSingleObject(m, INFINITE) == WAIT_OBJECT_0) {
            ++w.pending;
            ReleaseMutex(m);
        }
    }
    return 0;
}

} // namespace qev::wireless::messaging
