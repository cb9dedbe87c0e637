#include "display/DriverVGA.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"
#include "display/FrameGeometry.h"
#include "display/ScreenCaps.h"

#include "platform/escape.h"
#include "platform/gdi.h"

#include <cstdlib>

namespace ScreenHAL {

bool DriverVGA::Detect(DetectionRecord& record)
{
    DisplayLog::line("DriverVGA: Detect()");
    HDC screen = GetDC(nullptr);
    int32_t code = GETRAWFRAMEBUFFER;
    RawFrameBufferInfo info{};
    bool ok = screen &&
              ExtEscape(screen, QUERYESCSUPPORT, sizeof code, reinterpret_cast<LPCSTR>(&code), 0,
                        nullptr) > 0 &&
              ExtEscape(screen, GETRAWFRAMEBUFFER, 0, nullptr, sizeof info,
                        reinterpret_cast<char*>(&info)) > 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!ok || info.cxPixels == 0 || info.cyPixels == 0 || (info.wFormat & 3) != FORMAT_565) {
        DisplayLog::line("DriverVGA: GETRAWFRAMEBUFFER failed");
        return false;
    }
    if (!ScreenCaps::areaMatches(info.cxPixels, info.cyPixels)) {
        DisplayLog::line("DriverVGA: frame size differs from the screen's");
        return false;
    }
    int32_t o = FrameGeometry::orientationFromSteps(info.cxStride, info.cyStride);
    if (o == 1 || o == 3) {
        record.width = info.cyPixels;
        record.height = info.cxPixels;
        record.pitch = std::abs(info.cxStride);
    } else {
        record.width = info.cxPixels;
        record.height = info.cyPixels;
        record.pitch = std::abs(info.cyStride);
    }
    record.bitsPerPixel = info.wBPP;
    record.frameBuffer =
        reinterpret_cast<uintptr_t>(static_cast<uint8_t*>(info.pFramePointer) +
                                    FrameGeometry::lowestPixelOffset(info.cxPixels, info.cyPixels,
                                                                     info.cxStride, info.cyStride));
    record.swapKind = 0;
    record.orientation = o;
    if (DeviceInfo::deviceModel() == 8) {
        DisplayLog::line(
            "DriverVGA: Motorola Q detected, overriding orientation to ORIENTATION_ROTATE90CW");
        record.orientation = 3;
    }
    return true;
}

bool DriverVGA::Initialize(HWND, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("DriverVGA: Initialize()");
    takeRecord(record);
    swapKind = 0;
    m_surface = makeFrameSurface(reinterpret_cast<void*>(frameBuffer), width, height, pitch);
    return true;
}

Surface* DriverVGA::Lock()
{
    return m_surface.get();
}

} // namespace ScreenHAL
