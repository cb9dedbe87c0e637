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

    // False when the table is full or the window's procedure could not be replaced.
    static bool Add(HWND window, Display* display);
    // Restores the window's previous procedure; unknown windows are ignored.
    static void Remove(HWND window);
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static int count();
};

} // namespace ScreenHAL
