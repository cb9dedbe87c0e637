#include "platform/sim/CoreLinkSimulation.h"

#include "platform/modules/ModuleTable.h"

#include <vector>

namespace platform::sim {

namespace {

constexpr size_t kVideoBytes = 1 << 20;

struct CoreLink
{
    CoreLinkConfig config;
    CoreLinkState state;
    std::vector<uint8_t> memory;
    DWORD nextFree = 0;
};

CoreLink& core()
{
    static CoreLink c;
    return c;
}

BOOL processAttach()
{
    ++core().state.attaches;
    return TRUE;
}

BOOL processDetach()
{
    --core().state.attaches;
    return TRUE;
}

BOOL allocateSurface(DWORD* id, DWORD* offset, DWORD pixels, DWORD)
{
    CoreLink& c = core();
    DWORD bytes = (pixels * 2 + 31) & ~31u;
    if (!id || !offset || c.state.attaches <= 0 || c.nextFree + bytes > kVideoBytes)
        return FALSE;
    *offset = c.nextFree;
    *id = 1 + c.nextFree;
    c.nextFree += bytes;
    ++c.state.liveSurfaces;
    return TRUE;
}

BOOL destroySurface(DWORD)
{
    --core().state.liveSurfaces;
    return TRUE;
}

BOOL allocOverlay(DWORD* overlay)
{
    if (!overlay)
        return FALSE;
    *overlay = 7;
    ++core().state.liveOverlays;
    return TRUE;
}

BOOL releaseOverlay(DWORD)
{
    --core().state.liveOverlays;
    return TRUE;
}

BOOL setupOverlay(DWORD, const AtiOverlayInfo* info)
{
    if (!info)
        return FALSE;
    core().state.overlayInfo = *info;
    return TRUE;
}

BOOL setOverlayPos(DWORD, DWORD x, DWORD y)
{
    core().state.overlayX = x;
    core().state.overlayY = y;
    return TRUE;
}

BOOL setOverlayOnOff(DWORD, BOOL on)
{
    core().state.overlayOn = on != FALSE;
    return TRUE;
}

BOOL waitComplete(DWORD)
{
    ++core().state.waitCalls;
    return core().config.waitNeverCompletes ? FALSE : TRUE;
}

void* setupMemoryTransfer(DWORD offset)
{
    CoreLink& c = core();
    if (c.config.transferFails || offset >= kVideoBytes)
        return nullptr;
    c.state.transferOpen = true;
    return c.memory.data() + offset;
}

BOOL terminateMemoryTransfer()
{
    CoreLink& c = core();
    if (!c.state.transferOpen)
        ++c.state.terminatesWithoutTransfer;
    c.state.transferOpen = false;
    return TRUE;
}

} // namespace

void CoreLinkSimulation::install(const CoreLinkConfig& config)
{
    CoreLink& c = core();
    c = CoreLink{};
    c.config = config;
    c.memory.assign(kVideoBytes, 0);
    ModuleExports exports = {
        {"AtiCore_ProcessAttach", exportOf(processAttach)},
        {"AtiCore_ProcessDetach", exportOf(processDetach)},
        {"AtiCore_AllocateSurface", exportOf(allocateSurface)},
        {"AtiCore_DestroySurface", exportOf(destroySurface)},
        {"AtiCore_ReleaseOverlay", exportOf(releaseOverlay)},
        {"AtiCore_SetupOverlay", exportOf(setupOverlay)},
        {"AtiCore_SetOverlayPos", exportOf(setOverlayPos)},
        {"AtiCore_SetOverlayOnOff", exportOf(setOverlayOnOff)},
        {"AtiCore_WaitComplete", exportOf(waitComplete)},
        {"AtiCore_SetupMemoryTransfer", exportOf(setupMemoryTransfer)},
        {"AtiCore_TerminateMemoryTransfer", exportOf(terminateMemoryTransfer)},
    };
    if (config.withAllocOverlay)
        exports.push_back({"AtiCore_AllocOverlay", exportOf(allocOverlay)});
    ModuleTable::define("CoreLinkLib.dll", std::move(exports), true);
}

void CoreLinkSimulation::uninstall()
{
    ModuleTable::define("CoreLinkLib.dll", {}, false);
    core() = CoreLink{};
}

CoreLinkConfig& CoreLinkSimulation::config()
{
    return core().config;
}

CoreLinkState& CoreLinkSimulation::state()
{
    return core().state;
}

uint8_t* CoreLinkSimulation::videoMemory()
{
    return core().memory.data();
}

} // namespace platform::sim
