// Resources of the executable: strings, bitmaps, icons and cursors by number. The program
// registers them at start (platform::Resources) in place of a resource section.
#pragma once

#include "platform/gdi.h"
#include "platform/windows.h"

#include <cstdint>
#include <string>
#include <vector>

#define MAKEINTRESOURCEW(i)                                                                        \
    (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814

// Copies at most size - 1 characters and a terminator; returns the characters copied, 0 when
// the string does not exist.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
// A new 16-bit bitmap with the resource's pixels (the caller deletes it), or null.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);

namespace platform {

class Resources
{
  public:
    static void addString(UINT id, const std::u16string& text);
    // RGB565 pixels, width x height, rows top first without padding.
    static void addBitmap(UINT id, int width, int height, std::vector<uint16_t> pixels);
    static void addIcon(UINT id);
    static void addCursor(UINT id);
    static void clear();
};

} // namespace platform
