// The GDI driver's frame: a 16-bit top-down DIB section selected into a memory DC, whose bits
// are the surface's pixels.
#pragma once

#include "display/SurfaceAccess.h"

#include "platform/gdi.h"

namespace ScreenHAL {

class DIBSurface : public Surface
{
  public:
    // Null unless pixels, bitmap and memory DC all exist.
    static DIBSurface* Create(HDC screen, int width, int height);
    ~DIBSurface() override;

    HBITMAP bitmap = nullptr;
    HDC memoryDC = nullptr;

  private:
    HGDIOBJ m_previous = nullptr;
};

} // namespace ScreenHAL
