// A desktop event as a window backend reports it, already in the window's logical pixels.
#pragma once

#include "platform/wintypes.h"

namespace platform {

struct NativeEvent
{
    enum class Kind {
        KeyDown,
        KeyUp,
        MouseDown,
        MouseUp,
        MouseMove,
        Activate,
        Deactivate,
        Expose,
        Close,
        Raise
    };
    Kind kind = Kind::Expose;
    HWND window = nullptr;
    UINT virtualKey = 0;
    bool repeat = false;
    int x = 0;
    int y = 0;
    bool buttonHeld = false;
};

} // namespace platform
