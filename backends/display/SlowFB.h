// Wraps a driver whose frame buffer is slow to write (MediaQ): the game draws into one of two
// RAM frames, and each present writes only the 32-bit words that changed.
#pragma once

#include "display/Driver.h"

#include <memory>
#include <vector>

namespace ScreenHAL {

class SlowFB : public Driver
{
  public:
    explicit SlowFB(std::unique_ptr<Driver> inner);
    bool Initialize(HWND window, const DisplayParams& params,
                    const DetectionRecord& record) override;
    Surface* Lock() override;
    void Present(int flags) override;
    void SetUpdateRect(const Rect& rect) override;
    void PrePresent() override;
    void Resume() override;
    void Suspend() override;
    void Refresh() override;

    bool ramMode() const { return m_ramMode; }
    Driver& inner() { return *m_inner; }

  private:
    std::unique_ptr<Driver> m_inner;
    bool m_ramMode = false;
    bool m_fullCopy = true;
    std::vector<uint32_t> m_storage[2];
    SurfacePtr m_ram[2];
    int m_current = 0;
    size_t m_bandStart = 0;  // bytes
    size_t m_bandBlocks = 0; // 64-byte blocks
};

} // namespace ScreenHAL
