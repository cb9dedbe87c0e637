// Lets the game draw upright in the orientation it asked for while the inner driver's frame
// scans in another: the game draws into a RAM frame, and each present turns the update
// rectangle into the inner frame in 16 x 16 tiles.
#pragma once

#include "display/Driver.h"

#include <memory>

namespace ScreenHAL {

class RotationDriver : public Driver
{
  public:
    explicit RotationDriver(std::unique_ptr<Driver> inner);
    // `record` is the (initialised) inner driver's.
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void SetUpdateRect(const Rect& rect) override;
    void Resume() override;
    void Suspend() override;
    void Refresh() override;

    int quarterTurns() const { return m_turns; }
    const Rect& innerRect() const { return m_innerRect; }
    Driver& inner() { return *m_inner; }

    // Copies `innerRect` of the inner frame from `ram` turned by `turns`; tiles are walked with
    // x in the outer loop when `xOuter`. Both walks give the same pixels.
    static void copyTurned(Surface& innerFrame, Surface& ram, int turns, const Rect& innerRect,
                           bool xOuter);

  private:
    std::unique_ptr<Driver> m_inner;
    SurfacePtr m_ram;
    Surface* m_innerFrame = nullptr;
    int m_turns = 0;
    Rect m_innerRect;
};

} // namespace ScreenHAL
