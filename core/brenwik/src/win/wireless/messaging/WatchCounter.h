// What the advise sink (messaging thread) and the tick's poll (main thread) share: the pending
// count, changed only while holding the "dsmsaccess" mutex, and the enabled flag.
#pragma once

#include "platform/wintypes.h"

#include <atomic>

namespace qev::wireless::messaging {

struct WatchCounter
{
    std::atomic<int> enabled{0};
    std::atomic<int> pending{0};
    std::atomic<HANDLE> mutex{nullptr};
};

WatchCounter& watchCounter();

} // namespace qev::wireless::messaging
