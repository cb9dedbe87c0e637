// The watch's advise sink: counts the messages created in the watched folder. Called on a
// thread of the messaging system; keeps its own copy of the folder's entry ID so that a
// notification in flight never reads what the main thread frees.
#pragma once

#include "platform/mapi.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace qev::wireless::messaging {

class MAPIAdviseSink : public IMAPIAdviseSink
{
  public:
    MAPIAdviseSink(const uint8_t* folderId, ULONG size);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    // Deletes the sink when the count reaches 0.
    ULONG Release() override;
    ULONG OnNotify(ULONG count, LPNOTIFICATION notifications) override;

  private:
    ~MAPIAdviseSink() override = default;

    std::atomic<ULONG> m_refs{1};
    std::vector<uint8_t> m_folderId;
};

} // namespace qev::wireless::messaging
