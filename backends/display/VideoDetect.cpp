#include "display/VideoDetect.h"
#include "platform/EmulatedDevice.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"
#include "display/DriverDirect.h"
#include "display/DriverVGA.h"
#include "display/GAPI.h"
#include "display/GDIDriver.h"
#include "display/Imageon100.h"
#include "display/MediaQ.h"
#include "display/RuntimeBindings.h"
#include "display/SlowFB.h"
#include "display/StrongARM.h"
#include "display/XScale.h"

namespace ScreenHAL {

namespace {

std::unique_ptr<VideoDetect>& slot()
{
    static std::unique_ptr<VideoDetect> s;
    return s;
}

constexpr size_t kMaxDrivers = 8;

} // namespace

VideoDetect& VideoDetect::instance(HWND window)
{
    auto& s = slot();
    if (!s)
        s.reset(new VideoDetect(window));
    return *s;
}

void VideoDetect::resetForTests()
{
    slot().reset();
    StrongARM::probe() = StrongARM::Probe{};
    XScale::probe() = XScale::Probe{};
    DeviceInfo::resetForTests();
    RuntimeBindings::resetForTests();
}

// The chosen driver and the probes' answers belong to the emulated device's state.
[[maybe_unused]] static const bool g_resetAdded =
    platform::EmulatedDevice::addReset(&VideoDetect::resetForTests);

VideoDetect::VideoDetect(HWND window)
{
    DetectDrivers(window);
}

void VideoDetect::add(int type)
{
    if (m_drivers.size() < kMaxDrivers)
        m_drivers.push_back(type);
}

void VideoDetect::DetectDrivers(HWND window)
{
    DisplayLog::line("VideoDetect::DetectDrivers()");
    m_record = DetectionRecord{};
    m_record.orientation = kOrientationNative;
    m_drivers.clear();
    m_modes.clear();

    if (GDIDriver::Detect(m_record))
        add(kDriverGDI);
    if (m_record.bitsPerPixel == 16) {
        if (GAPI::Detect(m_record, window))
            add(kDriverGAPI);
        else if (!RuntimeBindings::instance().gapiLibraryPresent() &&
                 DriverDirect::Detect(m_record))
            add(kDriverDirect);

        bool found = false;
        if (DriverVGA::Detect(m_record)) {
            add(kDriverVGA);
            found = true;
        }
        if (!found) {
            int cpu = DeviceInfo::cpuType();
            if (cpu == kCpuStrongARM && StrongARM::Detect(m_record)) {
                add(kDriverStrongARM);
                found = true;
            } else if (cpu == kCpuXScale && XScale::Detect(m_record)) {
                add(kDriverXScale);
                found = true;
            }
        }
        if (!found && Imageon100::Detect(m_record)) {
            add(kDriverImageon100);
            found = true;
        }
        if (!found && MediaQ::Detect(m_record))
            add(kDriverMediaQ);
    }
    if (m_record.orientation == kOrientationNative)
        m_record.orientation = 0;

    const int32_t w = m_record.width, h = m_record.height, o = m_record.orientation;
    m_modes.push_back({w, h, o});
    if (w % 16 == 0 && h % 16 == 0) {
        m_modes.push_back({h, w, (o + 1) & 3});
        m_modes.push_back({w, h, (o + 2) & 3});
        m_modes.push_back({h, w, (o + 3) & 3});
    } else if (o != 0) {
        m_modes.push_back(o == 2 ? DisplayMode{w, h, 0} : DisplayMode{h, w, 0});
    }
}

std::unique_ptr<Driver> VideoDetect::CreateDriver(int type)
{
    DisplayLog::line("CreateDriver( %08X )", static_cast<unsigned>(type));
    switch (type) {
    case kDriverGDI:
        return std::make_unique<GDIDriver>();
    case kDriverDirect:
        return std::make_unique<DriverDirect>();
    case kDriverGAPI:
        return std::make_unique<GAPI>();
    case kDriverStrongARM:
        return std::make_unique<StrongARM>();
    case kDriverXScale:
        return std::make_unique<XScale>();
    case kDriverImageon100:
        return std::make_unique<Imageon100>();
    case kDriverMediaQ:
        return std::make_unique<SlowFB>(std::make_unique<MediaQ>());
    case kDriverVGA:
        return std::make_unique<DriverVGA>();
    default:
        return nullptr;
    }
}

std::unique_ptr<Driver> VideoDetect::SelectDriver(HWND window, const DisplayParams& params)
{
    if (m_drivers.empty())
        return nullptr;
    if (params.orientation != kOrientationNative) {
        bool known = false;
        for (const DisplayMode& m : m_modes)
            known = known || m.orientation == params.orientation;
        if (!known)
            return nullptr;
    }
    for (auto it = m_drivers.rbegin(); it != m_drivers.rend(); ++it) {
        std::unique_ptr<Driver> driver = CreateDriver(*it);
        if (!driver)
            continue;
        DisplayLog::line("Initializing video driver...");
        if (driver->Initialize(window, params, m_record)) {
            DisplayLog::line("Driver initialized!");
            return driver;
        }
        DisplayLog::line(" Failed to initialize driver");
    }
    return nullptr;
}

} // namespace ScreenHAL
