#include "TestDevice.h"

#include "display/DisplayLog.h"
#include "display/MediaQ.h"
#include "display/VideoDetect.h"

#include "platform/DeviceProfile.h"
#include "platform/modules/BuiltinModules.h"
#include "platform/modules/ModuleTable.h"
#include "platform/sim/CoreLinkSimulation.h"
#include "platform/sim/EscapeSimulation.h"
#include "platform/sim/GapiSimulation.h"
#include "platform/sim/PhysicalMemory.h"
#include "platform/sysinfo.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <unistd.h>

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
    using namespace platform::sim;
    platform::WindowSystem::resetForTests();
    platform::HeadlessBackend& backend = platform::WindowSystem::useHeadless();
    platform::InstanceRegistry::setNamespace("ph-test-" + std::to_string(getpid()));
    platform::InstanceRegistry::clearSeeds();
    platform::InstanceRegistry::removeEmptyNamespace();
    platform::DeviceProfile::reset();
    platform::resetAllKeysState();
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
