// The display of an application window: subclasses the window, hides the shell's bars while
// active, routes all hardware keys to the game, and picks its driver through VideoDetect.
#pragma once

#include "display/Display.h"

namespace ScreenHAL {

class WindowDisplay : public Display
{
  public:
    explicit WindowDisplay(HWND window) : Display(window) {}
    ~WindowDisplay() override;
    void Resume() override;
    void Suspend() override;
    bool Initialize(DisplayParams& params) override;
    std::unique_ptr<Driver> CreateDriver(const DisplayParams& params) override;

  private:
    HWND m_probeWindow = nullptr;
};

} // namespace ScreenHAL
