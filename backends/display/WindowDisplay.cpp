#include "display/WindowDisplay.h"

#include "display/RuntimeBindings.h"
#include "display/VideoDetect.h"
#include "display/WindowSubclass.h"

namespace ScreenHAL {

namespace {
constexpr DWORD kHideShell = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
constexpr DWORD kShowShell = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;
} // namespace

WindowDisplay::~WindowDisplay()
{
    RuntimeBindings::instance().allKeys(FALSE);
    if (IsWindow(m_window))
        WindowSubclass::Remove(m_window, this);
}

bool WindowDisplay::Initialize(DisplayParams& params)
{
    if (!IsWindow(m_window))
        return false;
    if (!WindowSubclass::Add(m_window, this))
        return false;
    if (!Display::Initialize(params))
        return false;
    RuntimeBindings& b = RuntimeBindings::instance();
    b.allKeys(TRUE);
    b.shFullScreen(m_window, kHideShell);
    return true;
}

std::unique_ptr<Driver> WindowDisplay::CreateDriver(const DisplayParams& params)
{
    m_probeWindow = m_window;
    return VideoDetect::instance(m_probeWindow).SelectDriver(m_window, params);
}

void WindowDisplay::Resume()
{
    RuntimeBindings::instance().shFullScreen(m_window, kHideShell);
    Display::Resume();
}

void WindowDisplay::Suspend()
{
    RuntimeBindings::instance().shFullScreen(m_window, kShowShell);
    Display::Suspend();
}

} // namespace ScreenHAL
