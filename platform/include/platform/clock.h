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

// True when the device runs on the fake clock (PH_CLOCK=fake).
bool clockIsFake();

// Lets `milliseconds` of the program's time pass with nothing to wake on (Sleep, an idle
// message loop). On the real clock a real sleep (0 yields). On the fake clock nothing sleeps for
// real: a thread made by CreateThread waits until the others have moved the clock that far;
// every other thread (the main thread, a test) moves the clock on by the time itself. Timed
// waits of WaitForSingleObject follow the same rule, so a program on the fake clock is
// deterministic as long as one thread drives it.
void waitMillis(DWORD milliseconds);
} // namespace platform
