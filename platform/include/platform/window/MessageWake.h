// Wakes the main thread out of its message wait from anywhere: another thread or a signal
// handler. Each listener is an eventfd that becomes readable at every wake; a waiter polls it
// with its timeout and clears it when it wakes.
#pragma once

namespace platform {

// A new listener, kept for the life of the process (a signal handler may write to it at any
// time, so it is never closed); -1 when none can be made.
int newWakeListener();
// Makes every listener readable. Safe in a signal handler and from any thread.
void wakeMessageWait();
// Clears every listener's wakes; for tests, so that one test's wake does not end another's wait.
void clearWakes();
// Waits up to timeoutMs (0: only looks, negative: without end) for a wake of the listener and
// clears it; true when woken. A listener of -1 just waits.
bool waitForWake(int listener, int timeoutMs);

} // namespace platform
