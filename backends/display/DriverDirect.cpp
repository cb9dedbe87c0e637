#include "display/DriverDirect.h"

#include "display/BoundedWait.h"
#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"

#include "platform/escape.h"
#include "platform/gdi.h"

namespace ScreenHAL {

bool DriverDirect::Detect(DetectionRecord& record)
{
    DisplayLog::line("DriverDirect: Detect()");
    HDC screen = GetDC(nullptr);
    int32_t code = GETGXINFO;
    GXDeviceInfo info{};
    info.idVersion = GXINFO_VERSION;
    bool ok =
        screen &&
        ExtEscape(screen, QUERYESCSUPPORT, sizeof code, reinterpret_cast<LPCSTR>(&code), 0,
                  nullptr) > 0 &&
        ExtEscape(screen, GETGXINFO, 0, nullptr, sizeof info, reinterpret_cast<char*>(&info)) > 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!ok) {
        DisplayLog::line("DriverDirect: not supported");
        return false;
    }
    bool landscape = (info.ffFormat & GXINFO_LANDSCAPE) != 0;
    record.frameBuffer = reinterpret_cast<uintptr_t>(info.pvFrameBuffer);
    record.pitch = info.cbStride;
    record.width = landscape ? info.cyHeight : info.cxWidth;
    record.height = landscape ? info.cxWidth : info.cyHeight;
    record.orientation = landscape ? 1 : 0;
    DisplayLog::line("DriverDirect: Found W:%d, H:%d, P:%d, O:%d, FB:%08X", record.width,
                     record.height, record.pitch, record.orientation,
                     static_cast<unsigned>(record.frameBuffer));
    return true;
}

DriverDirect::DriverDirect()
{
    const GxDmaEntries* dma = RuntimeBindings::instance().gxdma();
    int model = DeviceInfo::deviceModel();
    if (dma && dma->dramToVram && model != 2 && model != 3) {
        m_dma = dma;
        DisplayLog::line("DriverDirect: GXDMA detected");
    } else {
        DisplayLog::line("DriverDirect: No GXDMA");
    }
}

bool DriverDirect::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("DriverDirect: Initialize()");
    if (!IsWindow(window) || !record.frameBuffer)
        return false;
    takeRecord(record);
    swapKind = m_dma ? 2 : 0;
    m_surface = makeFrameSurface(reinterpret_cast<void*>(frameBuffer), width, height, pitch);
    SetUpdateRect(Rect{0, 0, width, height});
    return true;
}

Surface* DriverDirect::Lock()
{
    if (m_dma && !BoundedWait::until([this] { return m_dma->isDmaReady() != FALSE; }))
        DisplayLog::line("DriverDirect: DMA still busy, drawing anyway");
    return m_surface.get();
}

void DriverDirect::Present(int)
{
    if (m_dma)
        m_dma->dramToVram(m_dmaRect[0], m_dmaRect[1], m_dmaRect[2], m_dmaRect[3]);
}

void DriverDirect::SetUpdateRect(const Rect& r)
{
    if (!m_dma)
        return;
    DWORD left = static_cast<DWORD>(r.left) & ~3u;
    m_dmaRect[0] = left;
    m_dmaRect[1] = (static_cast<DWORD>(r.right) - left + 3) & ~3u;
    m_dmaRect[2] = static_cast<DWORD>(r.top);
    m_dmaRect[3] = static_cast<DWORD>(r.bottom - r.top);
}

} // namespace ScreenHAL
