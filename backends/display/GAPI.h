// Presents through the game API library gx.dll: GXBeginDraw hands out the frame, GXEndDraw
// shows it.
#pragma once

#include "display/Driver.h"
#include "display/RuntimeBindings.h"

namespace ScreenHAL {

class GAPI : public Driver
{
  public:
    static bool Detect(DetectionRecord& record, HWND window);
    ~GAPI() override;
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void SetUpdateRect(const Rect& rect) override;
    void Resume() override;
    void Suspend() override;

  private:
    const GapiEntries* m_gx = nullptr;
    bool m_open = false;
    bool m_fixedAddress = false;
    intptr_t m_offset = 0;
    SurfacePtr m_surface;
};

} // namespace ScreenHAL
