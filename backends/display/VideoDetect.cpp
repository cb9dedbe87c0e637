#include "display/VideoDetect.h"

#include "display/DeviceInfo.h"
#include "display/DisplayLog.h"
#include "display/DriverTable.h"
#include "display/RuntimeBindings.h"
#include "platform/EmulatedDevice.h"

#include <optional>

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
    for (const DriverEntry& e : driverTable()) {
        if (e.reset)
            e.reset();
    }
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

    // The screen's depth as the first probe found it decides which rows are probed at all.
    std::optional<bool> sixteenBit;
    int group = -1;
    bool groupAnswered = false;
    for (const DriverEntry& e : driverTable()) {
        if (e.needs16Bit) {
            if (!sixteenBit)
                sixteenBit = m_record.bitsPerPixel == 16;
            if (!*sixteenBit)
                continue;
        }
        if (e.group != group) {
            group = e.group;
            groupAnswered = false;
        }
        if (!groupAnswered && e.probe(m_record, window)) {
            add(e.type);
            groupAnswered = true;
        }
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
    for (const DriverEntry& e : driverTable()) {
        if (e.type == type)
            return e.create();
    }
    return nullptr;
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
