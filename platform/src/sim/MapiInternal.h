// Shared between the MAPI entry points and the simulation behind them.
#pragma once

#include "platform/sim/MapiSimulation.h"

namespace platform::sim::mapi {

// The messaging system is there: the simulation is installed or the profile asks for one.
bool available();
bool failing(MapiStep step);
void countInitialize();
void countUninitialize();
// A new session object (one reference), or null.
IMAPISession* newSession();
// Live-buffer bookkeeping of MAPIAllocateBuffer / MAPIFreeBuffer.
void* allocate(size_t size);
bool release(void* buffer);

} // namespace platform::sim::mapi
