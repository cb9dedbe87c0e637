// Puts the display's procedure in front of the application window's, so that activation,
// painting and destruction reach the display first.
#pragma once

#include "platform/windows.h"

namespace ScreenHAL {

class Display;

class WindowSubclass
{
  public:
    static constexpr int kCapacity = 16;

    // False when the table is full, the window is already subclassed (one display per window:
    // a second hook would chain to this procedure and lose the application's on removal) or the
    // window's procedure could not be replaced.
    static bool Add(HWND window, Display* display);
    // Restores the window's previous procedure; unknown windows are ignored, and so is a window
    // subclassed for another display than `owner` when one is given.
    static void Remove(HWND window, const Display* owner = nullptr);
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static int count();
};

} // namespace ScreenHAL
