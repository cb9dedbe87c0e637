// The header of a DIB section for the GDI tests: RGB565 with its colour masks at 16 bits per
// pixel, plain RGB otherwise; a negative height makes rows top-down.
#pragma once

#include "platform/gdi.h"

inline BITMAPINFO dibInfo(int width, int height, int bpp)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    bi.bmiHeader.biCompression = bpp == 16 ? BI_BITFIELDS : BI_RGB;
    bi.bmiColors[0] = 0xF800;
    bi.bmiColors[1] = 0x07E0;
    bi.bmiColors[2] = 0x001F;
    return bi;
}
