// CoreLinkLib.dll as an in-process module over a block of simulated video memory, with
// counters that show what a driver still holds.
#pragma once

#include "platform/corelink.h"

#include <cstdint>

namespace platform::sim {

struct CoreLinkConfig
{
    bool withAllocOverlay = true;
    bool waitNeverCompletes = false;
    bool transferFails = false;
};

struct CoreLinkState
{
    int attaches = 0; // attached minus detached
    int liveSurfaces = 0;
    int liveOverlays = 0;
    bool overlayOn = false;
    DWORD overlayX = 0, overlayY = 0;
    AtiOverlayInfo overlayInfo{};
    bool transferOpen = false;
    int terminatesWithoutTransfer = 0;
    int waitCalls = 0;
};

class CoreLinkSimulation
{
  public:
    static void install(const CoreLinkConfig& config);
    static void uninstall();
    static CoreLinkConfig& config();
    static CoreLinkState& state();
    static uint8_t* videoMemory();
};

} // namespace platform::sim
