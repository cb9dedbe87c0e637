// Ctrl+C and kill: SIGINT and SIGTERM ask for the end that closing the window gives. The handler
// only counts the request and wakes the message wait; the message queue turns it into WM_CLOSE
// for the program's window (platform/windows.h), so the program stops and closes its records
// as after a close.
#pragma once

namespace platform {

// Installs the handlers (again, after someone else's). Called before SDL starts, which then keeps
// its own handlers (which would only queue an event nobody may read) out.
void catchStopSignals();
// How many stop requests arrived so far.
unsigned stopRequests();

} // namespace platform
