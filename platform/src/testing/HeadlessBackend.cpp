#include "platform/testing/HeadlessBackend.h"

#include "platform/clock.h"
#include "platform/window/MessageWake.h"

namespace platform {

bool HeadlessBackend::createWindow(HWND window, const std::string& title, int, int)
{
    m_windows[window] = Record{title, 0, 0};
    return true;
}

void HeadlessBackend::destroyWindow(HWND window)
{
    m_windows.erase(window);
}

void HeadlessBackend::present(HWND window, const uint16_t*, int, int)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        ++it->second.presents;
}

void HeadlessBackend::raise(HWND window)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        ++it->second.raises;
}

void HeadlessBackend::poll(std::vector<NativeEvent>& out)
{
    while (!m_pending.empty()) {
        out.push_back(m_pending.front());
        m_pending.pop_front();
    }
}

namespace {

// One for the process: a signal handler may write to it at any time.
int wakeListener()
{
    static const int listener = newWakeListener();
    return listener;
}

} // namespace

HeadlessBackend::HeadlessBackend()
{
    // Made now, so that a stop request between the loop's last look and its wait still wakes it.
    wakeListener();
}

bool HeadlessBackend::wait(int timeoutMs)
{
    // Nothing arrives from outside but a wake (a stop request); a waiting loop is fed by injected
    // or posted events, looked at before it waits. On the fake clock the whole wait is the
    // clock's time, so an idle loop moves the program's time on without sleeping.
    if (!m_pending.empty())
        return true;
    if (timeoutMs <= 0)
        return false;
    if (!clockIsFake())
        return waitForWake(wakeListener(), timeoutMs);
    if (waitForWake(wakeListener(), 0))
        return true;
    waitMillis(static_cast<DWORD>(timeoutMs));
    return !m_pending.empty();
}

bool HeadlessBackend::messageBox(const std::string& caption, const std::string& text, bool error)
{
    m_boxes.push_back({caption, text, error});
    return true;
}

void HeadlessBackend::injectKey(HWND window, UINT vk, bool down, bool repeat)
{
    NativeEvent e;
    e.kind = down ? NativeEvent::Kind::KeyDown : NativeEvent::Kind::KeyUp;
    e.window = window;
    e.virtualKey = vk;
    e.repeat = repeat;
    m_pending.push_back(e);
}

void HeadlessBackend::injectMouse(HWND window, NativeEvent::Kind kind, int x, int y, bool held)
{
    NativeEvent e;
    e.kind = kind;
    e.window = window;
    e.x = x;
    e.y = y;
    e.buttonHeld = held;
    m_pending.push_back(e);
}

int HeadlessBackend::presentCount(HWND window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? 0 : it->second.presents;
}

int HeadlessBackend::raiseCount(HWND window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? 0 : it->second.raises;
}

const std::string& HeadlessBackend::title(HWND window) const
{
    static const std::string none;
    auto it = m_windows.find(window);
    return it == m_windows.end() ? none : it->second.title;
}

} // namespace platform
