#include "display/GDIDriver.h"

#include "display/DisplayLog.h"

#include "platform/gdi/GdiObjects.h"

namespace ScreenHAL {

bool GDIDriver::Detect(DetectionRecord& record)
{
    DisplayLog::line("GDIDriver: Detect()");
    HDC screen = GetDC(nullptr);
    if (!screen) {
        DisplayLog::line("GDIDriver: unable to get screen's DC");
        return false;
    }
    record.width = GetDeviceCaps(screen, HORZRES);
    record.height = GetDeviceCaps(screen, VERTRES);
    record.bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return true;
}

GDIDriver::~GDIDriver()
{
    if (m_windowDC)
        ReleaseDC(m_window, m_windowDC);
}

bool GDIDriver::Initialize(HWND window, const DisplayParams&, const DetectionRecord& record)
{
    DisplayLog::line("GDIDriver: Initialize()");
    if (m_surface)
        return false;
    takeRecord(record);
    HDC screen = GetDC(nullptr);
    m_surface.reset(DIBSurface::Create(screen, record.width, record.height));
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!m_surface)
        return false;
    // The DIB is drawn only between Lock and Present, and a present of the whole frame then
    // follows: the window may show it in place instead of copying every frame.
    platform::gdi::presentInPlace(m_surface->bitmap);
    m_window = window;
    m_windowDC = GetDC(window);
    pitch = m_surface->pitch;
    bitsPerPixel = 16;
    swapKind = 2;
    m_update = Rect{0, 0, width, height};
    return true;
}

Surface* GDIDriver::Lock()
{
    return m_surface.get();
}

void GDIDriver::Present(int)
{
    if (!m_surface || !IsWindow(m_window))
        return;
    BitBlt(m_windowDC, m_update.left, m_update.top, m_update.right - m_update.left,
           m_update.bottom - m_update.top, m_surface->memoryDC, m_update.left, m_update.top,
           SRCCOPY);
}

void GDIDriver::SetUpdateRect(const Rect& rect)
{
    m_update = rect;
}

} // namespace ScreenHAL
