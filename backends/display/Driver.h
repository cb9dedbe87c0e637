// One way of reaching the screen. Drivers are probed once by VideoDetect, created by type code,
// initialised from the detection record and then locked and presented once per frame.
#pragma once

#include "display/DisplayTypes.h"
#include "display/SurfaceAccess.h"

#include "platform/windows.h"

namespace ScreenHAL {

class IDriver
{
  public:
    virtual ~IDriver() = default;
    virtual void Resume() = 0;
    virtual void Suspend() = 0;
    virtual void Refresh() = 0;
};

enum DriverType : int {
    kDriverGDI = 1,
    kDriverDirect = 3,
    kDriverGAPI = 4,
    kDriverStrongARM = 5,
    kDriverXScale = 6,
    kDriverImageon100 = 7,
    kDriverMediaQ = 8,
    kDriverVGA = 9,
};

class Driver : public IDriver
{
  public:
    void Resume() override {}
    void Suspend() override {}
    void Refresh() override {}
    virtual bool Initialize(HWND window, const DisplayParams& params,
                            const DetectionRecord& record) = 0;
    // The frame to draw into, or null when it cannot be had now.
    virtual Surface* Lock() = 0;
    virtual void Present(int) {}
    virtual void SetUpdateRect(const Rect&) {}
    virtual void PrePresent() {}

    // The driver's view of the screen, as a detection record (what wrappers initialise from).
    DetectionRecord record() const;

    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t pitch = 0;
    int32_t orientation = 0;
    int32_t swapKind = 0;
    uintptr_t frameBuffer = 0;

  protected:
    void takeRecord(const DetectionRecord& r);
};

} // namespace ScreenHAL
