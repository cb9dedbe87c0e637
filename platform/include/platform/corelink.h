// CoreLinkLib.dll of the Imageon graphics chip: surfaces in video memory, an overlay that shows
// one, and CPU access to a surface through a memory transfer. Our own declarations of the entry
// points the display layer uses.
#pragma once

#include "platform/wintypes.h"

struct AtiOverlayInfo
{
    DWORD surfaceOffset;
    DWORD reserved;
    DWORD widths;  // source width in both 16-bit halves
    DWORD heights; // source height in both 16-bit halves
    DWORD flags;
    DWORD format; // 8: RGB565
};

typedef BOOL (*AtiProcessAttachProc)();
typedef BOOL (*AtiProcessDetachProc)();
typedef BOOL (*AtiAllocateSurfaceProc)(DWORD* id, DWORD* offset, DWORD pixels, DWORD flags);
typedef BOOL (*AtiDestroySurfaceProc)(DWORD id);
typedef BOOL (*AtiAllocOverlayProc)(DWORD* overlay);
typedef BOOL (*AtiReleaseOverlayProc)(DWORD overlay);
typedef BOOL (*AtiSetupOverlayProc)(DWORD overlay, const AtiOverlayInfo* info);
typedef BOOL (*AtiSetOverlayPosProc)(DWORD overlay, DWORD x, DWORD y);
typedef BOOL (*AtiSetOverlayOnOffProc)(DWORD overlay, BOOL on);
typedef BOOL (*AtiWaitCompleteProc)(DWORD milliseconds);
typedef void* (*AtiSetupMemoryTransferProc)(DWORD offset);
typedef BOOL (*AtiTerminateMemoryTransferProc)();
