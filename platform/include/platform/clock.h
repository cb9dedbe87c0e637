// Clocks: the 32-bit tick count, the performance counter and a 64-bit monotonic millisecond
// clock that never wraps.
#pragma once

#include "platform/wintypes.h"

DWORD GetTickCount();
BOOL QueryPerformanceFrequency(LONGLONG* frequency);
BOOL QueryPerformanceCounter(LONGLONG* counter);

namespace platform {
// Milliseconds since an arbitrary start, monotonic, 64-bit.
int64_t monotonicMillis();
} // namespace platform
