// Writes straight into the frame buffer that the display driver reports through
// GETRAWFRAMEBUFFER (the VGA devices).
#pragma once

#include "display/Driver.h"

namespace ScreenHAL {

class DriverVGA : public Driver
{
  public:
    static bool Detect(DetectionRecord& record);
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;

  private:
    SurfacePtr m_surface;
};

} // namespace ScreenHAL
