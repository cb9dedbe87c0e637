// Display-driver escapes that report the frame buffer: GETGXINFO (the game API's view) and
// GETRAWFRAMEBUFFER. Addresses are pointer-sized here; callers check sizes with sizeof.
#pragma once

#include "platform/wintypes.h"

#define QUERYESCSUPPORT 8
#define GETGXINFO 0x00020000
#define GETRAWFRAMEBUFFER 0x00020001
#define GXINFO_VERSION 100
#define FORMAT_565 1
#define GXINFO_LANDSCAPE 0x08

struct GXDeviceInfo
{
    int32_t idVersion; // set to GXINFO_VERSION by the caller
    void* pvFrameBuffer;
    int32_t cbStride;
    int32_t cxWidth;
    int32_t cyHeight;
    int32_t cBPP;
    int32_t ffFormat; // bit 3: landscape (width and height exchanged)
    int32_t reserved[26];
};

struct RawFrameBufferInfo
{
    WORD wFormat;
    WORD wBPP;
    void* pFramePointer;
    int32_t cxStride;
    int32_t cyStride;
    int32_t cxPixels;
    int32_t cyPixels;
};

// QUERYESCSUPPORT: `in` holds the escape code; answers > 0 when it is supported. Other escapes
// fill `out` and answer > 0, or answer 0 when unsupported and < 0 on a bad request.
int ExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, char* out);
