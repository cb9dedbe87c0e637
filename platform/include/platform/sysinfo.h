// System information of the (emulated) device: screen metrics, platform type and OEM texts,
// display orientation, CPU identification.
#pragma once

#include "platform/coredll.h"
#include "platform/wintypes.h"

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SPI_GETPLATFORMTYPE 257
#define SPI_GETOEMINFO 258

// The profile's screen size for SM_CXSCREEN/SM_CYSCREEN, 0 for every other index.
int GetSystemMetrics(int index);
// SPI_GETPLATFORMTYPE and SPI_GETOEMINFO: uiParam is the buffer size in bytes (so a caller
// that passes a count of characters gets half its buffer, never an overflow); writes a
// terminated text. FALSE with ERROR_INSUFFICIENT_BUFFER when the text does not fit, with
// ERROR_INVALID_PARAMETER for a null buffer or any other action.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);

#define DMDO_0 0
#define DMDO_90 1
#define DMDO_180 2
#define DMDO_270 4
#define DISP_CHANGE_BADMODE (-2)
#define DISP_CHANGE_BADPARAM (-5)

// Only the CDS_TEST query of DM_DISPLAYORIENTATION is answered: dmDisplayOrientation becomes
// DMDO_0 and dmOrientation stays as the caller set it unless the profile gives an answer.
// Real mode changes are refused with DISP_CHANGE_BADMODE.
LONG ChangeDisplaySettingsEx(LPCWSTR device, DEVMODEW* mode, HWND window, DWORD flags,
                             LPVOID param);

// The processor's main ID register as the profile gives it (0: not an ARM device).
DWORD ReadMainIdRegister();
// Switches the (only) mode flag and returns the previous one; nothing else changes here.
BOOL SetKMode(BOOL kernel);
