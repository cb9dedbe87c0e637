// What the two LCD-controller drivers share: the frame is the one an earlier probe found (or a
// fixed address), written in place; PrePresent waits for the controller's scan to be far from
// the rows about to be written.
#pragma once

#include "display/Driver.h"
#include "display/MappedRegisters.h"

namespace ScreenHAL {

class LcdDriver : public Driver
{
  public:
    // What a controller's probe found out, once per process.
    struct Probe
    {
        bool done = false;
        bool found = false;
        int32_t width = 0, height = 0, bitsPerPixel = 0, pitch = 0, paletteBytes = 0;
    };
    // Reads the geometry of an enabled controller (control register bit 0) into the probe.
    using ReadGeometry = void (*)(Probe& probe, const MappedRegisters& registers, uint32_t control);

    Surface* Lock() override;
    void PrePresent() override;

  protected:
    // The probe's skeleton: on the first call maps the controller's registers and, when it is
    // enabled, lets `read` fill the probe; every call logs the answer and, when found, copies
    // the geometry into the record.
    static bool detect(const char* driver, Probe& probe, uint32_t registers, size_t registerBytes,
                       ReadGeometry read, DetectionRecord& record);

    // Maps the registers and sets up the frame; needs the record's frame address, which
    // `fixedAddress` (a kernel-view address) replaces when non-zero.
    bool initializeFrame(HWND window, const DetectionRecord& record, bool probeFound,
                         uintptr_t fixedAddress, uint32_t registers, size_t registerBytes);
    virtual bool inScanWindow() const = 0;
    virtual const char* name() const = 0;

    MappedRegisters m_registers;
    SurfacePtr m_surface;
};

} // namespace ScreenHAL
