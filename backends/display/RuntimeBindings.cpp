#include "display/RuntimeBindings.h"

#include <memory>
#include <string>

namespace ScreenHAL {

namespace {

std::unique_ptr<RuntimeBindings>& slot()
{
    static std::unique_ptr<RuntimeBindings> s;
    return s;
}

template <class P> void bind(HMODULE module, const char* name, P& out)
{
    std::u16string wide(name, name + std::char_traits<char>::length(name));
    out = reinterpret_cast<P>(GetProcAddressW(module, wide.c_str()));
}

BOOL allKeysState = FALSE;

BOOL allKeysReplacement(BOOL all)
{
    BOOL previous = allKeysState;
    allKeysState = all;
    return previous;
}

LONG changeDisplaySettingsReplacement(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID)
{
    return 0;
}

BOOL shFullScreenReplacement(HWND, DWORD)
{
    return TRUE;
}

BOOL isDmaReadyReplacement()
{
    return TRUE;
}

void release(HMODULE& module)
{
    if (module)
        FreeLibrary(module);
    module = nullptr;
}

} // namespace

RuntimeBindings& RuntimeBindings::instance()
{
    auto& s = slot();
    if (!s)
        s.reset(new RuntimeBindings);
    return *s;
}

void RuntimeBindings::resetForTests()
{
    slot().reset();
}

RuntimeBindings::RuntimeBindings()
{
    m_coredll = LoadLibraryW(u"coredll.dll");
    if (m_coredll) {
        bind(m_coredll, "AllKeys", allKeys);
        bind(m_coredll, "SetKMode", setKMode);
        bind(m_coredll, "ChangeDisplaySettingsEx", changeDisplaySettingsEx);
    }
    if (!allKeys)
        allKeys = allKeysReplacement;
    if (!changeDisplaySettingsEx)
        changeDisplaySettingsEx = changeDisplaySettingsReplacement;
    m_aygshell = LoadLibraryW(u"aygshell.dll");
    if (m_aygshell)
        bind(m_aygshell, "SHFullScreen", shFullScreen);
    if (!shFullScreen)
        shFullScreen = shFullScreenReplacement;
}

RuntimeBindings::~RuntimeBindings()
{
    release(m_coredll);
    release(m_aygshell);
    release(m_gx);
    release(m_gxdma);
    release(m_coreLink);
}

bool RuntimeBindings::gapiLibraryPresent()
{
    return gapi() != nullptr;
}

const GapiEntries* RuntimeBindings::gapi()
{
    if (!m_gxTried) {
        m_gxTried = true;
        m_gx = LoadLibraryW(u"gx.dll");
        if (m_gx) {
            GapiEntries& g = m_gapi;
            bind(m_gx, "?GXOpenDisplay@@YAHPAUHWND__@@K@Z", g.openDisplay);
            bind(m_gx, "?GXCloseDisplay@@YAHXZ", g.closeDisplay);
            bind(m_gx, "?GXBeginDraw@@YAPAXXZ", g.beginDraw);
            bind(m_gx, "?GXEndDraw@@YAHXZ", g.endDraw);
            bind(m_gx, "?GXOpenInput@@YAHXZ", g.openInput);
            bind(m_gx, "?GXCloseInput@@YAHXZ", g.closeInput);
            bind(m_gx, "?GXGetDisplayProperties@@YA?AUGXDisplayProperties@@XZ",
                 g.getDisplayProperties);
            bind(m_gx, "?GXGetDefaultKeys@@YA?AUGXKeyList@@H@Z", g.getDefaultKeys);
            bind(m_gx, "?GXSuspend@@YAHXZ", g.suspend);
            bind(m_gx, "?GXResume@@YAHXZ", g.resume);
            bind(m_gx, "?GXSetViewport@@YAHKKKK@Z", g.setViewport);
            bind(m_gx, "?GXIsDisplayDRAMBuffer@@YAHXZ", g.isDisplayDRAMBuffer);
        }
    }
    return m_gx ? &m_gapi : nullptr;
}

const GxDmaEntries* RuntimeBindings::gxdma()
{
    if (!m_gxdmaTried) {
        m_gxdmaTried = true;
        m_gxdma = LoadLibraryW(u"gxdma.dll");
        if (m_gxdma) {
            bind(m_gxdma, "DmaVRAMtoDRAM", m_gxdmaEntries.vramToDram);
            bind(m_gxdma, "DmaDRAMtoVRAM", m_gxdmaEntries.dramToVram);
            bind(m_gxdma, "IsDMAReady", m_gxdmaEntries.isDmaReady);
            if (!m_gxdmaEntries.isDmaReady)
                m_gxdmaEntries.isDmaReady = isDmaReadyReplacement;
        }
    }
    return m_gxdma ? &m_gxdmaEntries : nullptr;
}

const CoreLinkEntries* RuntimeBindings::coreLink()
{
    if (!m_coreLinkTried) {
        m_coreLinkTried = true;
        m_coreLink = LoadLibraryW(u"CoreLinkLib.dll");
        if (m_coreLink) {
            CoreLinkEntries& c = m_coreLinkEntries;
            bind(m_coreLink, "AtiCore_ProcessAttach", c.processAttach);
            bind(m_coreLink, "AtiCore_ProcessDetach", c.processDetach);
            bind(m_coreLink, "AtiCore_AllocOverlay", c.allocOverlay);
            bind(m_coreLink, "AtiCore_SetOverlayOnOff", c.setOverlayOnOff);
            bind(m_coreLink, "AtiCore_SetupOverlay", c.setupOverlay);
            bind(m_coreLink, "AtiCore_SetOverlayPos", c.setOverlayPos);
            bind(m_coreLink, "AtiCore_ReleaseOverlay", c.releaseOverlay);
            bind(m_coreLink, "AtiCore_AllocateSurface", c.allocateSurface);
            bind(m_coreLink, "AtiCore_DestroySurface", c.destroySurface);
            bind(m_coreLink, "AtiCore_SetupMemoryTransfer", c.setupMemoryTransfer);
            bind(m_coreLink, "AtiCore_TerminateMemoryTransfer", c.terminateMemoryTransfer);
            bind(m_coreLink, "AtiCore_WaitComplete", c.waitComplete);
            const char* others[16] = {"AtiCore_SetupGraphicWindow",
                                      "AtiCore_GetFrontBufferPitchOffset",
                                      "AtiCore_ProcessAttachMinimal",
                                      "AtiCore_ProcessDetachMinimal",
                                      "AtiCore_SetupOverlayExtended",
                                      "AtiCore_BitBlt",
                                      "AtiCore_BitBltFilpRotate",
                                      "AtiCore_DrawPixel",
                                      "AtiCore_ReadMem",
                                      "AtiCore_ReadReg",
                                      "AtiCore_SetFrontBuffer",
                                      "AtiCore_SetSrcPitchOffset",
                                      "AtiCore_SetDstPitchOffset",
                                      "AtiCore_SetRopOperation",
                                      "AtiCore_SetSrcType",
                                      "AtiCore_SetDstType"};
            for (int i = 0; i < 16; ++i)
                bind(m_coreLink, others[i], c.unused[i]);
        }
    }
    return m_coreLink ? &m_coreLinkEntries : nullptr;
}

} // namespace ScreenHAL
