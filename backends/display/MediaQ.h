// The MediaQ graphics chip: a frame buffer that is slow to write, recognised by timing a write
// of the whole frame. Used only inside SlowFB, which does the presenting.
#pragma once

#include "display/Driver.h"

#include <cstdint>
#include <functional>

namespace ScreenHAL {

class MediaQ : public Driver
{
  public:
    using Clock = std::function<int64_t()>;

    static bool Detect(DetectionRecord& record);
    // Milliseconds; the performance counter when there is one. Tests script it.
    static void setClock(Clock clock);

    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;

  private:
    SurfacePtr m_surface;
};

} // namespace ScreenHAL
