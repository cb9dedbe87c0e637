// Presents through GDI: the frame is a DIB section, copied to the window's DC with BitBlt.
// Works everywhere; the one driver of a desktop run.
#pragma once

#include "display/DIBSurface.h"
#include "display/Driver.h"

#include <memory>

namespace ScreenHAL {

class GDIDriver : public Driver
{
  public:
    static bool Detect(DetectionRecord& record);
    ~GDIDriver() override;
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void SetUpdateRect(const Rect& rect) override;

  private:
    std::unique_ptr<DIBSurface> m_surface;
    HWND m_window = nullptr;
    HDC m_windowDC = nullptr;
    Rect m_update;
};

} // namespace ScreenHAL
