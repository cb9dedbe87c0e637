// The Imageon 100 graphics chip through CoreLinkLib.dll: the frame is a surface in video memory
// shown by an overlay; the CPU reaches it through a memory transfer opened per frame.
#pragma once

#include "display/Driver.h"
#include "display/RuntimeBindings.h"

namespace ScreenHAL {

class Imageon100 : public Driver
{
  public:
    static bool Detect(DetectionRecord& record);
    ~Imageon100() override;
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void Resume() override;
    void Suspend() override;

  private:
    void closeTransfer();
    void release();

    const CoreLinkEntries* m_ati = nullptr;
    bool m_attached = false;
    bool m_haveSurface = false;
    bool m_haveOverlay = false;
    bool m_transferOpen = false;
    DWORD m_surfaceId = 0;
    DWORD m_surfaceOffset = 0;
    DWORD m_overlay = 0;
    SurfacePtr m_surface;
};

} // namespace ScreenHAL
