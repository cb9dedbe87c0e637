// The StrongARM's built-in LCD controller: the frame is written in place, and PrePresent waits
// until the controller's DMA is in the last rows of the frame.
#pragma once

#include "display/LcdDriver.h"

namespace ScreenHAL {

class StrongARM : public LcdDriver
{
  public:
    static constexpr uint32_t kRegisters = 0xB0100000;
    static constexpr size_t kRegisterBytes = 44;
    static constexpr uintptr_t kH3800Frame = 0xAC050020;

    using Probe = LcdDriver::Probe;
    static bool Detect(DetectionRecord& record);
    static Probe& probe();

    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;

  protected:
    bool inScanWindow() const override;
    const char* name() const override { return "StrongARM"; }
};

} // namespace ScreenHAL
