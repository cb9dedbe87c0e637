#include "TestDevice.h"

#include "display/DisplayLog.h"
#include "display/MediaQ.h"
#include "display/VideoDetect.h"

#include "platform/coredll.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/modules/ModuleTable.h"
#include "platform/sim/CoreLinkSimulation.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/PhysicalMemory.h"
#include "platform/sysinfo.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace testdevice {

namespace {

struct Device
{
    int width = 240;
    int height = 320;
    std::u16string oem = u"Linux desktop";
};

Device& device()
{
    static Device d;
    return d;
}

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
    device().width = width;
    device().height = height;
}

void setOemText(const std::u16string& text)
{
    device().oem = text;
}

void setCpuId(uint32_t id)
{
    platform::coreSettings().cpuId = id;
}

platform::HeadlessBackend& reset()
{
    using namespace platform::sim;
    platform::WindowSystem::resetForTests();
    platform::HeadlessBackend& backend = platform::WindowSystem::useHeadless();
    platform::InstanceRegistry::setNamespace("ph-test-" + std::to_string(getpid()));
    platform::InstanceRegistry::clearSeeds();
    platform::InstanceRegistry::removeEmptyNamespace();
    device() = Device{};
    platform::gdi::setScreenBitsPerPixel(16);
    platform::coreSettings() = platform::CoreSettings{};
    GapiSimulation::uninstall();
    GxDmaSimulation::uninstall();
    CoreLinkSimulation::uninstall();
    EscapeSimulation::reset();
    PhysicalMemory::reset();
    platform::ModuleTable::setPresent("aygshell.dll", true);
    ScreenHAL::MediaQ::setClock(nullptr);
    ScreenHAL::DisplayLog::setSink(nullptr);
    ScreenHAL::VideoDetect::resetForTests();
    g_recorded.clear();
    return backend;
}

HWND createRecordingWindow(const char16_t* title)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = u"TestWindow";
    RegisterClassW(&wc); // already registered for a second window: fine
    HWND w = CreateWindowExW(0, u"TestWindow", title, WS_VISIBLE, 0, 0, device().width,
                             device().height, nullptr, nullptr, nullptr, nullptr);
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

// Screen metrics and OEM text of the test device. Weak, so that the platform's own system
// information wins once it is linked in.
__attribute__((weak)) int GetSystemMetrics(int index)
{
    return index == SM_CXSCREEN   ? testdevice::device().width
           : index == SM_CYSCREEN ? testdevice::device().height
                                  : 0;
}

__attribute__((weak)) BOOL SystemParametersInfoW(UINT action, UINT size, LPVOID out, UINT)
{
    if (action != SPI_GETOEMINFO || !out)
        return FALSE;
    const std::u16string& t = testdevice::device().oem;
    size_t n = std::min<size_t>(t.size(), size / 2 - 1);
    std::memcpy(out, t.data(), n * 2);
    static_cast<char16_t*>(out)[n] = 0;
    return TRUE;
}
