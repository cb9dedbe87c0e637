// Entry points of coredll.dll that are bound at run time because older systems lack them:
// AllKeys (deliver every hardware key to the foreground window), SetKMode (kernel mode
// switch) and ChangeDisplaySettingsEx (here only its CDS_TEST query of the orientation).
#pragma once

#include "platform/wintypes.h"

struct DEVMODEW
{
    WCHAR dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmDisplayOrientation;
};

#define DM_DISPLAYORIENTATION 0x00800000
#define CDS_TEST 0x00000002
#define DISP_CHANGE_SUCCESSFUL 0

typedef BOOL (*AllKeysProc)(BOOL all);
typedef BOOL (*SetKModeProc)(BOOL kernel);
typedef LONG (*ChangeDisplaySettingsExProc)(LPCWSTR device, DEVMODEW* mode, HWND window,
                                            DWORD flags, LPVOID param);
