// What the window system needs from a desktop: a surface per window to show the RGB565 backing
// store on, desktop events, and a way to tell the user something when all else fails.
#pragma once

#include "platform/window/NativeEvent.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A message box as a back-end showed it or the window system kept it.
struct MessageBoxRecord
{
    std::string caption;
    std::string text;
    bool error = false;
};

class WindowBackend
{
  public:
    virtual ~WindowBackend() = default;
    virtual bool createWindow(HWND window, const std::string& title, int width, int height) = 0;
    virtual void destroyWindow(HWND window) = 0;
    // Shows the whole backing store (width x height RGB565, rows of `width` pixels).
    virtual void present(HWND window, const uint16_t* pixels, int width, int height) = 0;
    virtual void raise(HWND window) = 0;
    // Appends the pending desktop events without waiting.
    virtual void poll(std::vector<NativeEvent>& out) = 0;
    // Waits up to timeoutMs for a desktop event; true when one may be pending.
    virtual bool wait(int timeoutMs) = 0;
    // False when the box could not be shown.
    virtual bool messageBox(const std::string& caption, const std::string& text, bool error) = 0;
};

} // namespace platform
