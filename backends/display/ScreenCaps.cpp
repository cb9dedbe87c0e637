#include "display/ScreenCaps.h"

#include "platform/gdi.h"

namespace ScreenHAL {

bool ScreenCaps::areaMatches(long width, long height)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    long area = static_cast<long>(GetDeviceCaps(screen, HORZRES)) * GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    return area == width * height;
}

} // namespace ScreenHAL
