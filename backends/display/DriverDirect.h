// Writes straight into the frame buffer that the display driver reports through GETGXINFO;
// with gxdma.dll the frame is in system memory and DMA copies the update rectangle out.
#pragma once

#include "display/Driver.h"
#include "display/RuntimeBindings.h"

namespace ScreenHAL {

class DriverDirect : public Driver
{
  public:
    static bool Detect(DetectionRecord& record);
    DriverDirect();
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void SetUpdateRect(const Rect& rect) override;
    bool usesDma() const { return m_dma != nullptr; }

  private:
    const GxDmaEntries* m_dma = nullptr;
    SurfacePtr m_surface;
    DWORD m_dmaRect[4] = {0, 0, 0, 0}; // left, width, top, height
};

} // namespace ScreenHAL
