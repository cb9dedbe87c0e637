// The shell helper library aygshell.dll: hiding the taskbar, input-panel button and start icon
// of a full-screen window. Bound at run time (LoadLibraryW "aygshell.dll"); these types name
// the entry points.
#pragma once

#include "platform/wintypes.h"

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

typedef BOOL (*SHFullScreenProc)(HWND window, DWORD state);
typedef LONG (*SHSetImeModeProc)(HWND window, DWORD mode);
