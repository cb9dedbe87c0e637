#include "display/Imageon100.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"

namespace ScreenHAL {

namespace {

bool usable(const CoreLinkEntries* a)
{
    return a && a->processAttach && a->processDetach && a->allocOverlay && a->allocateSurface &&
           a->destroySurface && a->releaseOverlay && a->setupOverlay && a->setOverlayPos &&
           a->setOverlayOnOff && a->waitComplete && a->setupMemoryTransfer &&
           a->terminateMemoryTransfer;
}

} // namespace

bool Imageon100::Detect(DetectionRecord&)
{
    DisplayLog::line("Imageon100: Detect()");
    int model = DeviceInfo::deviceModel();
    if (model != 6 && model != 7) {
        DisplayLog::line("Imageon100: Not an Imageon100");
        return false;
    }
    const CoreLinkEntries* a = RuntimeBindings::instance().coreLink();
    if (!usable(a))
        return false;
    a->processAttach();
    a->processDetach();
    DisplayLog::line("Imageon100: Detected");
    return true;
}

Imageon100::~Imageon100()
{
    release();
}

void Imageon100::release()
{
    if (!m_ati)
        return;
    closeTransfer();
    if (m_haveOverlay) {
        m_ati->setOverlayOnOff(m_overlay, FALSE);
        m_ati->releaseOverlay(m_overlay);
        m_haveOverlay = false;
    }
    if (m_haveSurface) {
        m_ati->destroySurface(m_surfaceId);
        m_haveSurface = false;
    }
    if (m_attached) {
        m_ati->processDetach();
        m_attached = false;
    }
}

bool Imageon100::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("Imageon100: Initialize()");
    m_ati = RuntimeBindings::instance().coreLink();
    if (m_haveOverlay || !IsWindow(window) || !usable(m_ati))
        return false;
    takeRecord(record);
    pitch = width * 2;
    orientation = 0;
    swapKind = 0;
    m_attached = m_ati->processAttach() != FALSE;
    m_haveSurface = m_attached && m_ati->allocateSurface(&m_surfaceId, &m_surfaceOffset,
                                                         static_cast<DWORD>(width * height), 0);
    m_haveOverlay = m_haveSurface && m_ati->allocOverlay(&m_overlay);
    if (!m_haveOverlay) {
        release();
        return false;
    }
    const DWORD w = static_cast<DWORD>(width), h = static_cast<DWORD>(height);
    AtiOverlayInfo info{m_surfaceOffset, 0, w | (w << 16), h | (h << 16), 0, 8};
    m_ati->setupOverlay(m_overlay, &info);
    m_ati->setOverlayPos(m_overlay, 0, 0);
    m_ati->setOverlayOnOff(m_overlay, TRUE);
    m_surface = makeFrameSurface(nullptr, width, height, pitch);
    return true;
}

Surface* Imageon100::Lock()
{
    if (!m_haveOverlay)
        return nullptr;
    bool idle = false;
    for (int i = 0; i < 32 && !idle; ++i)
        idle = m_ati->waitComplete(100) != FALSE;
    if (!idle)
        return nullptr;
    void* pixels = m_ati->setupMemoryTransfer(m_surfaceOffset);
    if (!pixels)
        return nullptr;
    m_transferOpen = true;
    m_surface->pixels = static_cast<decltype(m_surface->pixels)>(pixels);
    return m_surface.get();
}

void Imageon100::closeTransfer()
{
    if (m_transferOpen) {
        m_ati->terminateMemoryTransfer();
        m_transferOpen = false;
    }
}

void Imageon100::Present(int)
{
    closeTransfer();
}

void Imageon100::Resume()
{
    if (m_haveOverlay)
        m_ati->setOverlayOnOff(m_overlay, TRUE);
}

void Imageon100::Suspend()
{
    if (!m_haveOverlay)
        return;
    closeTransfer();
    m_ati->setOverlayOnOff(m_overlay, FALSE);
}

} // namespace ScreenHAL
