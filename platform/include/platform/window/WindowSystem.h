// The process's windows: class table, windows with their procedures and RGB565 backing stores,
// the message queue, activation and the backend that shows it all. Main thread only, as on the
// device. The functions of platform/windows.h are thin calls into this class.
#pragma once

#include "platform/window/WindowBackend.h"
#include "platform/windows.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class HeadlessBackend; // platform/testing/HeadlessBackend.h

class WindowSystem
{
  public:
    // Replaces the backend (before the first window is created). Without a call, the first
    // window picks SDL, or the headless backend when the device profile asks for it or SDL has no
    // video driver.
    static void setBackend(std::unique_ptr<WindowBackend> backend);
    // Installs a fresh headless backend and returns it; for tests.
    static HeadlessBackend& useHeadless();
    static WindowBackend& backend();
    // Desktop pixels per screen pixel of new windows: the device profile's scale. Setting it
    // chooses it, as PH_SCALE does; otherwise a desktop window takes at most this, to fit.
    static void setScale(int scale);
    static int scale();
    // Message boxes kept instead of shown (the profile's MessageBoxMode::Recorded).
    static const std::vector<MessageBoxRecord>& recordedMessageBoxes();

    // The window's RGB565 backing store (client area, width x height), or null. A bitmap the
    // window shows in place (gdi::presentInPlace) is copied into it first.
    static const std::vector<uint16_t>* backingStore(HWND window);
    static std::vector<uint16_t>* mutableBackingStore(HWND window);
    static void presentBackingStore(HWND window);
    // SHFullScreen's last state bits for the window (0 when never set).
    static DWORD shellState(HWND window);
    static void setShellState(HWND window, DWORD state);
    static size_t windowCount();
    // Destroys every window and forgets every class; for tests.
    static void resetForTests();
};

} // namespace platform
