// Entry points the layer binds by name from run-time libraries, each library on first use and
// freed at exit. Missing coredll and aygshell entries get stand-ins so callers need not test.
#pragma once

#include "platform/aygshell.h"
#include "platform/coredll.h"
#include "platform/corelink.h"
#include "platform/gapi.h"
#include "platform/modules.h"

namespace ScreenHAL {

struct GapiEntries
{
    GXOpenDisplayProc openDisplay = nullptr;
    GXCloseDisplayProc closeDisplay = nullptr;
    GXBeginDrawProc beginDraw = nullptr;
    GXEndDrawProc endDraw = nullptr;
    GXOpenInputProc openInput = nullptr;
    GXCloseInputProc closeInput = nullptr;
    GXGetDisplayPropertiesProc getDisplayProperties = nullptr;
    GXGetDefaultKeysProc getDefaultKeys = nullptr;
    GXSuspendProc suspend = nullptr;
    GXResumeProc resume = nullptr;
    GXSetViewportProc setViewport = nullptr;
    GXIsDisplayDRAMBufferProc isDisplayDRAMBuffer = nullptr;
};

struct GxDmaEntries
{
    DmaVRAMtoDRAMProc vramToDram = nullptr;
    DmaDRAMtoVRAMProc dramToVram = nullptr;
    IsDMAReadyProc isDmaReady = nullptr;
};

struct CoreLinkEntries
{
    AtiProcessAttachProc processAttach = nullptr;
    AtiProcessDetachProc processDetach = nullptr;
    AtiAllocOverlayProc allocOverlay = nullptr;
    AtiSetOverlayOnOffProc setOverlayOnOff = nullptr;
    AtiSetupOverlayProc setupOverlay = nullptr;
    AtiSetOverlayPosProc setOverlayPos = nullptr;
    AtiReleaseOverlayProc releaseOverlay = nullptr;
    AtiAllocateSurfaceProc allocateSurface = nullptr;
    AtiDestroySurfaceProc destroySurface = nullptr;
    AtiSetupMemoryTransferProc setupMemoryTransfer = nullptr;
    AtiTerminateMemoryTransferProc terminateMemoryTransfer = nullptr;
    AtiWaitCompleteProc waitComplete = nullptr;
    // Bound like the others but not called by the layer.
    FARPROC unused[16] = {};
};

class RuntimeBindings
{
  public:
    static RuntimeBindings& instance();
    // Frees every library and forgets the bindings, so that the next use binds again; for tests
    // that change which simulated libraries exist.
    static void resetForTests();
    ~RuntimeBindings();

    AllKeysProc allKeys = nullptr;
    SetKModeProc setKMode = nullptr;
    ChangeDisplaySettingsExProc changeDisplaySettingsEx = nullptr;
    SHFullScreenProc shFullScreen = nullptr;

    // Null when gx.dll is missing.
    const GapiEntries* gapi();
    bool gapiLibraryPresent();
    // Null when gxdma.dll is missing.
    const GxDmaEntries* gxdma();
    // Null when CoreLinkLib.dll is missing.
    const CoreLinkEntries* coreLink();

  private:
    RuntimeBindings();
    HMODULE m_coredll = nullptr;
    HMODULE m_aygshell = nullptr;
    HMODULE m_gx = nullptr;
    HMODULE m_gxdma = nullptr;
    HMODULE m_coreLink = nullptr;
    bool m_gxTried = false;
    bool m_gxdmaTried = false;
    bool m_coreLinkTried = false;
    GapiEntries m_gapi;
    GxDmaEntries m_gxdmaEntries;
    CoreLinkEntries m_coreLinkEntries;
};

} // namespace ScreenHAL
