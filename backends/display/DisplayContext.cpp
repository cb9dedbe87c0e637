#include "display/DisplayContext.h"

namespace ScreenHAL {

DisplayContext::DisplayContext(HWND window, const DisplayParams& requested) : params(requested)
{
    DisplayParams asked = requested;
    m_display = Display::Create(window, asked);
    if (m_display)
        params = Display::GetParams(m_display);
}

DisplayContext::~DisplayContext()
{
    if (target == &backBuffer)
        SetTarget(nullptr);
    if (m_display)
        Display::Destroy(m_display);
}

Surface*& DisplayContext::backBufferSlot()
{
    return backBuffer.useSecond ? backBuffer.secondSurface : backBuffer.surface;
}

ImageHolder* DisplayContext::AcquireBackBuffer()
{
    if (!m_display || !m_display->BeginScene())
        return nullptr;
    backBufferSlot() = m_display->GetBackBuffer();
    if (!backBufferSlot())
        return nullptr;
    SetTarget(&backBuffer);
    return &backBuffer;
}

bool DisplayContext::Present(int flags)
{
    if (!m_display)
        return false;
    bool shown = m_display->EndScene(flags);
    backBufferSlot() = nullptr;
    return shown;
}

} // namespace ScreenHAL
