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
    Surface* Lock() override;
    void PrePresent() override;

  protected:
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
