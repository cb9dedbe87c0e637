// System information of the (emulated) device: screen metrics, platform type and OEM texts,
// display orientation, CPU identification.
#pragma once

#include "platform/wintypes.h"

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SPI_GETPLATFORMTYPE 257
#define SPI_GETOEMINFO 258

int GetSystemMetrics(int index);
// uiParam is the buffer size in bytes; writes a terminated text. FALSE with
// ERROR_INSUFFICIENT_BUFFER when the buffer is too small.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);
