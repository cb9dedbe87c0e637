#include "TestDevice.h"

#include "DeviceFixture.h"

#include "platform/DeviceProfile.h"
#include "platform/sysinfo.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>

namespace testdevice {

namespace {

std::vector<RecordedMessage> g_recorded;

LRESULT recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_recorded.push_back({message, wParam, lParam});
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void setScreen(int width, int height)
{
    platform::DeviceProfile::current().screenWidth = width;
    platform::DeviceProfile::current().screenHeight = height;
}

void setOemText(const std::u16string& text)
{
    platform::DeviceProfile::current().oemInfo = text;
}

void setCpuId(uint32_t id)
{
    platform::DeviceProfile::current().cpuId = id;
}

void setBitsPerPixel(int bits)
{
    platform::DeviceProfile::current().bitsPerPixel = bits;
}

platform::HeadlessBackend& reset()
{
    testsupport::freshDevice();
    g_recorded.clear();
    return platform::WindowSystem::useHeadless();
}

HWND createRecordingWindow(const char16_t* title)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = u"TestWindow";
    RegisterClassW(&wc); // already registered for a second window: fine
    HWND w =
        CreateWindowExW(0, u"TestWindow", title, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    if (w)
        ShowWindow(w, SW_SHOW);
    return w;
}

std::vector<RecordedMessage>& recorded()
{
    return g_recorded;
}

int countOf(UINT message)
{
    return static_cast<int>(std::count_if(g_recorded.begin(), g_recorded.end(),
                                          [message](auto& m) { return m.message == message; }));
}

} // namespace testdevice
