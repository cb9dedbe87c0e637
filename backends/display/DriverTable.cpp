#include "display/DriverTable.h"

#include "display/DeviceInfo.h"
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

template <class D> std::unique_ptr<Driver> make()
{
    return std::make_unique<D>();
}

} // namespace

const std::vector<DriverEntry>& driverTable()
{
    static const std::vector<DriverEntry> table = {
        {"GDI", kDriverGDI, 0, false, [](DetectionRecord& r, HWND) { return GDIDriver::Detect(r); },
         make<GDIDriver>, nullptr},
        // The game API, or where its library is missing, the frame buffer straight.
        {"GAPI", kDriverGAPI, 1, true,
         [](DetectionRecord& r, HWND w) { return GAPI::Detect(r, w); }, make<GAPI>, nullptr},
        {"Direct", kDriverDirect, 1, true,
         [](DetectionRecord& r, HWND) {
             return !RuntimeBindings::instance().gapiLibraryPresent() && DriverDirect::Detect(r);
         },
         make<DriverDirect>, nullptr},
        // The LCD controller, known by the processor, then the graphics chips.
        {"VGA", kDriverVGA, 2, true, [](DetectionRecord& r, HWND) { return DriverVGA::Detect(r); },
         make<DriverVGA>, nullptr},
        {"StrongARM", kDriverStrongARM, 2, true,
         [](DetectionRecord& r, HWND) {
             return DeviceInfo::cpuType() == kCpuStrongARM && StrongARM::Detect(r);
         },
         make<StrongARM>, [] { StrongARM::probe() = StrongARM::Probe{}; }},
        {"XScale", kDriverXScale, 2, true,
         [](DetectionRecord& r, HWND) {
             return DeviceInfo::cpuType() == kCpuXScale && XScale::Detect(r);
         },
         make<XScale>, [] { XScale::probe() = XScale::Probe{}; }},
        {"Imageon100", kDriverImageon100, 2, true,
         [](DetectionRecord& r, HWND) { return Imageon100::Detect(r); }, make<Imageon100>, nullptr},
        {"MediaQ", kDriverMediaQ, 2, true,
         [](DetectionRecord& r, HWND) { return MediaQ::Detect(r); },
         []() -> std::unique_ptr<Driver> {
             return std::make_unique<SlowFB>(std::make_unique<MediaQ>());
         },
         nullptr},
    };
    return table;
}

} // namespace ScreenHAL
