#include "CanvasSupport.h"

#include "ProgramFolder.h"

#include "display/DisplayContext.h"
#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"
#include "microedition/lcdui/DDisplay.h"
#include "platform/DeviceProfile.h"
#include "platform/window/WindowSystem.h"
#include "platform/windows.h"

#include <cstdlib>

namespace fuzzsupport {

namespace {

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

void useCanvas(int32_t width, int32_t height)
{
    static bool done = false;
    if (done)
        return;
    done = true;
    programFolder();
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.screenWidth = width;
    profile.screenHeight = height;
    profile.windowBackend = platform::WindowMode::Headless;
    profile.messageBoxes = platform::MessageBoxMode::Recorded;
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"GameEngine", u"Pallasterhorn", WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        std::abort();
    ShowWindow(window, SW_SHOW);
    // Never destroyed: the display and canvas live as long as the run.
    static auto* context =
        new ScreenHAL::DisplayContext(window, ScreenHAL::DisplayParams{width, height, 0, 1});
    static qev::microedition::midlet::DMIDletPtr midlet = createMIDlet();
    static qev::microedition::lcdui::DDisplayPtr display =
        new qev::microedition::lcdui::DDisplay(context);
    gamelib::screenCanvas = new gamelib::ScreenCanvas();
    display->setCurrent(gamelib::screenCanvas);
}

} // namespace fuzzsupport
