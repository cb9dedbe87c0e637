// The game API library gx.dll, bound at run time by its exported (decorated) names. Our own
// declarations of its records and entry points.
#pragma once

#include "platform/wintypes.h"

#define GX_FULLSCREEN 0x01
#define kfLandscape 0x8
#define kfPalette 0x10
#define kfDirect 0x20
#define kfDirect565 0x80

struct GXDisplayProperties
{
    DWORD cxWidth;
    DWORD cyHeight;
    int32_t cbxPitch; // bytes from one pixel to the next on a row (may be negative)
    int32_t cbyPitch; // bytes from one row to the next (may be negative)
    int32_t cBPP;
    DWORD ffFormat;
};

struct GXKeyList
{
    short vkUp;
    short vkDown;
    short vkLeft;
    short vkRight;
    short vkA;
    short vkB;
    short vkC;
    short vkStart;
};

typedef int (*GXOpenDisplayProc)(HWND window, DWORD flags);
typedef int (*GXCloseDisplayProc)();
typedef void* (*GXBeginDrawProc)();
typedef int (*GXEndDrawProc)();
typedef int (*GXOpenInputProc)();
typedef int (*GXCloseInputProc)();
typedef GXDisplayProperties (*GXGetDisplayPropertiesProc)();
typedef GXKeyList (*GXGetDefaultKeysProc)(int options);
typedef int (*GXSuspendProc)();
typedef int (*GXResumeProc)();
typedef int (*GXSetViewportProc)(DWORD top, DWORD height, DWORD reserved1, DWORD reserved2);
typedef BOOL (*GXIsDisplayDRAMBufferProc)();

// The gxdma.dll companion of some devices: copies from the frame in system memory to video
// memory by DMA.
typedef BOOL (*DmaDRAMtoVRAMProc)(DWORD left, DWORD width, DWORD top, DWORD height);
typedef BOOL (*DmaVRAMtoDRAMProc)(DWORD left, DWORD width, DWORD top, DWORD height);
typedef BOOL (*IsDMAReadyProc)();
