#include "display/GAPI.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"
#include "display/FrameGeometry.h"
#include "display/ScreenCaps.h"

#include <cstdlib>

namespace ScreenHAL {

namespace {

struct Layout
{
    int32_t width, height, pitch, orientation, swapKind;
    intptr_t offset;
};

Layout layoutOf(const GapiEntries& gx)
{
    GXDisplayProperties p = gx.getDisplayProperties();
    Layout l{};
    l.orientation = FrameGeometry::orientationFromSteps(p.cbxPitch, p.cbyPitch);
    if (l.orientation == 1 || l.orientation == 3) {
        l.width = static_cast<int32_t>(p.cyHeight);
        l.height = static_cast<int32_t>(p.cxWidth);
        l.pitch = std::abs(p.cbxPitch);
    } else {
        l.width = static_cast<int32_t>(p.cxWidth);
        l.height = static_cast<int32_t>(p.cyHeight);
        l.pitch = std::abs(p.cbyPitch);
    }
    l.swapKind = gx.isDisplayDRAMBuffer && gx.isDisplayDRAMBuffer() ? 2 : 0;
    int model = DeviceInfo::deviceModel();
    if (model == 2 || model == 3)
        l.swapKind = 0;
    l.offset = FrameGeometry::lowestPixelOffset(
        static_cast<int32_t>(p.cxWidth), static_cast<int32_t>(p.cyHeight), p.cbxPitch, p.cbyPitch);
    return l;
}

bool complete(const GapiEntries& gx)
{
    return gx.openDisplay && gx.closeDisplay && gx.beginDraw && gx.endDraw &&
           gx.getDisplayProperties;
}

} // namespace

bool GAPI::Detect(DetectionRecord& record, HWND window)
{
    DisplayLog::line("GAPI: Detect()");
    const GapiEntries* gx = RuntimeBindings::instance().gapi();
    if (!gx || !complete(*gx)) {
        DisplayLog::line("GAPI: GX.DLL not found");
        return false;
    }
    if (!gx->openDisplay(window, GX_FULLSCREEN)) {
        DisplayLog::line("GAPI: GXOpenDisplay() failed");
        return false;
    }
    GXDisplayProperties p = gx->getDisplayProperties();
    Layout l = layoutOf(*gx);
    uintptr_t frame = record.frameBuffer;
    if (!frame) {
        auto* pointer = static_cast<uint8_t*>(gx->beginDraw());
        gx->endDraw();
        if (pointer)
            frame = reinterpret_cast<uintptr_t>(pointer + l.offset);
    }
    gx->closeDisplay();
    if (!ScreenCaps::areaMatches(l.width, l.height)) {
        DisplayLog::line("GAPI: display size differs from the screen's");
        return false;
    }
    record.bitsPerPixel = p.cBPP;
    record.width = l.width;
    record.height = l.height;
    record.pitch = l.pitch;
    record.orientation = l.orientation;
    record.swapKind = l.swapKind;
    record.frameBuffer = frame;
    return true;
}

GAPI::~GAPI()
{
    if (m_open && m_gx)
        m_gx->closeDisplay();
}

bool GAPI::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("GAPI: Initialize()");
    m_gx = RuntimeBindings::instance().gapi();
    if (m_open || !m_gx || !complete(*m_gx) || !IsWindow(window))
        return false;
    if (!m_gx->openDisplay(window, GX_FULLSCREEN))
        return false;
    m_open = true;
    takeRecord(record);
    Layout l = layoutOf(*m_gx);
    swapKind = l.swapKind;
    m_offset = l.offset;
    int model = DeviceInfo::deviceModel();
    m_fixedAddress = model == 2 || model == 3;
    if (m_fixedAddress && !frameBuffer)
        return false;
    m_surface = makeFrameSurface(reinterpret_cast<void*>(frameBuffer), width, height, pitch);
    return true;
}

Surface* GAPI::Lock()
{
    if (!m_open)
        return nullptr;
    if (!m_fixedAddress) {
        auto* pointer = static_cast<uint8_t*>(m_gx->beginDraw());
        if (!pointer)
            return nullptr;
        m_surface->pixels = reinterpret_cast<decltype(m_surface->pixels)>(pointer + m_offset);
    }
    return m_surface.get();
}

void GAPI::Present(int)
{
    if (m_open && !m_fixedAddress)
        m_gx->endDraw();
}

void GAPI::SetUpdateRect(const Rect& r)
{
    if (!m_open || !m_gx->setViewport)
        return;
    switch (orientation) {
    case 0:
        m_gx->setViewport(r.top, r.bottom - r.top, 0, 0);
        break;
    case 1:
        m_gx->setViewport(width - r.right, r.right - r.left, 0, 0);
        break;
    case 2:
        m_gx->setViewport(height - r.bottom, r.bottom - r.top, 0, 0);
        break;
    default:
        m_gx->setViewport(r.left, r.right - r.left, 0, 0);
        break;
    }
}

void GAPI::Resume()
{
    if (m_open && m_gx->resume)
        m_gx->resume();
}

void GAPI::Suspend()
{
    if (m_open && m_gx->suspend)
        m_gx->suspend();
}

} // namespace ScreenHAL
