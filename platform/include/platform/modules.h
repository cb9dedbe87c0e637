// Run-time libraries. There is no dynamic loading: LoadLibraryW finds in-process modules by name
// (case-insensitive, folder and ".dll" optional) in platform::ModuleTable, and GetProcAddressW
// looks names up in their export tables.
#pragma once

#include "platform/wintypes.h"

typedef void (*FARPROC)();

#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127

HMODULE LoadLibraryW(LPCWSTR name);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
BOOL FreeLibrary(HMODULE module);
