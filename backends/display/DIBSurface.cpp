#include "display/DIBSurface.h"

#include <cstdint>

namespace ScreenHAL {

DIBSurface* DIBSurface::Create(HDC screen, int width, int height)
{
    // Sizes come from what the probes read off the device; the image size must fit its field.
    const int64_t bytes = int64_t(width) * height * 2;
    if (width <= 0 || height <= 0 || width > 0xFFFF || bytes > INT32_MAX)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    info.bmiColors[0] = 0xF800;
    info.bmiColors[1] = 0x07E0;
    info.bmiColors[2] = 0x001F;

    auto* s = new DIBSurface;
    s->width = width;
    s->height = height;
    s->pitch = (width * 2 + 3) & ~3;
    s->ownsPixels = 0;
    void* bits = nullptr;
    s->bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    s->pixels = static_cast<decltype(s->pixels)>(bits);
    s->memoryDC = CreateCompatibleDC(screen);
    if (s->memoryDC && s->bitmap)
        s->m_previous = SelectObject(s->memoryDC, s->bitmap);
    if (!s->pixels || !s->bitmap || !s->memoryDC) {
        delete s;
        return nullptr;
    }
    return s;
}

DIBSurface::~DIBSurface()
{
    if (memoryDC) {
        if (m_previous)
            SelectObject(memoryDC, m_previous);
        DeleteDC(memoryDC);
    }
    if (bitmap)
        DeleteObject(bitmap);
    pixels = nullptr;
}

} // namespace ScreenHAL
