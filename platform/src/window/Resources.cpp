#include "platform/resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace platform {

namespace {

struct BitmapResource
{
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;
};

struct Table
{
    std::map<UINT, std::u16string> strings;
    std::map<UINT, BitmapResource> bitmaps;
    std::set<UINT> icons;
    std::set<UINT> cursors;
};

Table& table()
{
    static Table t;
    return t;
}

// Resource handles that are not GDI objects only need to be distinct and non-null.
void* token(char kind, UINT id)
{
    return reinterpret_cast<void*>((static_cast<uintptr_t>(kind) << 24) | (id << 2) | 0x1000000);
}

} // namespace

void Resources::addString(UINT id, const std::u16string& text)
{
    table().strings[id] = text;
}

void Resources::addBitmap(UINT id, int width, int height, std::vector<uint16_t> pixels)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height)
        return;
    table().bitmaps[id] = BitmapResource{width, height, std::move(pixels)};
}

void Resources::addIcon(UINT id)
{
    table().icons.insert(id);
}

void Resources::addCursor(UINT id)
{
    table().cursors.insert(id);
}

void Resources::clear()
{
    table() = Table{};
}

} // namespace platform

using platform::table;

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int size)
{
    auto it = table().strings.find(id);
    if (it == table().strings.end() || !buffer || size <= 0) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        if (buffer && size > 0)
            buffer[0] = 0;
        return 0;
    }
    int n = std::min(static_cast<int>(it->second.size()), size - 1);
    std::memcpy(buffer, it->second.data(), static_cast<size_t>(n) * sizeof(WCHAR));
    buffer[n] = 0;
    return n;
}

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    auto it = table().bitmaps.find(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    if (it == table().bitmaps.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const platform::BitmapResource& r = it->second;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = r.width;
    info.bmiHeader.biHeight = -r.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    info.bmiColors[0] = 0xF800;
    info.bmiColors[1] = 0x07E0;
    info.bmiColors[2] = 0x001F;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return nullptr;
    const size_t pitch = (static_cast<size_t>(r.width) * 2 + 3) & ~size_t(3);
    for (int y = 0; y < r.height; ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + y * pitch,
                    &r.pixels[static_cast<size_t>(y) * r.width], static_cast<size_t>(r.width) * 2);
    return bitmap;
}

HICON LoadIconW(HINSTANCE, LPCWSTR name)
{
    UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    if (!IS_INTRESOURCE(name) || !table().icons.count(id))
        return nullptr;
    return platform::token('I', id);
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name)
{
    UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    if (!IS_INTRESOURCE(name) || !table().cursors.count(id))
        return nullptr;
    return platform::token('C', id);
}
